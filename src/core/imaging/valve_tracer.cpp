#include "imaging/valve_tracer.h"

#include "imaging/boundary_tracer.h"
#include "imaging/disk_opening.h"
#include "imaging/filled_components.h"
#include "imaging/outline_shaping.h"
#include "imaging/pixel_runs.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace {

std::string Count(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The valves are light when most of the border is dark.
bool BorderIsMostlyDark(const CGreyImage& image, int threshold) {
    std::int64_t dark = 0;
    std::int64_t all = 0;
    const auto count = [&](int x, int y) {
        dark += image.Level(x, y) <= threshold;
        ++all;
    };
    for (int x = 0; x < image.width; ++x) {
        count(x, 0);
        if (image.height > 1)
            count(x, image.height - 1);
    }
    for (int y = 1; y + 1 < image.height; ++y) {
        count(0, y);
        if (image.width > 1)
            count(image.width - 1, y);
    }
    return 2 * dark > all;
}

// Valves in reading order: a valve whose centroid lies above the bottom of the topmost
// remaining valve belongs to its row; rows from the top, each from left to right.
void SortInReadingOrder(std::vector<CTracedValve>& valves) {
    std::vector<CTracedValve> sorted = std::move(valves);
    std::stable_sort(sorted.begin(), sorted.end(), [](const CTracedValve& a, const CTracedValve& b) {
        return a.centroid.y < b.centroid.y;
    });
    valves.clear();
    std::size_t rowStart = 0;
    while (rowStart < sorted.size()) {
        std::size_t rowEnd = rowStart + 1;
        while (rowEnd < sorted.size() && sorted[rowEnd].centroid.y < sorted[rowStart].bottom)
            ++rowEnd;
        std::stable_sort(sorted.begin() + static_cast<std::ptrdiff_t>(rowStart),
                         sorted.begin() + static_cast<std::ptrdiff_t>(rowEnd),
                         [](const CTracedValve& a, const CTracedValve& b) {
                             return a.centroid.x < b.centroid.x;
                         });
        rowStart = rowEnd;
    }
    valves = std::move(sorted);
}

// Why a component of at least the minimum area is not a valve; empty when it may be one.
std::string NotAValve(const CFilledComponent& c, const CGreyImage& image) {
    const int w = c.right - c.left;
    const int h = c.bottom - c.top;
    // Reaching every side, it surrounds whatever else there is: the ground, or noise.
    if (c.left == 0 && c.top == 0 && c.right == image.width && c.bottom == image.height)
        return "a component of " + Count(c.area, "pixel", "pixels") +
               " reaching all four sides of the image (the ground, or noise)";
    // Long and filling its bounds: a scale bar or a ruled line, not a valve.
    if (std::max(w, h) >= 5 * std::min(w, h) &&
        10 * c.area >= 9 * static_cast<std::int64_t>(w) * h)
        return "a bar of " + std::to_string(w) + " x " + std::to_string(h) + " pixels at (" +
               std::to_string(c.left) + ", " + std::to_string(c.top) + ") (a scale bar)";
    return {};
}

// An outline more than about three times as long as the circle of its area: the boundary of
// noise, not of a valve (spurs and spines lengthen a valve's outline far less).
bool IsRagged(const CTracedValve& valve) {
    constexpr double kMinRoundness = 0.1; // 4 pi area / perimeter^2, 1 for a circle
    return 4.0 * std::numbers::pi * valve.area < kMinRoundness * valve.perimeter * valve.perimeter;
}

CTracedValve TraceValve(const CFilledComponents& components, std::size_t index,
                        const CGreyImage& image, int threshold, bool lightValves,
                        const CTraceOptions& options) {
    const CFilledComponent& c = components.components[index];
    std::vector<DPoint> outline = TraceOuterBoundary(components, index, image, threshold,
                                                     lightValves);
    SmoothOutline(outline, options.smoothing);
    OrderOutline(outline);
    CTracedValve valve;
    valve.area = std::fabs(SignedArea(outline));
    valve.centroid = AreaCentroid(outline);
    valve.perimeter = Perimeter(outline);
    if (options.points > 0)
        outline = ResampleOutline(outline, options.points);
    valve.outline = ToFloatOutline(outline);
    valve.pixelArea = c.area;
    valve.left = c.left;
    valve.top = c.top;
    valve.right = c.right;
    valve.bottom = c.bottom;
    valve.touchesBorder = c.touchesBorder;
    return valve;
}

} // namespace

