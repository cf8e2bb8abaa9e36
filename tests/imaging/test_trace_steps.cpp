// The steps of the valve trace, each against an independent computation: Otsu's threshold from
// class means, the opening and the filled components by brute force on random masks, the
// traced boundaries against per-cell areas and link counts, the outline order by hand.
#include "imaging/boundary_tracer.h"
#include "imaging/disk_opening.h"
#include "imaging/filled_components.h"
#include "imaging/otsu_threshold.h"
#include "imaging/outline_shaping.h"
#include "imaging/pixel_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>
#include <random>

namespace {

// ---- Otsu's threshold from the definition: w0 w1 (mu0 - mu1)^2 over the split levels.

struct SOtsuCase {
    const char* name;
    int bitDepth;
    std::vector<std::pair<int, int>> levelCounts; // level, how many pixels
    friend void PrintTo(const SOtsuCase& c, std::ostream* os) { *os << c.name; }
};

class OtsuThresholdTest : public ::testing::TestWithParam<SOtsuCase> {};

TEST_P(OtsuThresholdTest, MaximisesTheBetweenClassVarianceAtThePlateauMiddle) {
    const SOtsuCase& c = GetParam();
    CGreyImage image;
    image.bitDepth = c.bitDepth;
    for (const auto& [level, n] : c.levelCounts)
        image.levels.insert(image.levels.end(), static_cast<std::size_t>(n),
                            static_cast<std::uint16_t>(level));
    image.width = static_cast<int>(image.levels.size());
    image.height = 1;
    const COtsuThreshold otsu = OtsuThreshold(GreyHistogram(image));

    const std::vector<double> values(image.levels.begin(), image.levels.end());
    const double n = static_cast<double>(values.size());
    double mean = 0.0;
    for (double v : values)
        mean += v / n;
    double total = 0.0;
    for (double v : values)
        total += (v - mean) * (v - mean) / n;
    std::vector<double> between(static_cast<std::size_t>(image.MaxLevel()), -1.0);
    for (int t = 0; t < image.MaxLevel(); ++t) {
        double n0 = 0, s0 = 0, n1 = 0, s1 = 0;
        for (double v : values)
            (v <= t ? (n0 += 1, s0 += v) : (n1 += 1, s1 += v));
        if (n0 > 0 && n1 > 0)
            between[static_cast<std::size_t>(t)] =
                (n0 / n) * (n1 / n) * (s0 / n0 - s1 / n1) * (s0 / n0 - s1 / n1);
    }
    const double best = *std::max_element(between.begin(), between.end());
    if (best < 0.0) {
        EXPECT_FALSE(otsu.found);
        return;
    }
    ASSERT_TRUE(otsu.found);
    const auto isBest = [&](int t) { return between[static_cast<std::size_t>(t)] >= best * (1 - 1e-12); };
    int first = 0;
    while (!isBest(first))
        ++first;
    int last = first;
    while (last + 1 < image.MaxLevel() && isBest(last + 1))
        ++last;
    EXPECT_EQ(otsu.level, first + (last - first) / 2);
    EXPECT_NEAR(otsu.separability, best / total, 1e-9);
}

std::vector<std::pair<int, int>> Bimodal(int dark, int light, int spread, std::uint32_t seed) {
    std::mt19937 engine(seed);
    std::normal_distribution<double> noise(0.0, spread);
    std::vector<std::pair<int, int>> counts;
    for (int i = 0; i < 300; ++i)
        counts.push_back({std::clamp(static_cast<int>(std::lround((i % 3 ? light : dark) +
                                                                  noise(engine))),
                                     0, 255),
                          1});
    return counts;
}

INSTANTIATE_TEST_SUITE_P(
    Histograms, OtsuThresholdTest,
    ::testing::Values(SOtsuCase{"TwoLevels", 8, {{0, 50}, {255, 50}}},
                      SOtsuCase{"UnequalClasses", 8, {{10, 3}, {20, 5}, {200, 7}}},
                      SOtsuCase{"ThreeEqualSpikes", 8, {{0, 10}, {128, 10}, {255, 10}}},
                      SOtsuCase{"NoisyBimodal", 8, Bimodal(60, 200, 12, 7)},
                      SOtsuCase{"SixteenBit", 16, {{1000, 40}, {1001, 2}, {52000, 60}}},
                      SOtsuCase{"SingleLevel", 8, {{77, 20}}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Random masks and brute-force references.

struct SMask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bits;
    bool At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height &&
               bits[static_cast<std::size_t>(y) * width + x] != 0;
    }
};

SMask RandomMask(int width, int height, double density, std::uint32_t seed) {
    std::mt19937 engine(seed);
    std::bernoulli_distribution set(density);
    SMask m{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        m.bits.push_back(set(engine) ? 1 : 0);
    return m;
}

struct SMaskCase {
    int width;
    int height;
    double density;
    std::uint32_t seed;
    friend void PrintTo(const SMaskCase& c, std::ostream* os) {
        *os << c.width << "x" << c.height << " at " << c.density;
    }
};

const auto kMasks = ::testing::Values(
    SMaskCase{1, 1, 1.0, 1}, SMaskCase{7, 1, 0.6, 2}, SMaskCase{1, 9, 0.6, 3},
    SMaskCase{24, 17, 0.3, 4}, SMaskCase{24, 17, 0.5, 5}, SMaskCase{31, 23, 0.62, 6},
    SMaskCase{40, 30, 0.8, 7}, SMaskCase{40, 30, 0.95, 8});

class MaskTest : public ::testing::TestWithParam<SMaskCase> {
protected:
    SMask Mask() const {
        const SMaskCase& c = GetParam();
        return RandomMask(c.width, c.height, c.density, c.seed);
    }
};

SMask BruteOpening(const SMask& m, int r) {
    SMask eroded{m.width, m.height, std::vector<std::uint8_t>(m.bits.size(), 0)};
    SMask opened = eroded;
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            bool all = true;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx)
                    if (dx * dx + dy * dy <= r * r && !m.At(x + dx, y + dy))
                        all = false;
            eroded.bits[static_cast<std::size_t>(y) * m.width + x] = all;
        }
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x)
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx)
                    if (dx * dx + dy * dy <= r * r && eroded.At(x + dx, y + dy))
                        opened.bits[static_cast<std::size_t>(y) * m.width + x] = 1;
    return opened;
}

