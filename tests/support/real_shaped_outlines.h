#pragma once

#include "model/fpoint.h"
#include "model/specimen.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

// Seeded outlines with what makes real digitised ones hard: concave margins and notches, lobes
// that lean over (rays from the centroid then meet the margin more than once), a few or many
// points, positions far from the origin, whole-pixel coordinates traced from a random start in
// either direction.
namespace real_shaped {

struct COutlineOptions {
    int points = 0;       // 0: drawn from a few to a few hundred
    double farAway = 0.0; // the largest distance of the outline from the origin
};

class COutlineMaker {
public:
    explicit COutlineMaker(std::uint32_t seed) : rng_(seed) {}

    std::vector<FPoint> Next(const COutlineOptions& options = {}) {
        static constexpr int kCounts[] = {14, 18, 24, 40, 64, 120, 200, 200, 400};
        const int count = options.points > 0 ? options.points : kCounts[Below(9)];
        Shape shape = DrawShape();
        const double size = Uniform(150.0, 1100.0);
        const double cx = options.farAway > 0.0 ? Uniform(0.3, 1.0) * options.farAway : 600.0;
        const double cy = options.farAway > 0.0 ? Uniform(0.3, 1.0) * options.farAway : 500.0;
        const double tilt = Uniform(-0.4, 0.4);
        const double start = Uniform(0.0, 2.0 * std::numbers::pi);
        const double direction = Below(2) == 0 ? 1.0 : -1.0;
        std::normal_distribution<double> jitter(0.0, 0.5);
        std::vector<FPoint> points;
        for (int i = 0; i < count; ++i) {
            const double t = start + direction * 2.0 * std::numbers::pi * i / count;
            const auto [x, y] = shape.At(t);
            const double gx = cx + size * (x * std::cos(tilt) - y * std::sin(tilt)) + jitter(rng_);
            const double gy = cy + size * (x * std::sin(tilt) + y * std::cos(tilt)) + jitter(rng_);
            points.emplace_back(static_cast<float>(std::lround(gx)),
                                static_cast<float>(std::lround(gy)));
        }
        return points;
    }

private:
    struct Bump {
        double at, width, height, lean;
    };

    // A superellipse valve of length 1 with a raised posterior and a ventral sinus, with notches
    // pressed in towards its centre and lobes pushed out, leaning to one side.
    struct Shape {
        double a, b, px, py, rise, sinus;
        std::vector<Bump> lobes, notches;

        static double Power(double v, double e) {
            return std::copysign(std::pow(std::fabs(v), e), v);
        }
        static double Wrapped(double d) { return std::remainder(d, 2.0 * std::numbers::pi); }
        std::pair<double, double> Base(double t) const {
            const double c = std::cos(t), s = std::sin(t);
            const double x = a * Power(c, 2.0 / px);
            double y = b * Power(s, 2.0 / py) * (1.0 + rise * x / a);
            if (s < 0.0)
                y += 2.0 * sinus * b * std::pow(1.0 - (x / a) * (x / a), 2.0);
            return {x, y};
        }
        std::pair<double, double> At(double t) const {
            auto [x, y] = Base(t);
            for (const Bump& n : notches) {
                const double g = std::exp(-std::pow(Wrapped(t - n.at) / n.width, 2.0));
                x *= 1.0 - n.height * g;
                y *= 1.0 - n.height * g;
            }
            for (const Bump& l : lobes) {
                const double g = std::exp(-std::pow(Wrapped(t - l.at) / l.width, 2.0));
                const auto [bx, by] = Base(l.at);
                const double phi = std::atan2(by, bx) + l.lean;
                x += l.height * g * std::cos(phi);
                y += l.height * g * std::sin(phi);
            }
            return {x, y};
        }
    };

    Shape DrawShape() {
        Shape s;
        s.a = 0.5;
        s.b = s.a * Uniform(0.45, 0.75);
        s.px = Uniform(2.0, 3.2);
        s.py = Uniform(2.0, 3.5);
        s.rise = Uniform(0.0, 0.2);
        s.sinus = Uniform(0.0, 0.08);
        static constexpr int kLobes[] = {0, 1, 1, 2};
        for (int k = kLobes[Below(4)]; k > 0; --k)
            s.lobes.push_back({Uniform(0.4, 2.7), Uniform(0.2, 0.4), Uniform(0.2, 0.9) * s.b,
                               Uniform(-0.8, 0.8)});
        for (int k = Below(3); k > 0; --k)
            s.notches.push_back({Uniform(0.0, 2.0 * std::numbers::pi), Uniform(0.15, 0.4),
                                 Uniform(0.05, 0.25), 0.0});
        return s;
    }

    double Uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(rng_);
    }
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    std::mt19937 rng_;
};

// A specimen completed as the readers complete one: orientation, statistics, halves.
inline std::unique_ptr<CSpecimen> MakeSpecimen(std::vector<FPoint> contour) {
    auto specimen = std::make_unique<CSpecimen>();
    specimen->Contour = std::move(contour);
    specimen->NormalizeOrientation();
    specimen->CalculateStatistics();
    return specimen;
}

} // namespace real_shaped
