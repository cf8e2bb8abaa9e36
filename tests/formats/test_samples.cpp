// The bundled sample files: each is read by the reader of its format, with the expected
// specimens and names, its scale applied, and statistics that fit the outline. Reference values
// come from the files themselves and from double-precision polygon moments.
#include "formats/specimen_file.h"
#include "model/specimen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string SamplePath(const std::string& name) {
    return std::string(CARINOVA_SAMPLES_DIR) + "/" + name;
}

// Every sample reads completely: nothing skipped or changed.
std::vector<std::unique_ptr<CSpecimen>> ReadAll(const std::string& path) {
    CSpecimenFile file = ReadSpecimenFile(path);
    EXPECT_EQ(file.Outcome(), CSpecimenFile::EOutcome::Complete) << file.Summary(path);
    return std::move(file.specimens);
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

struct SRawBlock {
    std::vector<FPoint> points;
    double scale = 1.0;
};

// The "POINTS=" blocks of a TPS or simple file, each with the "SCALE=" that follows it.
std::vector<SRawBlock> RawBlocks(const std::string& path) {
    const std::vector<std::string> lines = ReadLines(path);
    std::vector<SRawBlock> blocks;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("POINTS=", 0) == 0) {
            blocks.emplace_back();
            const std::size_t n = std::stoul(lines[i].substr(7));
            for (std::size_t k = 1; k <= n && i + k < lines.size(); ++k) {
                std::istringstream in(lines[i + k]);
                double x = 0.0, y = 0.0;
                in >> x >> y;
                blocks.back().points.emplace_back(static_cast<float>(x), static_cast<float>(y));
            }
        } else if (lines[i].rfind("SCALE=", 0) == 0 && !blocks.empty()) {
            blocks.back().scale = std::stod(lines[i].substr(6));
        }
    }
    return blocks;
}

// The contour equals the expected points in file order or, when the reader turned the outline
// round to run counter-clockwise, in reverse order.
void ExpectSamePoints(const std::vector<FPoint>& contour, std::vector<FPoint> expected,
                      double tolerance) {
    ASSERT_EQ(contour.size(), expected.size());
    if (std::hypot(contour.front().x - expected.front().x, contour.front().y - expected.front().y) >
        tolerance) {
        std::reverse(expected.begin(), expected.end());
    }
    for (std::size_t i = 0; i < contour.size(); ++i) {
        EXPECT_NEAR(contour[i].x, expected[i].x, tolerance) << "point " << i;
        EXPECT_NEAR(contour[i].y, expected[i].y, tolerance) << "point " << i;
    }
}

// Area, centroid and central second moments of the closed polygon, in double precision
// (Green's theorem, coordinates taken relative to the first point for accuracy).
struct SMoments {
    double area = 0.0, cx = 0.0, cy = 0.0, ixx = 0.0, iyy = 0.0, ixy = 0.0;
};

SMoments PolygonMoments(const std::vector<FPoint>& p) {
    SMoments m;
    const double ox = p.front().x, oy = p.front().y;
    double sx = 0.0, sy = 0.0, sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const double x0 = p[i].x - ox, y0 = p[i].y - oy;
        const double x1 = p[(i + 1) % p.size()].x - ox, y1 = p[(i + 1) % p.size()].y - oy;
        const double c = x0 * y1 - x1 * y0;
        m.area += c / 2.0;
        sx += (x0 + x1) * c / 6.0;
        sy += (y0 + y1) * c / 6.0;
        sxx += (x0 * x0 + x0 * x1 + x1 * x1) * c / 12.0;
        syy += (y0 * y0 + y0 * y1 + y1 * y1) * c / 12.0;
        sxy += (x0 * y1 + 2.0 * x0 * y0 + 2.0 * x1 * y1 + x1 * y0) * c / 24.0;
    }
    const double gx = sx / m.area, gy = sy / m.area;
    m.cx = gx + ox;
    m.cy = gy + oy;
    m.ixx = sxx - m.area * gx * gx;
    m.iyy = syy - m.area * gy * gy;
    m.ixy = sxy - m.area * gx * gy;
    return m;
}

struct SSampleFile {
    const char* file;
    const char* fileType;
    std::size_t specimens;
    std::size_t minPoints;
    const char* names = nullptr; // specimens named after themselves: the stem, then A, B, ...
};

void PrintTo(const SSampleFile& sample, std::ostream* out) {
    *out << sample.file;
}

class SampleFileTest : public ::testing::TestWithParam<SSampleFile> {};

