#pragma once

#include "image_specimen_file.h"

#include <QDialog>
#include <QImage>
#include <QTimer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class CThresholdSlider;

// Traces the valves of one image while the user adjusts the threshold, the polarity, the
// smallest valve and the scale, shows the outlines over the image, and lets the user check the
// valves that become specimens.
class CTraceDialog : public QDialog {
    Q_OBJECT
public:
    CTraceDialog(std::string path, CValveImage image, QWidget* parent = nullptr);

    // The checked valves as the specimens of the image, with what the trace noted.
    CSpecimenFile CheckedSpecimens() const;

    // For tests and the screenshots: the controls and the latest trace.
    CThresholdSlider* ThresholdSlider() const { return threshold_; }
    QCheckBox* InvertBox() const { return invert_; }
    QSpinBox* MinAreaBox() const { return minArea_; }
    QLineEdit* ScaleField() const { return scale_; }
    QListWidget* ValveList() const { return valves_; }
    const CTracedImageFile& Traced() const { return traced_; }
    // Traces now with the controls' values instead of after the pause that gathers changes.
    void Retrace();

private:
    CImageTraceSettings Settings() const;
    void FillValveList();
    void UpdatePicture();

    std::string path_;
    CValveImage image_;
    QImage picture_; // the image as shown, before the outlines are drawn over it
    CTracedImageFile traced_;
    CThresholdSlider* threshold_;
    QLabel* thresholdValue_;
    QCheckBox* invert_;
    QSpinBox* minArea_;
    QLineEdit* scale_;
    QListWidget* valves_;
    QLabel* view_;
    QLabel* status_;
    QTimer retrace_;
};
