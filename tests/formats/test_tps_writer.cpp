#include "formats/reader_test_support.h"
#include "formats/tps_reader.h"
#include "formats/tps_writer.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

struct SNameCase {
    const char* shortPathName;
    const char* expected;
    friend void PrintTo(const SNameCase& c, std::ostream* os) { *os << c.shortPathName; }
};

class DefaultTpsExportNameTest : public ::testing::TestWithParam<SNameCase> {};

TEST_P(DefaultTpsExportNameTest, CutsBeforeFirstTpsAndAppendsIt) {
    EXPECT_EQ(DefaultTpsExportName(GetParam().shortPathName), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, DefaultTpsExportNameTest,
                         ::testing::Values(SNameCase{"outline.tps (2)", "outline.tps"},
                                           SNameCase{"valve", "valve.tps"},
                                           SNameCase{"valve.TPS", "valve.TPS.tps"},
                                           SNameCase{"a.tps.tps (3)", "a.tps"},
                                           SNameCase{"x.tpsfile.msd", "x.tps"},
                                           SNameCase{"valves.msd (4)", "valves.msd (4).tps"},
                                           SNameCase{".tps", ".tps"}, SNameCase{"", ".tps"}));

TEST(DefaultTpsExportNameTest, LongNameFitsTheFileNameBuffer) {
    const std::string name = DefaultTpsExportName(std::string(400, 'v') + " (12)");
    EXPECT_EQ(name, std::string(255, 'v') + ".tps");
    // A two-byte character across the limit is left out whole, not cut in half.
    const std::string wide = DefaultTpsExportName(std::string(254, 'a') + "\xc3\xa4\xc3\xa4");
    EXPECT_EQ(wide, std::string(254, 'a') + ".tps");
}

class TpsWriterTest : public ::testing::Test {
protected:
    std::string WriteAndRead(const CSpecimen& specimen) {
        const std::filesystem::path path = folder_.Path() / "out.tps";
        std::string error;
        EXPECT_TRUE(WriteSpecimenAsTps(specimen, path, error)) << error;
        EXPECT_EQ(error, "");
        return CScratchFolder::ReadBytes(path);
    }

    CScratchFolder folder_;
};

TEST_F(TpsWriterTest, WritesTruncatedPointsAndEmptyKeywords) {
    CSpecimen specimen;
    specimen.Contour = {{12.7f, -3.9f}, {-0.5f, 0.99f}, {100.0f, 7.0f}};
    specimen.Variables = "not written";
    EXPECT_EQ(WriteAndRead(specimen), "LM=0\r\nOUTLINES=1\r\nPOINTS=3\r\n12 -3\r\n0 0\r\n100 7\r\n"
                                      "IMAGE=\r\nID=\r\nCOMMENT=\r\n");
}

TEST_F(TpsWriterTest, DividesByScaleAndEndsWithScaleLine) {
    CSpecimen specimen;
    specimen.Contour = {{1234.5f, 678.9f}};
    specimen.ScaleFactor = 0.01f;
    specimen.ScaleSpecified = true;
    specimen.ImageFile = "valve 1.jpg";
    specimen.Identifier = "17";
    specimen.Comment = "left valve";
    EXPECT_EQ(WriteAndRead(specimen), "LM=0\r\nOUTLINES=1\r\nPOINTS=1\r\n123 67\r\n"
                                      "IMAGE=valve 1.jpg\r\nID=17\r\nCOMMENT=left valve\r\n"
                                      "SCALE=0.010000\r\n");
}

TEST_F(TpsWriterTest, EmptyContourWritesZeroPoints) {
    CSpecimen specimen;
    EXPECT_EQ(WriteAndRead(specimen),
              "LM=0\r\nOUTLINES=1\r\nPOINTS=0\r\nIMAGE=\r\nID=\r\nCOMMENT=\r\n");
}

// A keyword's value ends with its line: a line break inside a text would cut it in two.
TEST_F(TpsWriterTest, LineBreakInsideTextBecomesABlank) {
    CSpecimen specimen;
    specimen.Comment = "two\nlines\r\nthree";
    const std::string text = WriteAndRead(specimen);
    EXPECT_NE(text.find("COMMENT=two lines  three\r\n"), std::string::npos) << text;
}

TEST_F(TpsWriterTest, NonFiniteAndHugeCoordinatesSaturate) {
    CSpecimen specimen;
    specimen.Contour = {{NAN, 1e30f}, {-1e30f, -INFINITY}, {2147483000.0f, -2147483000.0f}};
    EXPECT_EQ(WriteAndRead(specimen), "LM=0\r\nOUTLINES=1\r\nPOINTS=3\r\n0 2147483647\r\n"
                                      "-2147483648 -2147483648\r\n2147483008 -2147483008\r\n"
                                      "IMAGE=\r\nID=\r\nCOMMENT=\r\n");
    specimen.Contour = {{0.0f, 5.0f}};
    specimen.ScaleSpecified = true;
    specimen.ScaleFactor = 0.0f; // 0 / 0 and 5 / 0
    EXPECT_EQ(WriteAndRead(specimen), "LM=0\r\nOUTLINES=1\r\nPOINTS=1\r\n0 2147483647\r\n"
                                      "IMAGE=\r\nID=\r\nCOMMENT=\r\nSCALE=0.000000\r\n");
    // Landmarks keep every digit; those that have none saturate like the outline.
    specimen.ScaleSpecified = false;
    specimen.Landmarks = {{NAN, 1e30f}, {-INFINITY, 3.5f}};
    const std::string text = WriteAndRead(specimen);
    EXPECT_EQ(text.rfind("LM=2\r\n0 1000000015047466219876688855040\r\n-2147483648 3.5\r\n", 0),
              0u)
        << text;
}

TEST_F(TpsWriterTest, RoundTripWithoutScale) {
    CSpecimen written;
    written.Contour = {{0, 0}, {40, -3}, {52, 20}, {31, 44}, {-7, 25}};
    written.ImageFile = "img.jpg";
    written.Identifier = "A-1";
    written.Comment = "round trip";
    const std::filesystem::path path = folder_.Path() / "rt.tps";
    std::string error;
    ASSERT_TRUE(WriteSpecimenAsTps(written, path, error)) << error;
    const SpecimenList list = ReadAllDetected(path.string());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), PointsText(AsStored(written.Contour)));
    EXPECT_EQ(list[0]->ImageFile, "img.jpg");
    EXPECT_EQ(list[0]->Identifier, "A-1");
    EXPECT_EQ(list[0]->Comment, "round trip");
    EXPECT_FALSE(list[0]->ScaleSpecified);
}