TEST_P(SampleFileTest, ReadsEverySpecimenWithItsName) {
    const SSampleFile& sample = GetParam();
    const auto specimens = ReadAll(SamplePath(sample.file));
    ASSERT_EQ(specimens.size(), sample.specimens);
    for (std::size_t i = 0; i < specimens.size(); ++i) {
        const std::string suffix = i == 0 ? "" : " (" + std::to_string(i + 1) + ")";
        const std::string own = sample.names ? sample.names + std::string(1, 'A' + i) : "";
        EXPECT_EQ(specimens[i]->ShortPathName, sample.names ? own : sample.file + suffix);
        EXPECT_EQ(specimens[i]->PathName, SamplePath(sample.file));
        EXPECT_EQ(specimens[i]->FileType, sample.fileType);
        EXPECT_GE(specimens[i]->Contour.size(), sample.minPoints);
    }
}

TEST_P(SampleFileTest, StatisticsFitTheOutline) {
    for (const auto& specimen : ReadAll(SamplePath(GetParam().file))) {
        SCOPED_TRACE(specimen->ShortPathName);
        const std::vector<FPoint>& contour = specimen->Contour;
        const SMoments m = PolygonMoments(contour);
        ASSERT_GT(m.area, 0.0) << "the contour is stored counter-clockwise";
        // The open sum leaves out the small triangle at the seam.
        EXPECT_GT(specimen->GetArea(), 0.0f);
        EXPECT_NEAR(specimen->GetArea(), m.area, 0.02 * m.area);

        const auto [minX, maxX] = std::minmax_element(contour.begin(), contour.end(),
                                                      [](FPoint a, FPoint b) { return a.x < b.x; });
        const auto [minY, maxY] = std::minmax_element(contour.begin(), contour.end(),
                                                      [](FPoint a, FPoint b) { return a.y < b.y; });
        EXPECT_GT(specimen->Centroid.x, minX->x);
        EXPECT_LT(specimen->Centroid.x, maxX->x);
        EXPECT_GT(specimen->Centroid.y, minY->y);
        EXPECT_LT(specimen->Centroid.y, maxY->y);
        const double scale = maxX->x - minX->x;
        EXPECT_NEAR(specimen->Centroid.x, m.cx, 1e-4 * scale);
        EXPECT_NEAR(specimen->Centroid.y, m.cy, 1e-4 * scale);

        // The valves lie almost level, so the first axis is their long axis.
        const double theta = 0.5 * std::atan2(2.0 * m.ixy, m.ixx - m.iyy);
        const FPoint e1 = specimen->FirstEigenvect;
        EXPECT_NEAR(e1.Length(), 1.0, 1e-5);
        EXPECT_GE(e1.x, 0.0f);
        EXPECT_NEAR(e1.x * std::sin(theta) - e1.y * std::cos(theta), 0.0, 1e-3);
        EXPECT_LT(std::fabs(e1.y), 0.2);
    }
}

