// The whole trace on images drawn from known outlines: accuracy against the true curve,
// the documented start and direction, reproducibility, spurs and diagonal joints, several
// valves, and the images that hold no valve.
#include "imaging/valve_tracer.h"
#include "support/outline_shapes.h"
#include "support/valve_raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

using raster::Polygon;
using raster::ValveShape;

struct SScene {
    int width = 320;
    int height = 220;
    std::vector<Polygon> valves;
    double ground = 220.0;
    double valve = 40.0;
    double blur = 0.0;
    double noise = 0.0;
    double gradient = 0.0;
    bool dust = false;
    bool scaleBar = false;
    int bitDepth = 8;

    CGreyImage Draw() const {
        std::vector<Polygon> shapes = valves;
        if (scaleBar)
            shapes.push_back(raster::Rectangle(width - 100.0, height - 16.0, width - 20.0, height - 11.0));
        if (dust) {
            // Specks of up to 3 pixels across, away from the valves.
            std::mt19937 engine(11);
            std::uniform_real_distribution<double> x(0.0, width), y(0.0, 12.0), r(0.5, 1.6);
            for (int i = 0; i < 25; ++i) {
                const double cx = x(engine), cy = i % 2 ? y(engine) : height - 19 - y(engine);
                const double a = r(engine), b = r(engine);
                shapes.push_back(ToPolygon(shapes::Ellipse(a, b, 0, cx, cy, 12)));
            }
        }
        std::vector<double> levels = raster::Blend(raster::Coverage(shapes, width, height), ground, valve);
        if (blur > 0.0)
            raster::Blur(levels, width, height, blur);
        raster::Gradient(levels, width, gradient);
        if (noise > 0.0)
            raster::Noise(levels, noise, 5);
        if (bitDepth == 16)
            for (double& v : levels)
                v *= 257.0;
        return raster::Quantize(levels, width, height, bitDepth);
    }

    static Polygon ToPolygon(const std::vector<FPoint>& points) {
        Polygon p;
        for (const FPoint& q : points)
            p.push_back({q.x, q.y});
        return p;
    }
};

ValveShape Valve(double cx, double cy, double length = 200.0, double tilt = 0.03) {
    ValveShape v;
    v.cx = cx;
    v.cy = cy;
    v.length = length;
    v.height = length * 0.55;
    v.tilt = tilt;
    return v;
}

// Points on the image's edge (x or y 0) follow the border, not the valve: they are left out.
double MeanDistance(const std::vector<FPoint>& outline, const Polygon& truth) {
    double sum = 0.0;
    int count = 0;
    for (const FPoint& p : outline) {
        if (p.x > 0.0f && p.y > 0.0f) {
            sum += raster::Distance(truth, p.x, p.y);
            ++count;
        }
    }
    return sum / count;
}

