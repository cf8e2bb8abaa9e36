#pragma once

#include <QSlider>

// A horizontal slider of grey levels with one level marked under the groove: Otsu's threshold,
// to which the user can always find back.
class CThresholdSlider : public QSlider {
    Q_OBJECT
public:
    explicit CThresholdSlider(QWidget* parent = nullptr);

    void SetMarkedLevel(int level);
    int MarkedLevel() const { return marked_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int marked_ = -1;
};
