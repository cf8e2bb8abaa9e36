// The real outline files of other programs (read where the folder is present): which reader
// takes each, how many specimens of how many points it gives, what it says about them, and
// that every specimen then fits and clusters. The counts come from the files' descriptions
// and from reading them by eye, not from the readers.
#include "formats/reader_test_support.h"
#include "formats/tps_writer.h"
#include "robustness/hostile_road.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

struct SRealFile {
    const char* name;
    const char* format;
    std::vector<std::size_t> points; // of each specimen, in order; 0: any of 91 to 95
    CSpecimenFile::EOutcome outcome;
    int normalize = CClusterParameter::NormalizeArea;
    friend void PrintTo(const SRealFile& c, std::ostream* os) { *os << c.name; }
};

std::string PathOf(const char* name) {
    return (fs::path(CARINOVA_REAL_DATA_DIR) / name).string();
}

class RealFileTest : public ::testing::TestWithParam<SRealFile> {
protected:
    void SetUp() override {
        if (!fs::is_regular_file(PathOf(GetParam().name)))
            GTEST_SKIP() << GetParam().name << " is not present";
    }
};

TEST_P(RealFileTest, GivesTheExpectedSpecimensAndPoints) {
    const SRealFile& c = GetParam();
    const CSpecimenFile file = ReadSpecimenFile(PathOf(c.name));
    EXPECT_EQ(file.format, c.format);
    EXPECT_EQ(file.Outcome(), c.outcome) << file.Summary(c.name);
    ASSERT_EQ(file.specimens.size(), c.points.size()) << file.Summary(c.name);
    for (std::size_t i = 0; i < c.points.size(); ++i) {
        const std::size_t n = file.specimens[i]->Contour.size();
        if (c.points[i] == 0) {
            EXPECT_GE(n, 91u);
            EXPECT_LE(n, 95u);
        } else {
            EXPECT_EQ(n, c.points[i]) << "specimen " << i + 1;
        }
    }
}

// Through the document as the desktop program inserts it, one report for the file; then
// every specimen is approximated, clustered and compared, with no message and no NaN.
TEST_P(RealFileTest, FitsAndClustersWithoutError) {
    CHostileRoad road;
    road.SetNormalize(GetParam().normalize);
    ASSERT_EQ(road.Insert(PathOf(GetParam().name)), GetParam().points.size());
    ASSERT_EQ(road.Ui().messages.size(), 1u);
    EXPECT_EQ(road.Ui().messages[0].text.rfind(GetParam().name, 0), 0u);
    road.ApproximateAndCluster();
    EXPECT_EQ(road.Ui().messages.size(), 1u) << road.Ui().messages.back().text;
    EXPECT_EQ(road.Doc().GetClusterList().size(), GetParam().points.size() + 1);
    road.ExpectNoNaN();
}

using EOutcome = CSpecimenFile::EOutcome;