TEST_F(TpsWriterTest, RoundTripWithScale) {
    // Stored coordinates are the file's times 0.02 * 1000 = 20.
    CSpecimen written;
    written.Contour = {{0, 0}, {800, -60}, {1040, 400}, {-140, 500}};
    written.ScaleFactor = 0.02f;
    written.ScaleSpecified = true;
    const std::filesystem::path path = folder_.Path() / "scaled.tps";
    std::string error;
    ASSERT_TRUE(WriteSpecimenAsTps(written, path, error)) << error;
    EXPECT_NE(CScratchFolder::ReadBytes(path).find("\r\n40 -3\r\n52 20\r\n-7 25\r\n"),
              std::string::npos);
    const SpecimenList list = ReadAllDetected(path.string());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), PointsText(AsStored(written.Contour)));
    EXPECT_TRUE(list[0]->ScaleSpecified);
    EXPECT_FLOAT_EQ(list[0]->ScaleFactor, 0.02f);
}

// Landmarks, image, identifier, comment and scale come back as they were (landmarks and
// scale chosen so that their division back to the file's units is exact).
TEST_F(TpsWriterTest, RoundTripKeepsLandmarksAndTexts) {
    CSpecimen written;
    written.Contour = {{0, 0}, {1000, -250}, {1500, 750}, {-500, 1000}};
    written.Landmarks = {{-500, 250}, {1500, 250}, {250, 1250}};
    written.ScaleFactor = 0.25f;
    written.ScaleSpecified = true;
    written.ImageFile = "C:\\Bilder\\Klappe 7.jpg";
    written.Identifier = "Sp\xC3\xA9" "cimen M\xC3\xBC" "ller";
    written.Comment = "left valve, K3";
    const std::filesystem::path path = folder_.Path() / "lm.tps";
    std::string error;
    ASSERT_TRUE(WriteSpecimenAsTps(written, path, error)) << error;
    EXPECT_EQ(CScratchFolder::ReadBytes(path).rfind("LM=3\r\n-2 1\r\n6 1\r\n1 5\r\nOUTLINES=1\r\n", 0),
              0u);
    const CSpecimenFile file = ReadSpecimenFile(path.string());
    EXPECT_EQ(file.Outcome(), CSpecimenFile::EOutcome::Complete);
    ASSERT_EQ(file.specimens.size(), 1u);
    const CSpecimen& read = *file.specimens[0];
    EXPECT_EQ(PointsText(read.Landmarks), PointsText(written.Landmarks));
    EXPECT_EQ(PointsText(read.Contour), PointsText(AsStored(written.Contour)));
    EXPECT_EQ(read.ImageFile, written.ImageFile);
    EXPECT_EQ(read.Identifier, written.Identifier);
    EXPECT_EQ(read.Comment, written.Comment);
    EXPECT_TRUE(read.ScaleSpecified);
    EXPECT_EQ(read.ScaleFactor, written.ScaleFactor);
}

// A file as digitising programs write it (whole-pixel outline, landmarks with fractions, a
// scale) comes back from its export exactly: the points lines hold the file's own whole
// numbers, though each was multiplied by the scale x 1000 as a float and divided back, and the
// landmarks and the scale keep every digit.
struct SScaledCase {
    const char* scale;
    friend void PrintTo(const SScaledCase& c, std::ostream* os) { *os << c.scale; }
};

