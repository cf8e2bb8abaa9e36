#include "image_specimen_file.h"

#include "imaging/traced_specimens.h"
#include "valve_image_reader.h"

#include <QByteArray>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

std::string ScaleText(float scale) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", static_cast<double>(scale));
    return text;
}

// "jpeg" -> "JPEG": the name a user knows the format by.
std::string FormatName(const std::string& format) {
    QByteArray name = QByteArray::fromStdString(format).toUpper();
    return name.toStdString();
}

} // namespace

CTracedImageFile TraceImageFile(const std::string& path, const CImageTraceSettings& settings) {
    CValveImage image;
    std::string error;
    if (!ReadValveImage(path, image, error)) {
        CTracedImageFile traced;
        traced.file.path = path;
        traced.file.error = "the image cannot be traced: " + error;
        return traced;
    }
    return TraceValveImage(path, image, settings);
}

CTracedImageFile TraceValveImage(const std::string& path, const CValveImage& image,
                                 const CImageTraceSettings& settings) {
    CTracedImageFile traced;
    CSpecimenFile& file = traced.file;
    file.path = path;
    file.format = "traced " + FormatName(image.format) + " image";
    traced.trace = TraceValves(image.grey, settings.trace);
    const CTraceResult& result = traced.trace;

    CTracedImage source{path, image.grey.height, settings.scale};
    if (!source.scale && image.resolution && !result.valves.empty()) {
        source.scale = static_cast<float>(image.resolution->millimetresPerPixel);
        file.notes.push_back({0, 0,
                              "scale " + ScaleText(*source.scale) + " mm per pixel from the " +
                                  image.resolution->stated + " the image states",
                              false});
    }
    // The trace names valves cut by the border last. Their straight edge where the image ends
    // is worth a look, so they make the file partial; left-out specks do not.
    const auto cut = static_cast<std::size_t>(std::count_if(
        result.valves.begin(), result.valves.end(), [](const CTracedValve& v) { return v.touchesBorder; }));
    // Without a valve, the failure names what was left out.
    if (result.failure.empty())
        for (std::size_t i = 0; i < result.notes.size(); ++i)
            file.notes.push_back({0, 0, result.notes[i], i + cut >= result.notes.size()});
    file.error = result.failure;
    traced.outlines = TracedOutlines(result, source);
    file.specimens = TracedSpecimens(traced.outlines, path);
    return traced;
}

bool IsImageInput(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && IsValveImageFile(path);
}