// The documented order, checked on the float outline: anticlockwise as seen (negative area
// with y down), no point twice, starting on the centroid's horizontal line at its right-most
// crossing.
void ExpectDocumentedOrder(const std::vector<FPoint>& outline) {
    ASSERT_GE(outline.size(), 3u);
    const shapes::PolygonMoments m = shapes::Moments(outline);
    EXPECT_LT(m.area, 0.0);
    std::vector<FPoint> sorted = outline;
    std::sort(sorted.begin(), sorted.end(),
              [](const FPoint& a, const FPoint& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "repeated point";
    double right = -INFINITY;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const FPoint& a = outline[i];
        const FPoint& b = outline[(i + 1) % outline.size()];
        if ((a.y <= m.cy) != (b.y <= m.cy))
            right = std::max(right, a.x + (m.cy - a.y) * (b.x - a.x) / (b.y - a.y));
    }
    EXPECT_NEAR(outline.front().y, m.cy, 1e-3);
    EXPECT_NEAR(outline.front().x, right, 1e-3);
}

struct STraceCase {
    const char* name;
    SScene scene;
    friend void PrintTo(const STraceCase& c, std::ostream* os) { *os << c.name; }
};

class TraceAccuracyTest : public ::testing::TestWithParam<STraceCase> {};

TEST_P(TraceAccuracyTest, FollowsTheTrueOutlineInTheDocumentedOrder) {
    const SScene& scene = GetParam().scene;
    const CTraceResult result = TraceValves(scene.Draw(), {});
    ASSERT_EQ(result.valves.size(), 1u) << result.failure;
    const CTracedValve& valve = result.valves[0];
    const Polygon& truth = scene.valves[0];
    EXPECT_LT(MeanDistance(valve.outline, truth), 0.25);
    EXPECT_NEAR(valve.area / std::fabs(raster::Area(truth)), 1.0, 0.005);
    ExpectDocumentedOrder(valve.outline);
    EXPECT_FALSE(valve.touchesBorder);
    const auto noted = [&](const char* text) {
        return std::any_of(result.notes.begin(), result.notes.end(),
                           [&](const std::string& n) { return n.find(text) != std::string::npos; });
    };
    EXPECT_EQ(noted("specks smaller than"), scene.dust);
    EXPECT_EQ(noted("(a scale bar)"), scene.scaleBar);
}

SScene Scene(std::initializer_list<ValveShape> shapes, int samples = 6000) {
    SScene s;
    for (const ValveShape& v : shapes)
        s.valves.push_back(raster::ValvePolygon(v, samples));
    return s;
}

SScene With(SScene s, auto change) {
    change(s);
    return s;
}

const SScene kValve = Scene({Valve(160.3, 100.7)});

INSTANTIATE_TEST_SUITE_P(
    Images, TraceAccuracyTest,
    ::testing::Values(
        STraceCase{"AntiAliased", kValve},
        STraceCase{"Blurred", With(kValve, [](SScene& s) { s.blur = 1.2; })},
        STraceCase{"Noisy", With(kValve, [](SScene& s) { s.noise = 6.0; })},
        STraceCase{"DustAndScaleBar", With(kValve, [](SScene& s) { s.dust = s.scaleBar = true; })},
        STraceCase{"LightGradient", With(kValve, [](SScene& s) { s.gradient = 40.0; s.ground = 195.0; })},
        STraceCase{"Everything", With(kValve, [](SScene& s) {
                       s.blur = 1.0, s.noise = 5.0, s.gradient = 30.0, s.dust = s.scaleBar = true;
                   })},
        STraceCase{"LightOnDark", With(kValve, [](SScene& s) { s.ground = 25.0, s.valve = 230.0, s.noise = 4.0; })},
        STraceCase{"SixteenBit", With(kValve, [](SScene& s) { s.bitDepth = 16, s.noise = 3.0; })},
        STraceCase{"SmallValve", With(Scene({Valve(61.2, 44.6, 60.0)}), [](SScene& s) { s.width = 120, s.height = 90; })},
        STraceCase{"LongAndTilted", Scene({Valve(158.8, 110.1, 240.0, 0.4)})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TraceValves, SameImageSameOutlineAndWholePixelShiftsShiftIt) {
    const CGreyImage image = With(kValve, [](SScene& s) { s.noise = 5.0; }).Draw();
    const CTraceResult first = TraceValves(image, {});
    ASSERT_EQ(first.valves.size(), 1u);
    EXPECT_EQ(TraceValves(image, {}).valves[0].outline, first.valves[0].outline);

    // The same pixels 13 to the right and 7 down in a larger image of the same ground.
    CGreyImage shifted;
    shifted.width = image.width + 40;
    shifted.height = image.height + 20;
    shifted.levels.assign(static_cast<std::size_t>(shifted.PixelCount()), 220);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            shifted.levels[static_cast<std::size_t>(y + 7) * shifted.width + x + 13] = image.Level(x, y);
    CTraceOptions options;
    options.threshold = first.threshold;
    const CTraceResult moved = TraceValves(shifted, options);
    ASSERT_EQ(moved.valves.size(), 1u);
    const std::vector<FPoint>& a = first.valves[0].outline;
    const std::vector<FPoint>& b = moved.valves[0].outline;
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(b[i].x, a[i].x + 13, 1e-3) << i;
        EXPECT_NEAR(b[i].y, a[i].y + 7, 1e-3) << i;
    }
}

// A binary image, ground 255, with the listed pixels at 0.
CGreyImage Binary(int width, int height, const std::vector<std::pair<int, int>>& dark) {
    CGreyImage image;
    image.width = width;
    image.height = height;
    image.levels.assign(static_cast<std::size_t>(width) * height, 255);
    for (const auto& [x, y] : dark)
        image.levels[static_cast<std::size_t>(y) * width + x] = 0;
    return image;
}

std::vector<std::pair<int, int>> Block(int left, int top, int size) {
    std::vector<std::pair<int, int>> pixels;
    for (int y = top; y < top + size; ++y)
        for (int x = left; x < left + size; ++x)
            pixels.push_back({x, y});
    return pixels;
}

// Binary images put every boundary point halfway between pixel centres: the enclosed area is
// the pixel count, less 1/8 per convex corner, plus 1/8 per concave one, plus 1/2 where two
// pixels meet only at a corner.
TEST(TraceValves, OnePixelSpurIsAThinPartOfTheOutlineOrOpenedAway) {
    std::vector<std::pair<int, int>> pixels = Block(10, 10, 20);
    for (int x = 30; x < 45; ++x)
        pixels.push_back({x, 20});
    const CGreyImage image = Binary(60, 40, pixels);
    const CTraceResult spur = TraceValves(image, {});
    ASSERT_EQ(spur.valves.size(), 1u);
    EXPECT_NEAR(spur.valves[0].area, 415.0 - 4 * 0.125 - 2 * 0.125 + 2 * 0.125, 1e-9);
    const auto right = [](const CTracedValve& v) {
        return std::max_element(v.outline.begin(), v.outline.end(),
                                [](FPoint a, FPoint b) { return a.x < b.x; })->x;
    };
    EXPECT_FLOAT_EQ(right(spur.valves[0]), 45.0f);
    ExpectDocumentedOrder(spur.valves[0].outline);

    CTraceOptions open;
    open.openingRadius = 1;
    const CTraceResult opened = TraceValves(image, open);
    ASSERT_EQ(opened.valves.size(), 1u);
    // Of the spur only the pixel next to the block stays: the disk around the block's pixel
    // beside it fits into block and spur.
    EXPECT_FLOAT_EQ(right(opened.valves[0]), 31.0f);
}

TEST(TraceValves, DiagonalJointsKeepOneOutline) {
    // Two blocks meeting at one corner, and a staircase one pixel wide leaving the second.
    std::vector<std::pair<int, int>> pixels = Block(5, 5, 10);
    const auto second = Block(15, 15, 10);
    pixels.insert(pixels.end(), second.begin(), second.end());
    const CTraceResult joined = TraceValves(Binary(40, 40, pixels), {});
    ASSERT_EQ(joined.valves.size(), 1u);
    EXPECT_NEAR(joined.valves[0].area, 2 * (100.0 - 4 * 0.125) + 0.5, 1e-9);
    EXPECT_EQ(joined.valves[0].outline.size(), 80u);
    ExpectDocumentedOrder(joined.valves[0].outline);

    for (int i = 0; i < 8; ++i)
        pixels.push_back({25 + i, 25 + i});
    const CTraceResult stair = TraceValves(Binary(40, 40, pixels), {});
    ASSERT_EQ(stair.valves.size(), 1u);
    EXPECT_NEAR(stair.valves[0].area,
                2 * (100.0 - 4 * 0.125) + 0.5 + 8 * (1.0 - 4 * 0.125) + 8 * 0.5, 1e-9);
    ExpectDocumentedOrder(stair.valves[0].outline);
}

TEST(TraceValves, SeveralValvesInReadingOrderWithTheBorderReported) {
    SScene scene = Scene({Valve(580, 104, 150), Valve(120, 96, 150), Valve(352, 110, 140),
                          Valve(480, 286, 160), Valve(30, 292, 150), Valve(215, 280, 150)},
                         2000);
    scene.width = 700;
    scene.height = 400;
    scene.noise = 4.0;
    const CTraceResult result = TraceValves(scene.Draw(), {});
    ASSERT_EQ(result.valves.size(), 6u) << result.failure;
    // Rows from the top, each from left to right: the true valves' order.
    const int order[] = {1, 2, 0, 4, 5, 3};
    for (int i = 0; i < 6; ++i) {
        const Polygon& truth = scene.valves[static_cast<std::size_t>(order[i])];
        const CTracedValve& valve = result.valves[static_cast<std::size_t>(i)];
        EXPECT_LT(MeanDistance(valve.outline, truth), 0.25) << i;
        EXPECT_EQ(valve.touchesBorder, order[i] == 4) << i;
        ExpectDocumentedOrder(valve.outline);
    }
    EXPECT_NE(std::find(result.notes.begin(), result.notes.end(),
                        "valve 4 touches the image border; its outline runs along it there"),
              result.notes.end());
}

struct SEmptyCase {
    const char* name;
    CGreyImage image;
    const char* why;
    friend void PrintTo(const SEmptyCase& c, std::ostream* os) { *os << c.name; }
};

class TraceNothingTest : public ::testing::TestWithParam<SEmptyCase> {};

TEST_P(TraceNothingTest, SaysWhyAndFindsNoValve) {
    const CTraceResult result = TraceValves(GetParam().image, {});
    EXPECT_TRUE(result.valves.empty());
    EXPECT_NE(result.failure.find(GetParam().why), std::string::npos) << result.failure;
}

CGreyImage Filled(int width, int height, int level, int bitDepth = 8) {
    CGreyImage image;
    image.width = width;
    image.height = height;
    image.bitDepth = bitDepth;
    image.levels.assign(static_cast<std::size_t>(std::max(0, width)) * std::max(0, height),
                        static_cast<std::uint16_t>(level));
    return image;
}

CGreyImage Noise(int width, int height, bool binary) {
    CGreyImage image = Filled(width, height, 0);
    std::mt19937 engine(23);
    std::normal_distribution<double> normal(128.0, 20.0);
    for (std::uint16_t& v : image.levels)
        v = static_cast<std::uint16_t>(binary ? (engine() & 1) * 255
                                              : std::clamp(std::lround(normal(engine)), 0L, 255L));
    return image;
}

SScene Ground() {
    SScene s;
    s.width = 400;
    s.height = 300;
    return s;
}

CGreyImage Unsized(int width, int height) {
    CGreyImage image;
    image.width = width;
    image.height = height;
    return image;
}

INSTANTIATE_TEST_SUITE_P(
    Images, TraceNothingTest,
    ::testing::Values(
        SEmptyCase{"Blank", Filled(300, 200, 235), "single grey level (235)"},
        SEmptyCase{"AllBlack", Filled(300, 200, 0), "single grey level (0)"},
        SEmptyCase{"GaussianNoise", Noise(400, 300, false), "(the ground, or noise)"},
        SEmptyCase{"SaltAndPepper", Noise(400, 300, true), "(the ground, or noise)"},
        SEmptyCase{"DustOnly", With(Ground(), [](SScene& s) { s.dust = true; }).Draw(), "specks smaller than 120 pixels"},
        SEmptyCase{"ScaleBarOnly", With(Ground(), [](SScene& s) { s.scaleBar = true; }).Draw(), "(a scale bar)"},
        SEmptyCase{"NoPixels", Filled(0, 10, 0), "the image has no pixels"},
        SEmptyCase{"LevelsMissing", Unsized(20, 10), "do not match its size"},
        SEmptyCase{"EightBitAbove255", Filled(4, 4, 300), "level above 255"},
        SEmptyCase{"TwelveBit", Filled(4, 4, 0, 12), "12 bits"},
        SEmptyCase{"Huge", Unsized(20000, 10001), "more than the 200 million"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TraceValves, OptionsSetTheSpeckSizePolarityPointsAndSmoothing) {
    const SScene scene = With(kValve, [](SScene& s) { s.noise = 3.0; });
    const CGreyImage image = scene.Draw();
    const CTracedValve plain = TraceValves(image, {}).valves.at(0);

    CTraceOptions options;
    options.minArea = static_cast<std::int64_t>(plain.pixelArea) + 1;
    EXPECT_NE(TraceValves(image, options).failure.find("1 speck smaller than"), std::string::npos);

    options = {};
    options.polarity = EValvePolarity::Light;
    EXPECT_NE(TraceValves(image, options).failure.find("no light valve"), std::string::npos);

    // Equally spaced points from the same start: chords no longer than the arc between them.
    options = {};
    options.points = 64;
    const CTracedValve resampled = TraceValves(image, options).valves.at(0);
    ASSERT_EQ(resampled.outline.size(), 64u);
    EXPECT_EQ(resampled.outline.front(), plain.outline.front());
    const double step = plain.perimeter / 64;
    for (std::size_t i = 0; i < 64; ++i) {
        const FPoint d = resampled.outline[(i + 1) % 64] - resampled.outline[i];
        EXPECT_LE(d.Length(), step * (1 + 1e-5));
        EXPECT_GE(d.Length(), step * 0.97);
    }

    options = {};
    options.smoothing = 2;
    const CTracedValve smooth = TraceValves(image, options).valves.at(0);
    EXPECT_NE(smooth.outline, plain.outline);
    EXPECT_LT(MeanDistance(smooth.outline, scene.valves[0]), 0.25);
    ExpectDocumentedOrder(smooth.outline);
}

} // namespace