std::vector<std::size_t> Repeated(std::size_t count, std::size_t points) {
    return std::vector<std::size_t>(count, points);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RealFileTest,
    ::testing::Values(
        SRealFile{"momitvb_allrapanui.tps", "TPS", Repeated(119, 200), EOutcome::Complete},
        SRealFile{"momocs_outlines.tps", "TPS", Repeated(2, 200), EOutcome::Complete},
        SRealFile{"momit_AE_data1.tps", "TPS", {0, 0}, EOutcome::Complete},
        SRealFile{"momit_JC_data.TPS", "TPS", Repeated(3, 64), EOutcome::Complete},
        SRealFile{"momitvb_fish_bones.chc", "chain code", {1538, 1419}, EOutcome::Complete},
        // Outlines scaled to about unit length enclose less than one square unit, which the
        // area normalisation refuses: these cluster by centroid size.
        SRealFile{"momit_RohlfArchieWingOutlines.nts", "NTSYS", Repeated(126, 100),
                  EOutcome::Partial, CClusterParameter::NormalizeCentroidSize},
        // A blank line, the header, then 64 rows (the file's 66 lines).
        SRealFile{"momitvb_Optimas_um1_karnimata_7714.asc", "x-y list", {64}, EOutcome::Complete},
        SRealFile{"chitwood_300_AHMEUR_BOU_AHMEUR_ID01_blade.txt", "x-y list", {216},
                  EOutcome::Complete},
        SRealFile{"chitwood_example_leaf_blade.txt", "x-y list", {331}, EOutcome::Complete}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

CSpecimenFile ReadRealOrSkip(const char* name, bool& present) {
    present = fs::is_regular_file(PathOf(name));
    return present ? ReadSpecimenFile(PathOf(name)) : CSpecimenFile();
}

#define READ_REAL_OR_SKIP(file, name)                                                              \
    bool present = false;                                                                          \
    const CSpecimenFile file = ReadRealOrSkip(name, present);                                      \
    if (!present)                                                                                  \
    GTEST_SKIP() << name << " is not present"

TEST(RealFileTest, RapaNuiOutlinesHaveNamesImagesAndPoints) {
    READ_REAL_OR_SKIP(file, "momitvb_allrapanui.tps");
    const auto& list = file.specimens;
    ASSERT_EQ(list.size(), 119u);
    EXPECT_EQ(list[0]->ShortPathName, "momitvb_allrapanui.tps");
    EXPECT_EQ(list[1]->ShortPathName, "momitvb_allrapanui.tps (2)");
    EXPECT_EQ(list[118]->ShortPathName, "momitvb_allrapanui.tps (119)");
    for (const auto& specimen : list) {
        EXPECT_EQ(specimen->FileType, "Thinplate Spline");
        EXPECT_FALSE(specimen->ScaleSpecified);
        EXPECT_EQ(specimen->ImageFile.find('\r'), std::string::npos);
    }
    EXPECT_EQ(list[0]->ImageFile, "20070718-DSC_1663_877016399_oSILOorito.jpg");
    EXPECT_EQ(list[1]->ImageFile, "20070718-DSC_1665_877017785_oSILOorito.jpg");
    // The file's first point "592 1494" stays at one end, whichever way the outline runs.
    const FPoint first(592, 1494);
    EXPECT_TRUE(list[0]->Contour.front() == first || list[0]->Contour.back() == first);
    EXPECT_EQ(file.Summary("allrapanui.tps"), "allrapanui.tps: 119 specimens (TPS)");
}

// The faults once found in the largest real file: a lower-case keyword in specimen 10 and the
// file cut at half. Every specimen that is there is read; what is missing is named.
TEST(RealFileTest, DamagedAndCutRealFileKeepsEveryWholeSpecimen) {
    READ_REAL_OR_SKIP(file, "momitvb_allrapanui.tps");
    std::ifstream in(PathOf("momitvb_allrapanui.tps"), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    // Each specimen takes 204 lines: LM, OUTLINES, POINTS, 200 points, IMAGE.
    std::size_t tenth = 0;
    for (int line = 0; line < 9 * 204 + 203; ++line)
        tenth = text.find('\n', tenth) + 1;
    const CSpecimenFile lower =
        ReadText(text.substr(0, tenth) + "id=oops\r\n" + text.substr(tenth), "r.tps");
    ASSERT_EQ(lower.specimens.size(), 119u);
    EXPECT_EQ(lower.specimens[9]->Identifier, "oops");
    EXPECT_EQ(lower.Outcome(), CSpecimenFile::EOutcome::Complete);

    const CSpecimenFile half = ReadText(text.substr(0, text.size() / 2), "r.tps");
    // 243,315 bytes, about 2,045 a specimen: the half ends inside the points of specimen 60.
    EXPECT_EQ(half.specimens.size(), 59u);
    EXPECT_EQ(half.Outcome(), CSpecimenFile::EOutcome::Partial);
    EXPECT_EQ(ProblemsOf(half).size(), 1u);
    EXPECT_NE(half.Summary("r.tps").find("r.tps (60) skipped: the file ends after"),
              std::string::npos);
}

TEST(RealFileTest, FirstTwoSpecimensAgreeWithTheLargerFile) {
    READ_REAL_OR_SKIP(small, "momocs_outlines.tps");
    const CSpecimenFile large = ReadSpecimenFile(PathOf("momitvb_allrapanui.tps"));
    ASSERT_EQ(small.specimens.size(), 2u);
    ASSERT_GE(large.specimens.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(PointsText(small.specimens[i]->Contour), PointsText(large.specimens[i]->Contour));
        EXPECT_EQ(small.specimens[i]->ImageFile, large.specimens[i]->ImageFile);
    }
}

// Twelve landmarks, then four curves of 15, 30, 20 and 30 points that close the outline.
TEST(RealFileTest, TpsDigCurvesAreJoinedAndLandmarksKept) {
    READ_REAL_OR_SKIP(file, "momit_AE_data1.tps");
    EXPECT_EQ(file.Summary("AE.tps"), "AE.tps: 2 specimens (TPS); 2 outlines joined from 4 "
                                      "curves each; 12 landmarks kept with each of 2 specimens");
    ASSERT_EQ(file.specimens.size(), 2u);
    const CSpecimen& first = *file.specimens[0];
    EXPECT_EQ(first.Identifier, "0"); // "ID=0 " with its trailing blank
    EXPECT_EQ(first.ImageFile, "nhm-11684R-4.jpg");
    EXPECT_FLOAT_EQ(first.ScaleFactor, 0.00389f);
    ASSERT_EQ(first.Landmarks.size(), 12u);
    // The first landmark "1404.00000 707.00000" times 1000 times the scale.
    const float factor = static_cast<float>(0.00389f * 1000.0);
    EXPECT_FLOAT_EQ(first.Landmarks[0].x, 1404.0f * factor);
    EXPECT_FLOAT_EQ(first.Landmarks[0].y, 707.0f * factor);
    EXPECT_EQ(file.specimens[1]->Identifier, "2");
    EXPECT_FLOAT_EQ(file.specimens[1]->ScaleFactor, 0.003662f);
}

// Every specimen of the real TPS files exported and read again: the same outline, landmarks,
// texts and scale, though their coordinates were scaled by float factors both ways.
class RealTpsExportTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RealTpsExportTest, EverySpecimenComesBackAsItWasRead) {
    READ_REAL_OR_SKIP(file, GetParam());
    ASSERT_FALSE(file.specimens.empty());
    CScratchFolder folder;
    for (const auto& specimen : file.specimens) {
        const std::filesystem::path path = folder.Path() / "export.tps";
        std::string error;
        ASSERT_TRUE(WriteSpecimenAsTps(*specimen, path, error)) << error;
        const CSpecimenFile again = ReadSpecimenFile(path.string());
        ASSERT_EQ(again.specimens.size(), 1u) << specimen->ShortPathName;
        const CSpecimen& back = *again.specimens[0];
        EXPECT_EQ(PointsText(back.Contour), PointsText(specimen->Contour)) << specimen->ShortPathName;
        EXPECT_EQ(PointsText(back.Landmarks), PointsText(specimen->Landmarks));
        EXPECT_EQ(back.ImageFile, specimen->ImageFile);
        EXPECT_EQ(back.Identifier, specimen->Identifier);
        EXPECT_EQ(back.Comment, specimen->Comment);
        EXPECT_EQ(back.ScaleSpecified, specimen->ScaleSpecified);
        EXPECT_EQ(back.ScaleFactor, specimen->ScaleFactor);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, RealTpsExportTest,
                         ::testing::Values("momit_AE_data1.tps", "momit_JC_data.TPS",
                                           "momitvb_allrapanui.tps"),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(RealFileTest, ChainCodesCloseExactlyAndNameTheirSpecimens) {
    READ_REAL_OR_SKIP(file, "momitvb_fish_bones.chc");
    EXPECT_EQ(file.Summary("fish.chc"), "fish.chc: 2 specimens (chain code)");
    ASSERT_EQ(file.specimens.size(), 2u);
    EXPECT_EQ(file.specimens[0]->ShortPathName, "Fish_A");
    EXPECT_EQ(file.specimens[1]->ShortPathName, "Fish_B");
    EXPECT_FALSE(file.specimens[0]->ScaleSpecified); // the scale field holds 0
    // Every step is one pixel along an axis or a diagonal, the last one back to the start.
    for (const auto& specimen : file.specimens) {
        const std::vector<FPoint>& c = specimen->Contour;
        for (std::size_t i = 0; i < c.size(); ++i) {
            const FPoint d = c[(i + 1) % c.size()] - c[i];
            ASSERT_TRUE(std::fabs(d.x) <= 1.0f && std::fabs(d.y) <= 1.0f && !(d == FPoint()))
                << specimen->ShortPathName << " step " << i;
        }
    }
    // The fifth field is the pixel area: polygon area + steps / 2 + 1.
    EXPECT_NEAR(std::fabs(file.specimens[0]->GetArea()), 45951 - 1538 / 2.0 - 1, 0.5);
    EXPECT_NEAR(std::fabs(file.specimens[1]->GetArea()), 34342 - 1419 / 2.0 - 1, 0.5);
}

// 126 complete outlines of 100 points; the last holds 60 points and is reported.
TEST(RealFileTest, NtsysWingsKeepTheCompleteOutlinesAndNameTheShortOne) {
    READ_REAL_OR_SKIP(file, "momit_RohlfArchieWingOutlines.nts");
    const std::vector<std::string> problems = ProblemsOf(file);
    // Four comment lines and the header, then 20 lines of 10 values an outline.
    EXPECT_EQ(problems, std::vector<std::string>{std::to_string(5 + 126 * 20 + 1) +
                                                 ": outline 127 (momit_RohlfArchieWingOutlines.nts "
                                                 "(127)) skipped: the file ends after 60 of its "
                                                 "100 points"});
    ASSERT_EQ(file.specimens.size(), 126u);
    // "0.99973 0.00000 0.81881 0.05151" start the first row; "-0.88137 0.00000-0.77904-0.04901"
    // touch in the fifth line of the last complete one.
    const CSpecimen& first = *file.specimens[0];
    const bool forward = first.Contour.front() == FPoint(0.99973f, 0.0f);
    EXPECT_TRUE(forward || first.Contour.back() == FPoint(0.99973f, 0.0f));
}

TEST(RealFileTest, MeasurementExportGivesTheOutlineOfItsLastColumns) {
    READ_REAL_OR_SKIP(file, "momitvb_Optimas_um1_karnimata_7714.asc");
    EXPECT_EQ(file.Summary("um1.asc"), "um1.asc: 1 specimen (x-y list); header rows skipped");
    ASSERT_EQ(file.specimens.size(), 1u);
    const std::vector<FPoint>& c = file.specimens[0]->Contour;
    // The first data row ends in "1.29067 2.80694", the second row is "1.37597 2.77791".
    const FPoint a(1.29067f, 2.80694f);
    EXPECT_TRUE(c.front() == a || c.back() == a);
}

} // namespace