TEST_P(MaskTest, OpeningMatchesTheDefinition) {
    const SMask m = Mask();
    for (int r = 1; r <= 3; ++r) {
        const CPixelRuns opened = OpenWithDisk(MaskRuns(m.bits, m.width, m.height), r);
        EXPECT_EQ(RunsMask(opened), BruteOpening(m, r).bits) << "radius " << r;
    }
}

struct SComponent {
    std::int64_t area = 0;
    std::int64_t valvePixels = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool touchesBorder = false;
};

// Holes by a flood of the background from the border (4-connected), then 8-connected
// components of the filled mask by breadth-first search, numbered by their first pixel.
std::vector<SComponent> BruteComponents(const SMask& m, SMask& filled) {
    filled = m;
    std::vector<std::uint8_t> reached(m.bits.size(), 0);
    std::deque<std::pair<int, int>> queue;
    const auto visitGround = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= m.width || y >= m.height || m.At(x, y))
            return;
        auto& r = reached[static_cast<std::size_t>(y) * m.width + x];
        if (!r) {
            r = 1;
            queue.push_back({x, y});
        }
    };
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x)
            if (x == 0 || y == 0 || x == m.width - 1 || y == m.height - 1)
                visitGround(x, y);
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        visitGround(x + 1, y), visitGround(x - 1, y), visitGround(x, y + 1), visitGround(x, y - 1);
    }
    for (std::size_t i = 0; i < m.bits.size(); ++i)
        filled.bits[i] = reached[i] ? 0 : 1;

    std::vector<SComponent> components;
    std::vector<int> label(m.bits.size(), -1);
    for (int y0 = 0; y0 < m.height; ++y0)
        for (int x0 = 0; x0 < m.width; ++x0) {
            if (!filled.At(x0, y0) || label[static_cast<std::size_t>(y0) * m.width + x0] >= 0)
                continue;
            SComponent c;
            const int id = static_cast<int>(components.size());
            queue.push_back({x0, y0});
            label[static_cast<std::size_t>(y0) * m.width + x0] = id;
            while (!queue.empty()) {
                const auto [x, y] = queue.front();
                queue.pop_front();
                ++c.area;
                c.valvePixels += m.At(x, y);
                c.left = std::min(c.left, x), c.right = std::max(c.right, x + 1);
                c.top = std::min(c.top, y), c.bottom = std::max(c.bottom, y + 1);
                c.touchesBorder |= x == 0 || y == 0 || x == m.width - 1 || y == m.height - 1;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        if (!filled.At(x + dx, y + dy))
                            continue;
                        int& l = label[static_cast<std::size_t>(y + dy) * m.width + x + dx];
                        if (l < 0) {
                            l = id;
                            queue.push_back({x + dx, y + dy});
                        }
                    }
            }
            components.push_back(c);
        }
    return components;
}

