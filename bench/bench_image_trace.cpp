// The valve trace on a 4000 x 3000 photograph-like image with 20 valves (anti-aliased, a
// little noise, an uneven light): threshold, components and sub-pixel outlines of all of
// them. Target: under 200 ms of CPU time per image on one core.

#include "valve_outlines.h"

#include "imaging/valve_tracer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// Adds a valve's covered share of each pixel, exact along each row and sampled at 4 heights.
void Cover(std::vector<float>& cover, const std::vector<FPoint>& polygon) {
    constexpr int kRows = 4;
    float top = kHeight, bottom = 0;
    for (const FPoint& p : polygon)
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    std::vector<double> xs;
    for (int y = std::max(0, static_cast<int>(top)); y < std::min(kHeight, static_cast<int>(bottom) + 1); ++y)
        for (int k = 0; k < kRows; ++k) {
            const double sy = y + (k + 0.5) / kRows;
            xs.clear();
            for (std::size_t i = 0; i < polygon.size(); ++i) {
                const FPoint& a = polygon[i];
                const FPoint& b = polygon[(i + 1) % polygon.size()];
                if ((a.y <= sy) != (b.y <= sy))
                    xs.push_back(a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y));
            }
            std::sort(xs.begin(), xs.end());
            float* row = cover.data() + static_cast<std::size_t>(y) * kWidth;
            for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
                const double x0 = std::clamp(xs[i], 0.0, double(kWidth));
                const double x1 = std::clamp(xs[i + 1], 0.0, double(kWidth));
                for (int x = static_cast<int>(x0); x < kWidth && x < x1; ++x)
                    row[x] += static_cast<float>((std::min(x1, x + 1.0) - std::max(x0, double(x))) / kRows);
            }
        }
}

// Five columns and four rows of the benchmark valves, shrunk to 80 % to fit their cells.
const CGreyImage& ValvePhotograph() {
    static const CGreyImage image = [] {
        std::vector<float> cover(static_cast<std::size_t>(kWidth) * kHeight, 0.0f);
        bench::CValveGenerator generator(42);
        for (int k = 0; k < 20; ++k) {
            std::vector<FPoint> outline = generator.Outline(1500);
            const float cx = 400.0f + 800.0f * static_cast<float>(k % 5);
            const float cy = 375.0f + 750.0f * static_cast<float>(k / 5);
            for (FPoint& p : outline)
                p = {cx + 0.8f * (p.x - 640.0f), cy + 0.8f * (p.y - 480.0f)};
            Cover(cover, outline);
        }
        CGreyImage grey;
        grey.width = kWidth;
        grey.height = kHeight;
        grey.levels.resize(cover.size());
        std::mt19937 engine(7);
        std::normal_distribution<float> noise(0.0f, 3.0f);
        for (std::size_t i = 0; i < cover.size(); ++i) {
            const float ground = 200.0f + 30.0f * static_cast<float>(i % kWidth) / kWidth;
            const float level = ground + (45.0f - ground) * std::min(cover[i], 1.0f) + noise(engine);
            grey.levels[i] = static_cast<std::uint16_t>(std::clamp(std::lround(level), 0L, 255L));
        }
        return grey;
    }();
    return image;
}

void BM_TraceValves(benchmark::State& state) {
    const CGreyImage& image = ValvePhotograph();
    std::size_t valves = 0;
    std::size_t points = 0;
    for (auto _ : state) {
        const CTraceResult result = TraceValves(image, {});
        valves = result.valves.size();
        points = 0;
        for (const CTracedValve& v : result.valves)
            points += v.outline.size();
        benchmark::DoNotOptimize(result.valves.data());
    }
    state.counters["valves"] = static_cast<double>(valves);
    state.counters["points"] = static_cast<double>(points);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TraceValves)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
