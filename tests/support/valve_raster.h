#pragma once

#include "imaging/dpoint.h"
#include "imaging/grey_image.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

// Valve images drawn by the tests from known outlines, in double precision: the sample
// generator's valve shapes, covered exactly along each row and at 16 heights a pixel, blended
// between a ground and a valve level, then blurred, lit unevenly, dusted and made noisy.
namespace raster {

using Polygon = std::vector<DPoint>;

// The generator's valve in lateral view, posterior towards +x, dorsal towards -y (image
// coordinates), `length` pixels long, centred at (cx, cy).
struct ValveShape {
    double length = 200.0;
    double height = 110.0;
    double dorsal = 3.4;     // superellipse exponents of the four margins
    double ventral = 2.3;
    double posterior = 2.6;
    double anterior = 2.0;
    double rise = 0.12;      // height gain towards the posterior end
    double sinus = 0.035;    // mid-ventral concavity
    double tilt = 0.03;      // radians
    double cx = 0.0;
    double cy = 0.0;
};

inline Polygon ValvePolygon(const ValveShape& v, int samples = 6000) {
    const auto power = [](double value, double e) {
        return std::copysign(std::pow(std::fabs(value), e), value);
    };
    Polygon points;
    points.reserve(static_cast<std::size_t>(samples));
    for (int i = 0; i < samples; ++i) {
        const double t = 2.0 * std::numbers::pi * i / samples;
        const double c = std::cos(t);
        const double s = std::sin(t);
        const double px = power(c, 2.0 / (c >= 0.0 ? v.posterior : v.anterior));
        double py = power(s, 2.0 / (s >= 0.0 ? v.dorsal : v.ventral)) * (1.0 + v.rise * px);
        if (s < 0.0)
            py += 2.0 * v.sinus * (1.0 - px * px) * (1.0 - px * px);
        const double x = 0.5 * v.length * px;
        const double y = -0.5 * v.height * py;
        points.push_back({v.cx + x * std::cos(v.tilt) - y * std::sin(v.tilt),
                          v.cy + x * std::sin(v.tilt) + y * std::cos(v.tilt)});
    }
    return points;
}

inline Polygon Rectangle(double left, double top, double right, double bottom) {
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

// The share of each pixel that the polygons cover (even-odd), exact along each row and
// sampled at 16 heights a pixel.
inline std::vector<double> Coverage(const std::vector<Polygon>& polygons, int width, int height) {
    constexpr int kRows = 16;
    std::vector<double> cover(static_cast<std::size_t>(width) * height, 0.0);
    std::vector<std::pair<double, double>> spans; // of each polygon's heights
    for (const Polygon& p : polygons) {
        const auto [low, high] = std::minmax_element(
            p.begin(), p.end(), [](const DPoint& a, const DPoint& b) { return a.y < b.y; });
        spans.push_back(p.empty() ? std::pair{0.0, -1.0} : std::pair{low->y, high->y});
    }
    std::vector<double> xs;
    for (int y = 0; y < height; ++y) {
        double* row = cover.data() + static_cast<std::size_t>(y) * width;
        for (int k = 0; k < kRows; ++k) {
            const double sy = y + (k + 0.5) / kRows;
            xs.clear();
            for (std::size_t k2 = 0; k2 < polygons.size(); ++k2) {
                const Polygon& p = polygons[k2];
                if (sy < spans[k2].first || sy > spans[k2].second)
                    continue;
                for (std::size_t i = 0; i < p.size(); ++i) {
                    const DPoint& a = p[i];
                    const DPoint& b = p[(i + 1) % p.size()];
                    if ((a.y <= sy) != (b.y <= sy))
                        xs.push_back(a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y));
                }
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
                const double x0 = std::clamp(xs[i], 0.0, double(width));
                const double x1 = std::clamp(xs[i + 1], 0.0, double(width));
                for (int x = static_cast<int>(x0); x < width && x < x1; ++x)
                    row[x] += (std::min(x1, x + 1.0) - std::max(x0, double(x))) / kRows;
            }
        }
    }
    return cover;
}

// A ground of `ground` with the covered share of each pixel at `valve`, as double levels.
inline std::vector<double> Blend(const std::vector<double>& cover, double ground, double valve) {
    std::vector<double> levels(cover.size());
    for (std::size_t i = 0; i < cover.size(); ++i)
        levels[i] = ground + (valve - ground) * cover[i];
    return levels;
}

// A Gaussian blur of the given standard deviation, edges extended.
inline void Blur(std::vector<double>& levels, int width, int height, double sigma) {
    const int r = static_cast<int>(std::ceil(3.0 * sigma));
    std::vector<double> kernel(static_cast<std::size_t>(2 * r + 1));
    double sum = 0.0;
    for (int i = -r; i <= r; ++i)
        sum += kernel[static_cast<std::size_t>(i + r)] = std::exp(-0.5 * i * i / (sigma * sigma));
    for (double& k : kernel)
        k /= sum;
    std::vector<double> tmp(levels.size());
    const auto at = [&](const std::vector<double>& v, int x, int y) {
        return v[static_cast<std::size_t>(std::clamp(y, 0, height - 1)) * width +
                 static_cast<std::size_t>(std::clamp(x, 0, width - 1))];
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double s = 0.0;
            for (int i = -r; i <= r; ++i)
                s += kernel[static_cast<std::size_t>(i + r)] * at(levels, x + i, y);
            tmp[static_cast<std::size_t>(y) * width + x] = s;
        }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double s = 0.0;
            for (int i = -r; i <= r; ++i)
                s += kernel[static_cast<std::size_t>(i + r)] * at(tmp, x, y + i);
            levels[static_cast<std::size_t>(y) * width + x] = s;
        }
}

// Light growing by `gain` levels from the left edge to the right one.
inline void Gradient(std::vector<double>& levels, int width, double gain) {
    for (std::size_t i = 0; i < levels.size(); ++i)
        levels[i] += gain * static_cast<double>(i % width) / width;
}

inline void Noise(std::vector<double>& levels, double sigma, std::uint32_t seed) {
    std::mt19937 engine(seed);
    std::normal_distribution<double> normal(0.0, sigma);
    for (double& v : levels)
        v += normal(engine);
}

// Rounded and clamped to the levels of the given depth.
inline CGreyImage Quantize(const std::vector<double>& levels, int width, int height,
                           int bitDepth = 8) {
    CGreyImage image;
    image.width = width;
    image.height = height;
    image.bitDepth = bitDepth;
    const double top = bitDepth > 8 ? 65535.0 : 255.0;
    image.levels.reserve(levels.size());
    for (double v : levels)
        image.levels.push_back(static_cast<std::uint16_t>(std::lround(std::clamp(v, 0.0, top))));
    return image;
}

// Signed area (y down: negative when anticlockwise as seen) of a closed polygon.
inline double Area(const Polygon& p) {
    double twice = 0.0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const DPoint& a = p[i];
        const DPoint& b = p[(i + 1) % p.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return 0.5 * twice;
}

// The distance from a point to a closed polygon.
inline double Distance(const Polygon& p, double x, double y) {
    double best = INFINITY;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const DPoint& a = p[i];
        const DPoint& b = p[(i + 1) % p.size()];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double len2 = dx * dx + dy * dy;
        const double t = len2 > 0.0 ? std::clamp(((x - a.x) * dx + (y - a.y) * dy) / len2, 0.0, 1.0)
                                    : 0.0;
        best = std::min(best, std::hypot(a.x + t * dx - x, a.y + t * dy - y));
    }
    return best;
}

} // namespace raster