TEST_P(MaskTest, FilledComponentsMatchAFloodFill) {
    const SMask m = Mask();
    SMask filled;
    const std::vector<SComponent> expected = BruteComponents(m, filled);
    const CFilledComponents found = FindFilledComponents(MaskRuns(m.bits, m.width, m.height));
    EXPECT_EQ(RunsMask(found.filled), filled.bits);
    ASSERT_EQ(found.components.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const CFilledComponent& c = found.components[i];
        EXPECT_EQ(c.area, expected[i].area) << i;
        EXPECT_EQ(c.valvePixels, expected[i].valvePixels) << i;
        EXPECT_EQ(c.left, expected[i].left) << i;
        EXPECT_EQ(c.right, expected[i].right) << i;
        EXPECT_EQ(c.top, expected[i].top) << i;
        EXPECT_EQ(c.bottom, expected[i].bottom) << i;
        EXPECT_EQ(c.touchesBorder, expected[i].touchesBorder) << i;
    }
}

// A binary image (valve 0, ground 255) puts every boundary point halfway between two pixel
// centres. The outlines then enclose, cell by cell: 1/8 for one corner inside, 1/2 for two
// beside each other, 3/4 for two across (joined), 7/8 for three, 1 for four; and they have a
// point for each link between a filled pixel and a 4-neighbour outside.
TEST_P(MaskTest, BoundariesEncloseTheCellAreasThroughEveryLink) {
    const SMask m = Mask();
    CGreyImage image;
    image.width = m.width;
    image.height = m.height;
    for (std::uint8_t b : m.bits)
        image.levels.push_back(b ? 0 : 255);
    SMask filled;
    BruteComponents(m, filled);

    double expectedArea = 0.0;
    std::int64_t expectedLinks = 0;
    for (int y = -1; y < m.height; ++y)
        for (int x = -1; x < m.width; ++x) {
            const bool tl = filled.At(x, y), tr = filled.At(x + 1, y);
            const bool bl = filled.At(x, y + 1), br = filled.At(x + 1, y + 1);
            const int n = tl + tr + bl + br;
            const bool across = n == 2 && tl == br;
            expectedArea += n == 1 ? 0.125 : n == 2 ? (across ? 0.75 : 0.5) : n == 3 ? 0.875 : n / 4;
            if (filled.At(x + 1, y + 1))
                expectedLinks += !filled.At(x, y + 1) + !filled.At(x + 2, y + 1) +
                                 !filled.At(x + 1, y) + !filled.At(x + 1, y + 2);
        }
    const CFilledComponents components = FindFilledComponents(MaskRuns(m.bits, m.width, m.height));
    double area = 0.0;
    std::int64_t links = 0;
    for (std::size_t i = 0; i < components.components.size(); ++i) {
        const std::vector<DPoint> outline = TraceOuterBoundary(components, i, image, 127, false);
        area += std::fabs(SignedArea(outline));
        links += static_cast<std::int64_t>(outline.size());
        std::vector<DPoint> sorted = outline;
        std::sort(sorted.begin(), sorted.end(),
                  [](const DPoint& a, const DPoint& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
        EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "repeated point";
        for (std::size_t k = 0; k < outline.size(); ++k) {
            const DPoint& a = outline[k];
            const DPoint& b = outline[(k + 1) % outline.size()];
            EXPECT_LE(std::fabs(a.x - b.x) + std::fabs(a.y - b.y), 1.0) << "gap in outline " << i;
        }
    }
    EXPECT_NEAR(area, expectedArea, 1e-9 * (1.0 + expectedArea));
    EXPECT_EQ(links, expectedLinks);
}

INSTANTIATE_TEST_SUITE_P(RandomMasks, MaskTest, kMasks);

// ---- Outline order, resampling, smoothing: by hand.

TEST(OrderOutline, AnticlockwiseAsSeenFromTheRightCrossingOfTheCentroidLine) {
    // Clockwise as seen (y down): the right edge is crossed at (10, 2), which is added.
    std::vector<DPoint> box = {{0, 0}, {10, 0}, {10, 4}, {0, 4}};
    OrderOutline(box);
    EXPECT_EQ(box, (std::vector<DPoint>{{10, 2}, {10, 0}, {0, 0}, {0, 4}, {10, 4}}));
    EXPECT_LT(SignedArea(box), 0.0);

    // The centroid line through a point: that point starts, nothing is added.
    std::vector<DPoint> diamond = {{5, 0}, {0, 5}, {5, 10}, {10, 5}};
    OrderOutline(diamond);
    EXPECT_EQ(diamond, (std::vector<DPoint>{{10, 5}, {5, 0}, {0, 5}, {5, 10}}));

    // A U open to the right: of its four crossings the furthest right, on the upper arm.
    // Arms 0..10 x 0..2 and 0..10 x 8..10, joined by 0..2 x 2..8; centroid y is 5, crossed
    // only by the left bar, at x = 2 (inner) and x = 0 (outer).
    std::vector<DPoint> u = {{0, 0}, {10, 0}, {10, 2}, {2, 2}, {2, 8}, {10, 8}, {10, 10}, {0, 10}};
    OrderOutline(u);
    EXPECT_EQ(u.front(), (DPoint{2, 5}));
    EXPECT_EQ(u[1], (DPoint{2, 2}));
}

TEST(ResampleOutline, EquallySpacedFromTheStart) {
    std::vector<DPoint> square = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    OrderOutline(square);
    EXPECT_EQ(ResampleOutline(square, 8),
              (std::vector<DPoint>{{10, 5}, {10, 0}, {5, 0}, {0, 0}, {0, 5}, {0, 10}, {5, 10},
                                   {10, 10}}));
}

TEST(SmoothOutline, ShrinksARegularPolygonByTheKernelsGain) {
    // Each pass scales a regular n-gon about its centre by (1 + cos(2 pi / n)) / 2.
    const int n = 36;
    std::vector<DPoint> polygon;
    for (int i = 0; i < n; ++i)
        polygon.push_back({500 + 20 * std::cos(2 * std::numbers::pi * i / n),
                           300 + 20 * std::sin(2 * std::numbers::pi * i / n)});
    SmoothOutline(polygon, 3);
    const double gain = std::pow((1 + std::cos(2 * std::numbers::pi / n)) / 2, 3);
    for (const DPoint& p : polygon)
        EXPECT_NEAR(std::hypot(p.x - 500, p.y - 300), 20 * gain, 1e-9);
}

TEST(ToFloatOutline, KeepsPointsThatMeetAsFloatsOnce) {
    const std::vector<DPoint> outline = {
        {3999.5, 1.0}, {3999.5 + 1e-6, 1.0}, {3999.0, 2.0}, {3998.0, 1.0}, {3999.5 - 1e-6, 1.0}};
    EXPECT_EQ(ToFloatOutline(outline),
              (std::vector<FPoint>{{3999.5f, 1.0f}, {3999.0f, 2.0f}, {3998.0f, 1.0f}}));
}

} // namespace
