// The valve trace on raw rasters (first byte even) and on encoded image files (first byte
// odd). Findings beyond crashes: an outline point that is no number or lies outside the image,
// a point repeated next to itself, a second trace that differs from the first.
#include "fuzz_checks.h"
#include "imaging/image_resolution.h"
#include "imaging/valve_tracer.h"
#include "valve_image_reader.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {

// Up to 64 x 64 levels and the trace options from the first bytes; the levels repeat the rest.
CGreyImage RawRaster(const std::uint8_t* data, std::size_t size, CTraceOptions& options) {
    const auto at = [&](std::size_t i) { return i < size ? data[i] : std::uint8_t{0}; };
    CGreyImage image;
    image.width = 1 + at(1) % 64;
    image.height = 1 + at(2) % 64;
    image.bitDepth = at(3) & 1 ? 16 : 8;
    options.threshold = at(4) == 0xFF ? -1 : at(4) * (image.bitDepth == 16 ? 257 : 1);
    options.polarity = static_cast<EValvePolarity>(at(5) % 3);
    options.minArea = at(6) % 8 == 7 ? -1 : at(6) % 8;
    options.openingRadius = at(7) % 4;
    options.points = at(8) % 2 ? 0 : 3 + at(8) % 50;
    options.smoothing = at(9) % 3;
    const std::size_t header = 10;
    const std::size_t rest = size > header ? size - header : 0;
    const std::size_t bytesPerLevel = image.bitDepth == 16 ? 2 : 1;
    for (std::int64_t i = 0; i < image.PixelCount(); ++i) {
        std::uint16_t level = 0;
        if (rest >= bytesPerLevel) {
            const std::size_t k = header + (static_cast<std::size_t>(i) * bytesPerLevel) % (rest - rest % bytesPerLevel);
            level = bytesPerLevel == 2 ? static_cast<std::uint16_t>(data[k] << 8 | data[k + 1]) : data[k];
        }
        image.levels.push_back(level);
    }
    return image;
}

void CheckTrace(const CGreyImage& image, const CTraceOptions& options) {
    const CTraceResult result = TraceValves(image, options);
    FuzzRequire(result.valves.empty() != result.failure.empty());
    for (const CTracedValve& valve : result.valves) {
        const std::vector<FPoint>& outline = valve.outline;
        FuzzRequire(!outline.empty());
        RequireNoNaN(outline);
        for (std::size_t i = 0; i < outline.size(); ++i) {
            const FPoint p = outline[i];
            FuzzRequire(p.x >= 0.0f && p.y >= 0.0f && p.x <= image.width && p.y <= image.height);
            FuzzRequire(outline.size() == 1 || !(p == outline[(i + 1) % outline.size()]));
        }
    }
    const CTraceResult again = TraceValves(image, options);
    FuzzRequire(again.valves.size() == result.valves.size());
    for (std::size_t i = 0; i < result.valves.size(); ++i)
        FuzzRequire(again.valves[i].outline == result.valves[i].outline);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    if (data[0] % 2 == 0) {
        CTraceOptions options;
        const CGreyImage image = RawRaster(data, size, options);
        CheckTrace(image, options);
        return 0;
    }
    const std::span<const std::uint8_t> file(data + 1, size - 1);
    ReadImageResolution(file);
    CValveImage image;
    std::string error;
    if (DecodeValveImage(QByteArray(reinterpret_cast<const char*>(file.data()),
                                    static_cast<qsizetype>(file.size())),
                         image, error)) {
        FuzzRequire(error.empty());
        // Large images are decoded whole but traced only when small, to keep runs short.
        if (image.grey.PixelCount() <= 1 << 20)
            CheckTrace(image.grey, {});
    } else {
        FuzzRequire(!error.empty());
    }
    return 0;
}
