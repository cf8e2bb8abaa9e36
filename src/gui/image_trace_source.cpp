#include "image_trace_source.h"

#include "dialogs/trace_dialog.h"
#include "image_specimen_file.h"

bool CImageTraceSource::IsImage(const std::string& path) { return IsImageInput(path); }

std::optional<CSpecimenFile> CImageTraceSource::Read(const std::string& path) {
    CValveImage image;
    std::string error;
    if (!ReadValveImage(path, image, error)) {
        CSpecimenFile file;
        file.path = path;
        file.error = "the image cannot be traced: " + error;
        return file;
    }
    CTraceDialog dialog(path, std::move(image), parent_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.CheckedSpecimens();
}