TEST_P(SampleFileTest, HalvesShareOutTheContour) {
    for (const auto& specimen : ReadAll(SamplePath(GetParam().file))) {
        SCOPED_TRACE(specimen->ShortPathName);
        const int n = static_cast<int>(specimen->Contour.size());
        int crossings = 0;
        for (int i = 0; i < n; ++i) {
            crossings += specimen->IsUpperSide(i) != specimen->IsUpperSide((i + 1) % n) ? 1 : 0;
        }
        // Smooth valves cross their long axis once at each end.
        ASSERT_EQ(crossings, 2);

        const std::vector<FPoint>& upper = specimen->GetUpperHalf();
        const std::vector<FPoint>& lower = specimen->GetLowerHalf();
        ASSERT_FALSE(upper.empty());
        ASSERT_FALSE(lower.empty());
        for (const FPoint& p : upper) {
            EXPECT_GE(p.y, -1e-3f);
        }
        for (const FPoint& p : lower) {
            EXPECT_LT(p.y, 1e-3f);
        }
        EXPECT_GT(upper.front().x, upper.back().x) << "the dorsal half runs right to left";
        EXPECT_LT(lower.front().x, lower.back().x) << "the ventral half runs left to right";

        std::vector<FPoint> halves(upper);
        halves.insert(halves.end(), lower.begin(), lower.end());
        std::vector<FPoint> all;
        for (int i = 0; i < n; ++i) {
            all.push_back(specimen->GetTransformedPoint(i));
        }
        const auto byXy = [](FPoint a, FPoint b) { return a.x != b.x ? a.x < b.x : a.y < b.y; };
        std::sort(halves.begin(), halves.end(), byXy);
        std::sort(all.begin(), all.end(), byXy);
        EXPECT_EQ(halves, all) << "every contour point belongs to exactly one half";
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleFileTest,
                         ::testing::Values(SSampleFile{"valves.tps", "Thinplate Spline", 6, 200},
                                           SSampleFile{"valves.msd", "Morphosys", 2, 200},
                                           SSampleFile{"valves.txt", "Simple File Format", 2, 200},
                                           SSampleFile{"valves_curves.tps", "Thinplate Spline", 4,
                                                       100},
                                           SSampleFile{"valves.chc", "Chain Code", 3, 1000,
                                                       "valve_"},
                                           SSampleFile{"valves.nts", "NTSYS", 4, 120, "valve_"},
                                           SSampleFile{"valves_xy.csv", "XY List", 2, 150},
                                           SSampleFile{"valves_measurements.asc", "XY List", 1,
                                                       90}),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

TEST(SampleTpsFile, ContourIsThePointsTimesTheScale) {
    const std::string path = SamplePath("valves.tps");
    const auto specimens = ReadAll(path);
    const std::vector<SRawBlock> blocks = RawBlocks(path);
    ASSERT_EQ(specimens.size(), blocks.size());
    for (std::size_t s = 0; s < blocks.size(); ++s) {
        SCOPED_TRACE(specimens[s]->ShortPathName);
        EXPECT_TRUE(specimens[s]->ScaleSpecified);
        EXPECT_FLOAT_EQ(specimens[s]->ScaleFactor, static_cast<float>(blocks[s].scale));
        // Thousandths of the scale unit (here micrometres) per pixel.
        std::vector<FPoint> expected;
        for (const FPoint& p : blocks[s].points) {
            expected.emplace_back(static_cast<float>(p.x * blocks[s].scale * 1000.0),
                                  static_cast<float>(p.y * blocks[s].scale * 1000.0));
        }
        ExpectSamePoints(specimens[s]->Contour, expected, 1e-3);
    }
}

TEST(SampleSimpleFile, ContourIsThePixelList) {
    const std::string path = SamplePath("valves.txt");
    const auto specimens = ReadAll(path);
    const std::vector<SRawBlock> blocks = RawBlocks(path);
    ASSERT_EQ(specimens.size(), blocks.size());
    for (std::size_t s = 0; s < blocks.size(); ++s) {
        EXPECT_FALSE(specimens[s]->ScaleSpecified);
        ExpectSamePoints(specimens[s]->Contour, blocks[s].points, 0.0);
    }
}

// The chain of each specimen: the start line "x y n" and the number of code digits after it.
struct SChainHeader {
    int x = 0, y = 0, steps = 0, digits = 0;
};

std::vector<SChainHeader> ChainHeaders(const std::string& path) {
    const std::vector<std::string> lines = ReadLines(path);
    std::vector<SChainHeader> chains;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].rfind("C 1 :", 0) == 0) {
            SChainHeader h;
            std::istringstream(lines[i + 1]) >> h.x >> h.y >> h.steps;
            for (std::size_t k = i + 2; k < lines.size() && lines[k].rfind("F ", 0) != 0; ++k) {
                h.digits += static_cast<int>(std::count_if(
                    lines[k].begin(), lines[k].end(), [](char c) { return c >= '0' && c <= '3'; }));
            }
            chains.push_back(h);
        }
    }
    return chains;
}

TEST(SampleMorphosysFile, ContourIsAClosedScaledPixelChain) {
    const std::string path = SamplePath("valves.msd");
    const auto specimens = ReadAll(path);
    const std::vector<SChainHeader> chains = ChainHeaders(path);
    ASSERT_EQ(specimens.size(), chains.size());
    const float pixel = 1000.0f / 833.3333f; // the file's calibration: 0.0012 mm per pixel
    for (std::size_t s = 0; s < chains.size(); ++s) {
        SCOPED_TRACE(specimens[s]->ShortPathName);
        const CSpecimen& specimen = *specimens[s];
        EXPECT_TRUE(specimen.ScaleSpecified);
        EXPECT_FLOAT_EQ(specimen.ScaleFactor, pixel);
        EXPECT_EQ(chains[s].digits, chains[s].steps);
        ASSERT_EQ(specimen.Contour.size(), static_cast<std::size_t>(chains[s].steps) + 1);
        // Closed: the chain starts and ends on its start pixel, whichever way it is stored.
        EXPECT_EQ(specimen.Contour.front(), specimen.Contour.back());
        EXPECT_NEAR(specimen.Contour.front().x, chains[s].x * pixel, 1e-3);
        EXPECT_NEAR(specimen.Contour.front().y, chains[s].y * pixel, 1e-3);
        for (std::size_t i = 1; i < specimen.Contour.size(); ++i) {
            const float dx = std::fabs(specimen.Contour[i].x - specimen.Contour[i - 1].x);
            const float dy = std::fabs(specimen.Contour[i].y - specimen.Contour[i - 1].y);
            ASSERT_NEAR(dx + dy, pixel, 1e-3) << "step " << i << " is one pixel";
            ASSERT_TRUE(dx < 1e-3f || dy < 1e-3f) << "step " << i << " is along one axis";
        }
    }
}

} // namespace
