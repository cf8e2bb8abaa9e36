#include "formats/reader_test_support.h"
#include "hostile_road.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

using namespace std::string_literals;

namespace {

struct SHostileCase {
    const char* name;
    const char* fileName;
    std::string content;
    std::size_t specimens;
    const char* points = nullptr; // the first specimen's contour, when it is checked
};

std::string Tps(const std::string& pointLines, int count, const std::string& trailer = "") {
    return "LM=0\nOUTLINES=1\nPOINTS=" + std::to_string(count) + "\n" + pointLines + trailer;
}

std::string Msd(const std::string& scale, const std::string& start, const std::string& chain) {
    return "F 1 valve\nimage.tif\n" + scale + "\nC 1 : outline\n" + start + "\n" + chain;
}

const std::string kSquare = "0 0\n4 0\n4 4\n0 4\n";

class HostileOutlineTest : public ::testing::TestWithParam<SHostileCase> {};

// Each file ends in the specimens that can be read and a clean end for the rest; nothing the
// document then stores or computes from them, up to the cluster tables, is NaN.
TEST_P(HostileOutlineTest, ReadsWhatCanBeReadAndStoresNoNaN) {
    const SHostileCase& c = GetParam();
    CScratchFolder folder;
    CHostileRoad road;
    ASSERT_EQ(road.Insert(folder.Write(c.fileName, c.content)), c.specimens);
    if (c.points) {
        EXPECT_EQ(PointsText(road.Doc().GetSpecimenList()[0]->GetSpecimen()->Contour), c.points);
    }
    road.ApproximateAndCluster();
    road.ExpectNoNaN();
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileOutlineTest,
    ::testing::Values(
        // A coordinate that is no finite number counts as no number: the previous point.
        SHostileCase{"TpsNaN", "a.tps", Tps("0 0\n4 0\nnan 4\n0 4\n", 4), 1,
                     "(0 0)(4 0)(4 0)(0 4)"},
        SHostileCase{"TpsInfinity", "a.tps", Tps("0 0\n4 0\n-inf 4\n0 4\n", 4), 1,
                     "(0 0)(4 0)(4 0)(0 4)"},
        SHostileCase{"TpsNulInPointLine", "a.tps", Tps("0 0\n4 0\n4\0 4\n0 4\n"s, 4), 1,
                     "(0 0)(4 0)(4 0)(0 4)"},
        // A scale that is no finite number is ignored; one that overflows the points fails.
        SHostileCase{"TpsNaNScale", "a.tps", Tps("0 0\n4 0\n4 4\n", 3, "SCALE=nan\n"), 1,
                     "(0 0)(4 0)(4 4)"},
        SHostileCase{"TpsScaleOverflows", "a.tps", Tps("0 0\n1e30 0\n0 1e30\n", 3, "SCALE=1e30\n"),
                     0},
        // Beyond what a document keeps: refused with a note.
        SHostileCase{"TpsNearFloatLimit", "a.tps", Tps("0 0\n1e38 0\n1e38 1e38\n0 1e38\n", 4), 0},
        SHostileCase{"TpsTinyCoordinates", "a.tps", Tps("0 0\n1e-38 0\n1e-38 1e-38\n0 1e-38\n", 4),
                     1},
        SHostileCase{"TpsAllPointsEqual", "a.tps", Tps("3 3\n3 3\n3 3\n3 3\n3 3\n", 5), 1},
        SHostileCase{"TpsTwoPoints", "a.tps", Tps("0 0\n9 1\n", 2), 1},
        SHostileCase{"TpsSelfIntersecting", "a.tps", Tps("0 0\n4 4\n8 0\n8 4\n4 0\n0 4\n", 6), 1},
        // Fewer points than lines: the extra line is no keyword and ends the file. Two points
        // enclose no area, so they are stored reversed.
        SHostileCase{"TpsCountTooLow", "a.tps", Tps(kSquare, 2), 1, "(4 0)(0 0)"},
        // Carriage returns alone end lines, as old Macintosh programs wrote them.
        SHostileCase{"TpsCarriageReturnsOnly", "a.tps", "LM=0\rOUTLINES=1\rPOINTS=1\r1 2\r", 1,
                     "(1 2)"},
        // A calibration that gives no finite factor is ignored.
        SHostileCase{"MsdZeroMillimetres", "a.msd", Msd("1 1 0 0 'mm'", "0 0 2", "01\n"), 1,
                     "(0 0)(1 0)(1 1)"},
        SHostileCase{"MsdNaNMillimetres", "a.msd", Msd("1 1 nan nan 'mm'", "0 0 2", "01\n"), 1,
                     "(0 0)(1 0)(1 1)"},
        SHostileCase{"MsdScaledPositionOverflows", "a.msd",
                     Msd("1 1 1e-30 1e-30 'mm'", "2000000000 0 1", "0\n"), 0},
        SHostileCase{"MsdCarriageReturnsOnly", "a.msd",
                     "F 1 v\rimage\r1 1 1 1 'mm'\rC 1 : o\r0 0 1\r0\r", 1},
        SHostileCase{"MsdAllStepsUndone", "a.msd", Msd("x", "5 5 4", "0213\n"), 1},
        SHostileCase{"SimpleHugeCoordinates", "a.txt", "POINTS=4\n0 0\n1e38 0\n1e38 1e38\n0 inf\n",
                     1},
        SHostileCase{"SimpleCountTooLow", "a.txt", "POINTS=2\n" + kSquare, 1, "(4 0)(0 0)"},
        SHostileCase{"SimpleCarriageReturnsOnly", "a.txt", "POINTS=2\r0 0\r4 4\r", 1}),
    [](const auto& info) { return std::string(info.param.name); });

std::string ReadSample(const char* name) {
    std::ifstream in(std::string(CARINOVA_SAMPLES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class TruncatedSampleTest : public ::testing::TestWithParam<const char*> {};

// Where a sample is cut: at every line start, in the middle of every line, and every 53 bytes.
std::vector<std::size_t> CutPlaces(const std::string& text) {
    std::vector<std::size_t> cuts;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        cuts.push_back(start);
        cuts.push_back(start + (end - start) / 2);
        start = end + 1;
    }
    for (std::size_t at = 0; at < text.size(); at += 53)
        cuts.push_back(at);
    return cuts;
}

// A sample cut anywhere: the specimens read are never more than the whole file has and, but
// for the last, are the whole file's specimens.
TEST_P(TruncatedSampleTest, EveryCutGivesAPrefixOfTheSpecimens) {
    const std::string text = ReadSample(GetParam());
    ASSERT_FALSE(text.empty());
    const SpecimenList whole = ReadText(text, GetParam()).specimens;
    ASSERT_GE(whole.size(), 2u);
    const std::vector<std::size_t> cuts = CutPlaces(text);
    for (const std::size_t cut : cuts) {
        const SpecimenList part = ReadText(text.substr(0, cut), GetParam()).specimens;
        ASSERT_LE(part.size(), whole.size()) << "cut at " << cut;
        for (std::size_t i = 0; i + 1 < part.size(); ++i)
            ASSERT_EQ(PointsText(part[i]->Contour), PointsText(whole[i]->Contour))
                << "cut at " << cut << ", specimen " << i;
        for (const auto& specimen : part)
            for (const FPoint& p : specimen->Contour)
                ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << "cut at " << cut;
    }
    EXPECT_GT(cuts.size(), 100u);
}

INSTANTIATE_TEST_SUITE_P(Samples, TruncatedSampleTest,
                         ::testing::Values("valves.tps", "valves.msd", "valves.txt",
                                           "valves_curves.tps", "valves.chc", "valves.nts",
                                           "valves_xy.csv"),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '.')
                                     c = '_';
                             return name;
                         });

} // namespace