class TpsScaledRoundTripTest : public ::testing::TestWithParam<SScaledCase> {
protected:
    CScratchFolder folder_;
};

TEST_P(TpsScaledRoundTripTest, GivesTheFileValuesBack) {
    // 200 whole-pixel points of an ellipse far from the origin, as tpsDig writes them.
    std::vector<std::pair<long, long>> outline;
    std::string text = "LM=3\n1404.5 707.25\n-12.125 3\n993.00000 507.00000\nCURVES=1\nPOINTS=200\n";
    for (int i = 0; i < 200; ++i) {
        const double t = 2.0 * 3.14159265358979 * i / 200.0;
        outline.emplace_back(std::lround(2500.0 + 900.0 * std::cos(t)),
                             std::lround(1800.0 + 550.0 * std::sin(t)));
        text += std::to_string(outline.back().first) + ".00000 " +
                std::to_string(outline.back().second) + ".00000\n";
    }
    text += "ID=7\nSCALE=" + std::string(GetParam().scale) + "\n";
    const CSpecimenFile original = ReadText(text, "a.tps");
    ASSERT_EQ(original.specimens.size(), 1u);
    const std::filesystem::path path = folder_.Path() / "a.tps";
    std::string error;
    ASSERT_TRUE(WriteSpecimenAsTps(*original.specimens[0], path, error)) << error;
    const std::string written = CScratchFolder::ReadBytes(path);

    EXPECT_EQ(written.rfind("LM=3\r\n1404.5 707.25\r\n-12.125 3\r\n993 507\r\n", 0), 0u)
        << written;
    std::vector<std::pair<long, long>> lines;
    std::size_t at = written.find("POINTS=200\r\n") + 12;
    for (int i = 0; i < 200; ++i) {
        long x = 0;
        long y = 0;
        ASSERT_EQ(std::sscanf(written.c_str() + at, "%ld %ld", &x, &y), 2);
        lines.emplace_back(x, y);
        at = written.find('\n', at) + 1;
    }
    std::sort(outline.begin(), outline.end());
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, outline);
    EXPECT_NE(written.find("\r\nSCALE=" + std::string(GetParam().scale)), std::string::npos);

    const CSpecimenFile again = ReadSpecimenFile(path.string());
    ASSERT_EQ(again.specimens.size(), 1u);
    const CSpecimen& a = *original.specimens[0];
    const CSpecimen& b = *again.specimens[0];
    EXPECT_EQ(PointsText(b.Contour), PointsText(a.Contour));
    EXPECT_EQ(PointsText(b.Landmarks), PointsText(a.Landmarks));
    EXPECT_EQ(b.ScaleFactor, a.ScaleFactor);
    EXPECT_EQ(b.Identifier, "7");
}

// The scales of the real tpsDig files, one "%f" cannot hold, and plain ones.
INSTANTIATE_TEST_SUITE_P(Table, TpsScaledRoundTripTest,
                         ::testing::Values(SScaledCase{"0.003890"}, SScaledCase{"0.003662"},
                                           SScaledCase{"0.002717"}, SScaledCase{"0.002451"},
                                           SScaledCase{"0.002449"}, SScaledCase{"0.0038910506"},
                                           SScaledCase{"0.000001"}, SScaledCase{"0.500000"},
                                           SScaledCase{"3.000000"}));

TEST_F(TpsWriterTest, FailureNamesPathAndReasonAndKeepsOldFile) {
    CSpecimen specimen;
    std::string error;
    const std::filesystem::path missing = folder_.Path() / "no folder" / "x.tps";
    EXPECT_FALSE(WriteSpecimenAsTps(specimen, missing, error));
    EXPECT_NE(error.find(missing.string()), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(ENOENT)), std::string::npos) << error;

    const std::filesystem::path folderTarget = folder_.Path() / "sub.tps";
    std::filesystem::create_directory(folderTarget);
    error.clear();
    EXPECT_FALSE(WriteSpecimenAsTps(specimen, folderTarget, error));
    EXPECT_NE(error.find(std::strerror(EISDIR)), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_directory(folderTarget));

    error.clear();
    EXPECT_FALSE(WriteSpecimenAsTps(specimen, "", error));
    EXPECT_FALSE(error.empty());
}

TEST_F(TpsWriterTest, ReplacesExistingFileWithoutLeftovers) {
    const std::string path = folder_.Write("old.tps", "old content that is longer than the new");
    CSpecimen specimen;
    std::string error;
    ASSERT_TRUE(WriteSpecimenAsTps(specimen, path, error)) << error;
    EXPECT_EQ(CScratchFolder::ReadBytes(path),
              "LM=0\r\nOUTLINES=1\r\nPOINTS=0\r\nIMAGE=\r\nID=\r\nCOMMENT=\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

} // namespace
