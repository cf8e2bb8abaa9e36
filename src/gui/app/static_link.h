#pragma once

#include <QColor>
#include <QLabel>

// A text that behaves as a hyperlink: underlined, blue until it was opened once and purple
// afterwards, with a hand cursor; a click opens the target in the desktop's browser.
class CStaticLink : public QLabel {
    Q_OBJECT

public:
    static QColor UnvisitedColor() { return QColor(0, 0, 255); }
    static QColor VisitedColor() { return QColor(128, 0, 128); }

    // An empty link opens the label's own text.
    explicit CStaticLink(const QString& text, const QString& link = QString(),
                         QWidget* parent = nullptr);

    QString Target() const { return link_.isEmpty() ? text() : link_; }
    bool IsVisited() const { return visited_; }
    // Opens the target; a failure beeps. Returns whether the desktop opened it.
    bool Open();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void ApplyColor();

    QString link_;
    bool visited_ = false;
};
