#include "formats/reader_test_support.h"
#include "formats/tps_reader.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::string_literals; // keeps the NUL bytes of the binary cases

struct STestCase {
    const char* name;
    std::string content;
    bool expected;
    friend void PrintTo(const STestCase& c, std::ostream* os) { *os << c.name; }
};

class IsTpsFileTest : public ::testing::TestWithParam<STestCase> {};

TEST_P(IsTpsFileTest, RecognisesLandmarkLineInFirstTwoLines) {
    CScratchFolder folder;
    EXPECT_EQ(IsTpsFile(folder.Write("f.tps", GetParam().content)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IsTpsFileTest,
    ::testing::Values(STestCase{"FirstLine", "LM=0\nOUTLINES=1\n", true},
                      STestCase{"SecondLine", "a title\nLM=12\n", true},
                      STestCase{"ThirdLineIsTooLate", "a\nb\nLM=3\n", false},
                      STestCase{"IndentedLine", " LM=3\n", false},
                      STestCase{"LowerCase", "lm=3\n", false},
                      STestCase{"NoNumber", "LM=x\nLM=\n", false},
                      STestCase{"NegativeCount", "LM=-4\n", true},
                      STestCase{"CrLf", "LM=2\r\n1 2\r\n", true},
                      STestCase{"NoLineFeed", "LM=2", true}, STestCase{"Empty", "", false},
                      STestCase{"Garbage", "\x01\x02\xff\xfe\x80LM=1\n\x00LM=3"s, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TpsReaderTest, MissingFileOrFolderIsNotTps) {
    CScratchFolder folder;
    EXPECT_FALSE(IsTpsFile((folder.Path() / "absent.tps").string()));
    EXPECT_FALSE(IsTpsFile(folder.Path().string()));
    CTpsReader missing((folder.Path() / "absent.tps").string());
    CSpecimen specimen;
    EXPECT_FALSE(missing.ReadFirst(specimen));
    CTpsReader directory(folder.Path().string());
    EXPECT_FALSE(directory.ReadFirst(specimen));
}

TEST(TpsReaderTest, ReadsLandmarksOutlineIdentifierAndScale) {
    CScratchFolder folder;
    const std::string path = folder.Write("valve.tps", "LM=2\n5 5\n6 6\nOUTLINES=1\nPOINTS=3\n"
                                                       "0 0\n2.5 0.25\n1 2\nID=17\nSCALE=0.5\n");
    const SpecimenList list = ReadAllAs<CTpsReader>(path);
    ASSERT_EQ(list.size(), 1u);
    const CSpecimen& s = *list[0];
    // Each coordinate times 0.5 * 1000.
    EXPECT_EQ(PointsText(s.Contour),
              PointsText(AsStored({{0.0f, 0.0f}, {1250.0f, 125.0f}, {500.0f, 1000.0f}})));
    EXPECT_EQ(s.Identifier, "17");
    EXPECT_FLOAT_EQ(s.ScaleFactor, 0.5f);
    EXPECT_TRUE(s.ScaleSpecified);
    EXPECT_EQ(s.FileType, "Thinplate Spline");
    EXPECT_EQ(s.PathName, path);
    EXPECT_EQ(s.ShortPathName, "valve.tps");
}

TEST(TpsReaderTest, ClockwiseOutlineIsStoredReversed) {
    CScratchFolder folder;
    const SpecimenList list = ReadAllAs<CTpsReader>(
        folder.Write("cw.tps", "LM=0\nOUTLINES=1\nPOINTS=4\n0 0\n0 4\n4 4\n4 0\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(4 0)(4 4)(0 4)(0 0)");
    EXPECT_FALSE(list[0]->ScaleSpecified);
    EXPECT_FLOAT_EQ(list[0]->ScaleFactor, 1.0f);
}

TEST(TpsReaderTest, EachLandmarkLineStartsANumberedSpecimen) {
    CScratchFolder folder;
    std::string content;
    for (int i = 0; i < 3; ++i)
        content += "LM=1\n9 9\nOUTLINES=1\nPOINTS=3\n0 0\n4 0\n0 " + std::to_string(i + 1) +
                   "\nIMAGE=img" + std::to_string(i) + ".jpg\n";
    const SpecimenList list = ReadAllAs<CTpsReader>(folder.Write("valves.tps", content));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->ShortPathName, "valves.tps");
    EXPECT_EQ(list[1]->ShortPathName, "valves.tps (2)");
    EXPECT_EQ(list[2]->ShortPathName, "valves.tps (3)");
    EXPECT_EQ(list[2]->ImageFile, "img2.jpg");
    EXPECT_EQ(PointsText(list[2]->Contour), "(0 0)(4 0)(0 3)");
}

TEST(TpsReaderTest, ManySpecimensAcrossBufferBoundaries) {
    // The trailer steps back one line; across a 300 KB file that crosses the reader's buffer.
    CScratchFolder folder;
    std::string content;
    const int count = 700;
    for (int i = 0; i < count; ++i) {
        content += "LM=0\r\nOUTLINES=1\r\nPOINTS=40\r\n";
        for (int k = 0; k < 40; ++k)
            content += std::to_string(100 + k) + " " + std::to_string(k * k) + "\r\n";
        content += "ID=" + std::to_string(i) + "\r\nCOMMENT=specimen number " +
                   std::to_string(i + 1) + "\r\n";
    }
    const SpecimenList list = ReadAllAs<CTpsReader>(folder.Write("many.tps", content));
    ASSERT_EQ(list.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(list[i]->Contour.size(), 40u);
        EXPECT_EQ(list[i]->Identifier, std::to_string(i));
        EXPECT_EQ(list[i]->Comment, "specimen number " + std::to_string(i + 1));
    }
    EXPECT_EQ(list.back()->ShortPathName, "many.tps (700)");
}

TEST(TpsReaderTest, FirstLineMustBeTheLandmarkLine) {
    CScratchFolder folder;
    const std::string path = folder.Write("title.tps", "my valves\nLM=0\nOUTLINES=1\nPOINTS=0\n");
    EXPECT_TRUE(IsTpsFile(path));
    EXPECT_TRUE(ReadAllAs<CTpsReader>(path).empty());
}

TEST(TpsReaderTest, FileEndingAfterLandmarksGivesEmptyContour) {
    CScratchFolder folder;
    const SpecimenList list = ReadAllAs<CTpsReader>(folder.Write("lm.tps", "LM=2\n1 2\n3 4\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(list[0]->Contour.empty());
}

TEST(TpsReaderTest, OnlyTheFirstOutlineIsReadAndTheSecondEndsTheFile) {
    CScratchFolder folder;
    const SpecimenList list = ReadAllAs<CTpsReader>(folder.Write(
        "two.tps", "LM=0\nOUTLINES=2\nPOINTS=3\n0 0\n1 0\n0 1\nPOINTS=3\n5 5\n6 5\n5 6\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(0 0)(1 0)(0 1)");
}

TEST(TpsReaderTest, PointsLineInPlaceOfOutlinesLineFails) {
    CScratchFolder folder;
    EXPECT_TRUE(
        ReadAllAs<CTpsReader>(folder.Write("p.tps", "LM=0\nPOINTS=3\n0 0\n1 0\n0 1\n")).empty());
}

TEST(TpsReaderTest, LineInPlaceOfPointsLineIsDropped) {
    CScratchFolder folder;
    const SpecimenList list =
        ReadAllAs<CTpsReader>(folder.Write("drop.tps", "LM=0\nOUTLINES=1\nID=3\nCOMMENT=kept\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(list[0]->Contour.empty());
    EXPECT_EQ(list[0]->Identifier, "");
    EXPECT_EQ(list[0]->Comment, "kept");
}

TEST(TpsReaderTest, TrailerKeywordsInAnyOrderEmptyValueKeepsField) {
    CScratchFolder folder;
    const SpecimenList list = ReadAllAs<CTpsReader>(folder.Write(
        "kw.tps", "LM=0\r\nOUTLINES=1\r\nPOINTS=0\r\nVARIABLES=a b\r\n"
                  "IMAGE=first.jpg\r\nCOMMENT=two words\r\nIMAGE=\r\nID=x\r\nID=y\r\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->ImageFile, "first.jpg");
    EXPECT_EQ(list[0]->Identifier, "y");
    EXPECT_EQ(list[0]->Comment, "two words");
    EXPECT_EQ(list[0]->Variables, "a b");
}

TEST(TpsReaderTest, UnknownTrailerLineEndsSpecimenAndFile) {
    CScratchFolder folder;
    const SpecimenList list = ReadAllAs<CTpsReader>(folder.Write(
        "lc.tps", "LM=0\nOUTLINES=1\nPOINTS=0\nID=a\nid=b\nLM=0\nOUTLINES=1\nPOINTS=0\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->Identifier, "a");
}

TEST(TpsReaderTest, RepeatedScaleLineScalesOnceByTheLastValue) {
    CScratchFolder folder;
    const SpecimenList list = ReadAllAs<CTpsReader>(folder.Write(
        "s.tps", "LM=0\nOUTLINES=1\nPOINTS=3\n0 0\n2 0\n0 2\nSCALE=2\nID=k\nSCALE=0.25\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(0 0)(500 0)(0 500)");
    EXPECT_FLOAT_EQ(list[0]->ScaleFactor, 0.25f);
    EXPECT_TRUE(list[0]->ScaleSpecified);
}

TEST(TpsReaderTest, PointLineWithoutTwoNumbersRepeatsPreviousPoint) {
    CScratchFolder folder;
    const SpecimenList list = ReadAllAs<CTpsReader>(
        folder.Write("bad.tps", "LM=0\nOUTLINES=1\nPOINTS=6\nnone\n3 0\nx y\n3 3\n7\n0 3\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(0 0)(3 0)(3 0)(3 3)(3 3)(0 3)");
}

TEST(TpsReaderTest, TruncatedPointsFail) {
    CScratchFolder folder;
    EXPECT_TRUE(
        ReadAllAs<CTpsReader>(folder.Write("t.tps", "LM=0\nOUTLINES=1\nPOINTS=5\n0 0\n1 0\n"))
            .empty());
    // A later broken specimen keeps the ones before it.
    const SpecimenList list = ReadAllAs<CTpsReader>(folder.Write(
        "t2.tps", "LM=0\nOUTLINES=1\nPOINTS=1\n1 1\nLM=0\nOUTLINES=1\nPOINTS=9\n0 0\n"));
    EXPECT_EQ(list.size(), 1u);
}

TEST(TpsReaderTest, LongLinesArriveInPieces) {
    CScratchFolder folder;
    const std::string longName(2000, 'a');
    const SpecimenList list = ReadAllAs<CTpsReader>(
        folder.Write("long.tps", "LM=0\nOUTLINES=1\nPOINTS=0\nIMAGE=" + longName + "\nID=x\n"));
    // The first piece holds 1022 characters, "IMAGE=" included; the rest is an unknown line.
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->ImageFile, std::string(1022 - 6, 'a'));
    EXPECT_EQ(list[0]->Identifier, "");
}

class TpsHostileInputTest : public ::testing::TestWithParam<STestCase> {};

// Huge or broken input ends quickly and cleanly; `expected` says whether one specimen is read.
TEST_P(TpsHostileInputTest, ReadsQuicklyWithoutCrash) {
    CScratchFolder folder;
    const auto start = std::chrono::steady_clock::now();
    const SpecimenList list = ReadAllAs<CTpsReader>(folder.Write("h.tps", GetParam().content));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(list.size(), GetParam().expected ? 1u : 0u);
    if (!list.empty()) {
        EXPECT_LE(list[0]->Contour.size(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, TpsHostileInputTest,
    ::testing::Values(
        STestCase{"HugeLandmarkCount", "LM=99999999\n1 2\n", true},
        STestCase{"HugeSaturatedCount", "LM=99999999999999999999\n", true},
        STestCase{"NegativeLandmarkCount", "LM=-5\nOUTLINES=1\nPOINTS=1\n1 2\n", true},
        STestCase{"HugePointCount", "LM=0\nOUTLINES=1\nPOINTS=2000000000\n1 2\n", false},
        STestCase{"NegativePointCount", "LM=0\nOUTLINES=1\nPOINTS=-7\n1 2\n", true},
        STestCase{"NonFiniteAndOverflowingPoint", "LM=0\nOUTLINES=1\nPOINTS=1\n1e99 nan\n", true},
        STestCase{"OnlyLandmarkKeyword", "LM=", false}, STestCase{"Empty", "", false},
        STestCase{"Binary", "LM=0\n\x00\x01\x02\xff\n"s, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TpsReaderTest, FiveMegabyteLineReadsQuickly) {
    CScratchFolder folder;
    const std::string huge(5 * 1024 * 1024, '9');
    const auto start = std::chrono::steady_clock::now();
    const SpecimenList list = ReadAllAs<CTpsReader>(
        folder.Write("huge.tps", "LM=0\nOUTLINES=1\nPOINTS=1\n1 2 " + huge + "\nID=x\n"));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    // The first piece is the point line; the next piece is no keyword, so it ends the file.
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(1 2)");
    EXPECT_EQ(list[0]->Identifier, "");
    EXPECT_FALSE(IsTpsFile(folder.Write("line.tps", huge)));
}

} // namespace