bool IsTraceableImage(const CGreyImage& image, std::string& error) {
    if (image.width <= 0 || image.height <= 0) {
        error = "the image has no pixels";
        return false;
    }
    if (image.PixelCount() > kMaxImagePixels) {
        error = "the image has " + std::to_string(image.PixelCount()) +
                " pixels, more than the 200 million this program traces";
        return false;
    }
    if (image.bitDepth != 8 && image.bitDepth != 16) {
        error = "grey levels of " + std::to_string(image.bitDepth) + " bits are not supported";
        return false;
    }
    if (static_cast<std::int64_t>(image.levels.size()) != image.PixelCount()) {
        error = "the image's levels do not match its size";
        return false;
    }
    if (image.bitDepth == 8 &&
        std::any_of(image.levels.begin(), image.levels.end(),
                    [](std::uint16_t v) { return v > 255; })) {
        error = "an 8-bit image holds a level above 255";
        return false;
    }
    error.clear();
    return true;
}

CTraceResult TraceValves(const CGreyImage& image, const CTraceOptions& options) {
    CTraceResult result;
    if (!IsTraceableImage(image, result.failure))
        return result;
    result.otsu = OtsuThreshold(GreyHistogram(image));
    if (options.threshold >= 0) {
        result.threshold = std::min(options.threshold, image.MaxLevel());
    } else if (result.otsu.found) {
        result.threshold = result.otsu.level;
    } else {
        result.failure = "the image has a single grey level (" +
                         std::to_string(image.levels.front()) + "): there is nothing to trace";
        return result;
    }
    switch (options.polarity) {
    case EValvePolarity::FromBorder:
        result.lightValves = BorderIsMostlyDark(image, result.threshold);
        break;
    case EValvePolarity::Dark: result.lightValves = false; break;
    case EValvePolarity::Light: result.lightValves = true; break;
    }
    result.minArea = options.minArea >= 0
                         ? options.minArea
                         : std::max<std::int64_t>(1, (image.PixelCount() + 999) / 1000);

    CPixelRuns valvePixels = ValvePixelRuns(image, result.threshold, result.lightValves);
    if (options.openingRadius > 0)
        valvePixels = OpenWithDisk(valvePixels, options.openingRadius);
    const CFilledComponents components = FindFilledComponents(valvePixels);

    std::int64_t specks = 0;
    std::int64_t largestSpeck = 0;
    std::vector<std::string> leftOut;
    for (std::size_t i = 0; i < components.components.size(); ++i) {
        const CFilledComponent& c = components.components[i];
        if (c.area < result.minArea) {
            ++specks;
            largestSpeck = std::max(largestSpeck, c.area);
        } else if (std::string why = NotAValve(c, image); !why.empty()) {
            leftOut.push_back(std::move(why));
        } else {
            CTracedValve valve =
                TraceValve(components, i, image, result.threshold, result.lightValves, options);
            if (IsRagged(valve))
                leftOut.push_back("a component of " + Count(c.area, "pixel", "pixels") + " at (" +
                                  std::to_string(c.left) + ", " + std::to_string(c.top) +
                                  ") with a ragged outline (noise)");
            else
                result.valves.push_back(std::move(valve));
        }
    }
    SortInReadingOrder(result.valves);

    // A noisy image can leave out thousands of components: the first few are named.
    constexpr std::size_t kNamed = 10;
    std::vector<std::string> named(leftOut.begin(),
                                   leftOut.begin() + static_cast<std::ptrdiff_t>(
                                                         std::min(leftOut.size(), kNamed)));
    if (leftOut.size() > kNamed)
        named.push_back(Count(static_cast<std::int64_t>(leftOut.size() - kNamed),
                              "more component", "more components"));
    if (specks > 0)
        named.push_back(Count(specks, "speck", "specks") + " smaller than " +
                        Count(result.minArea, "pixel", "pixels") + " (the largest " +
                        Count(largestSpeck, "pixel", "pixels") + ")");
    for (const std::string& why : named)
        result.notes.push_back("left out: " + why);
    for (std::size_t i = 0; i < result.valves.size(); ++i) {
        if (result.valves[i].touchesBorder)
            result.notes.push_back("valve " + std::to_string(i + 1) +
                                   " touches the image border; its outline runs along it there");
    }
    if (result.valves.empty()) {
        result.failure = std::string("no ") + (result.lightValves ? "light" : "dark") +
                         " valve at threshold " + std::to_string(result.threshold);
        for (std::size_t i = 0; i < named.size(); ++i)
            result.failure += (i == 0 ? "; left out: " : ", ") + named[i];
    }
    return result;
}
