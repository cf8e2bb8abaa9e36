#pragma once

#include "model/fpoint.h"
#include "model/specimen.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

// Seeded synthetic valve outlines for the benchmarks: superellipse-like ostracod valves of
// about 700 x 400 pixels, with a raised posterior, a ventral sinus, a slight wobble and tilt,
// digitised to whole pixels with a little jitter, traced from a random start point.
namespace bench {

class CValveGenerator {
public:
    explicit CValveGenerator(std::uint32_t seed) : engine_(seed) {}

    // `lobeShare` of the valves get a lobe on the dorsal margin that leans over, as real
    // outlines have: seen from the centroid, their dorsal margin folds back.
    std::vector<FPoint> Outline(int count, double lobeShare = 0.0) {
        const double length = Uniform(640.0, 860.0);
        const double height = length / Uniform(1.65, 2.1);
        const double dorsal = Uniform(3.0, 3.8);
        const double ventral = Uniform(2.1, 2.5);
        const double posterior = Uniform(2.4, 2.8);
        const double anterior = Uniform(1.9, 2.1);
        const double rise = Uniform(0.08, 0.16);
        const double sinus = Uniform(0.02, 0.05);
        double wobble[4];
        double phase[4];
        for (int k = 0; k < 4; ++k) {
            wobble[k] = Uniform(0.001, 0.004);
            phase[k] = Uniform(0.0, 2.0 * std::numbers::pi);
        }
        // Drawn only when asked for, so that the other valves stay as they were.
        bool lobed = false;
        double lobeAt = 0.0;
        double lobeLean = 0.0;
        if (lobeShare > 0.0) {
            lobed = Uniform(0.0, 1.0) < lobeShare;
            lobeAt = Uniform(0.6, 2.5);
            lobeLean = Uniform(0.5, 0.8) * (Uniform(0.0, 1.0) < 0.5 ? -1.0 : 1.0);
        }
        const double tilt = Uniform(-0.05, 0.05);
        const double cx = 640.0 + Uniform(-40.0, 40.0);
        const double cy = 480.0 + Uniform(-30.0, 30.0);
        const double start = Uniform(0.0, 2.0 * std::numbers::pi);
        std::normal_distribution<double> jitter(0.0, 0.6);
        std::vector<FPoint> points;
        points.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const double t = start + 2.0 * std::numbers::pi * i / count;
            const double c = std::cos(t);
            const double s = std::sin(t);
            const double px = Power(c, 2.0 / (c >= 0.0 ? posterior : anterior));
            double py = Power(s, 2.0 / (s >= 0.0 ? dorsal : ventral)) * (1.0 + rise * px);
            if (s < 0.0)
                py += 2.0 * sinus * (1.0 - px * px) * (1.0 - px * px);
            double radius = 1.0;
            for (int k = 0; k < 4; ++k)
                radius += wobble[k] * std::sin((k + 5) * t + phase[k]);
            double x = radius * 0.5 * length * px;
            double y = radius * 0.5 * height * py;
            if (lobed) {
                const double d = std::remainder(t - lobeAt, 2.0 * std::numbers::pi) / 0.3;
                const double g = std::exp(-d * d);
                const double phi = lobeAt + lobeLean;
                x += 0.6 * height * g * std::cos(phi);
                y += 0.6 * height * g * std::sin(phi);
            }
            const double gx = cx + x * std::cos(tilt) - y * std::sin(tilt) + jitter(engine_);
            const double gy = cy + x * std::sin(tilt) + y * std::cos(tilt) + jitter(engine_);
            points.emplace_back(static_cast<float>(std::lround(gx)),
                                static_cast<float>(std::lround(gy)));
        }
        return points;
    }

private:
    double Uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(engine_);
    }
    static double Power(double v, double e) { return std::copysign(std::pow(std::fabs(v), e), v); }

    std::mt19937 engine_;
};

// A specimen completed as the readers complete one: orientation, statistics, halves.
inline std::unique_ptr<CSpecimen> MakeSpecimen(std::vector<FPoint> contour) {
    auto specimen = std::make_unique<CSpecimen>();
    specimen->Contour = std::move(contour);
    specimen->NormalizeOrientation();
    specimen->CalculateStatistics();
    return specimen;
}

} // namespace bench
