#pragma once

#include "formats/image_specimen_source.h"

class QWidget;

// Images inserted into the document pass through the trace dialog: the user sees the outlines
// over the image, adjusts the trace and checks the valves that become specimens.
class CImageTraceSource : public CImageSpecimenSource {
public:
    explicit CImageTraceSource(QWidget* parent) : parent_(parent) {}

    bool IsImage(const std::string& path) override;
    std::optional<CSpecimenFile> Read(const std::string& path) override;

private:
    QWidget* parent_;
};
