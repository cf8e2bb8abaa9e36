#include "formats/reader_test_support.h"
#include "formats/tps_reader.h"

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
    EXPECT_EQ(IsTpsFile(GetParam().content), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IsTpsFileTest,
    ::testing::Values(STestCase{"FirstLine", "LM=0\nOUTLINES=1\n", true},
                      STestCase{"SecondLine", "a title\nLM=12\n", true},
                      STestCase{"ThirdLineIsTooLate", "a\nb\nLM=3\n", false},
                      STestCase{"BlankLinesDoNotCount", "\n \nLM=3\n", true},
                      STestCase{"IndentedLine", " LM=3 \n", true},
                      STestCase{"LowerCase", "lm=3\n", true},
                      STestCase{"ByteOrderMark", "\xEF\xBB\xBFLM=3\n", true},
                      STestCase{"NoNumber", "LM=x\nLM=\n", false},
                      STestCase{"NegativeCount", "LM=-4\n", true},
                      STestCase{"CrLf", "LM=2\r\n1 2\r\n", true},
                      STestCase{"NoLineFeed", "LM=2", true}, STestCase{"Empty", "", false},
                      STestCase{"Garbage", "\x01\x02\xff\xfe\x80LM=1\n\x00LM=3"s, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TpsReaderTest, ReadsLandmarksOutlineIdentifierAndScale) {
    const CSpecimenFile file = ReadTextWith<CTpsReader>(
        "LM=2\n5 5\n6 6\nOUTLINES=1\nPOINTS=3\n0 0\n2.5 0.25\n1 2\nID=17\nSCALE=0.5\n",
        "/data/valve.tps");
    ASSERT_EQ(file.specimens.size(), 1u);
    const CSpecimen& s = *file.specimens[0];
    // Each coordinate times 0.5 * 1000, the landmarks too, which keep their order.
    EXPECT_EQ(PointsText(s.Contour),
              PointsText(AsStored({{0.0f, 0.0f}, {1250.0f, 125.0f}, {500.0f, 1000.0f}})));
    EXPECT_EQ(PointsText(s.Landmarks), "(2500 2500)(3000 3000)");
    EXPECT_EQ(s.Identifier, "17");
    EXPECT_FLOAT_EQ(s.ScaleFactor, 0.5f);
    EXPECT_TRUE(s.ScaleSpecified);
    EXPECT_EQ(s.FileType, "Thinplate Spline");
    EXPECT_EQ(s.PathName, "/data/valve.tps");
    EXPECT_EQ(s.ShortPathName, "valve.tps");
    EXPECT_EQ(file.Outcome(), CSpecimenFile::EOutcome::Complete);
    EXPECT_EQ(file.Summary("valve.tps"), "valve.tps: 1 specimen (TPS); 2 landmarks kept");
}

TEST(TpsReaderTest, ClockwiseOutlineIsStoredReversed) {
    const SpecimenList list =
        ReadAllAs<CTpsReader>("LM=0\nOUTLINES=1\nPOINTS=4\n0 0\n0 4\n4 4\n4 0\n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(4 0)(4 4)(0 4)(0 0)");
    EXPECT_FALSE(list[0]->ScaleSpecified);
    EXPECT_FLOAT_EQ(list[0]->ScaleFactor, 1.0f);
    EXPECT_TRUE(list[0]->Landmarks.empty());
}

TEST(TpsReaderTest, EachLandmarkLineStartsANumberedSpecimen) {
    std::string content;
    for (int i = 0; i < 3; ++i)
        content += "LM=1\n9 9\nOUTLINES=1\nPOINTS=3\n0 0\n4 0\n0 " + std::to_string(i + 1) +
                   "\nIMAGE=img" + std::to_string(i) + ".jpg\n";
    const SpecimenList list = ReadAllAs<CTpsReader>(content, "valves.tps");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->ShortPathName, "valves.tps");
    EXPECT_EQ(list[1]->ShortPathName, "valves.tps (2)");
    EXPECT_EQ(list[2]->ShortPathName, "valves.tps (3)");
    EXPECT_EQ(list[2]->ImageFile, "img2.jpg");
    EXPECT_EQ(PointsText(list[2]->Contour), "(0 0)(4 0)(0 3)");
}

TEST(TpsReaderTest, ManySpecimensWithCrLfLineEnds) {
    std::string content;
    const int count = 700;
    for (int i = 0; i < count; ++i) {
        content += "LM=0\r\nOUTLINES=1\r\nPOINTS=40\r\n";
        for (int k = 0; k < 40; ++k)
            content += std::to_string(100 + k) + " " + std::to_string(k * k) + "\r\n";
        content += "ID=" + std::to_string(i) + "\r\nCOMMENT=specimen number " +
                   std::to_string(i + 1) + "\r\n";
    }
    const SpecimenList list = ReadAllAs<CTpsReader>(content, "many.tps");
    ASSERT_EQ(list.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(list[i]->Contour.size(), 40u);
        EXPECT_EQ(list[i]->Identifier, std::to_string(i));
        EXPECT_EQ(list[i]->Comment, "specimen number " + std::to_string(i + 1));
    }
    EXPECT_EQ(list.back()->ShortPathName, "many.tps (700)");
}

// What digitising programs and hand-edited files write beyond the strict layout.
TEST(TpsReaderTest, AcceptsTheVariationsFilesCarry) {
    const CSpecimenFile file = ReadTextWith<CTpsReader>(
        "\xEF\xBB\xBF  LM=1 \r\n 7 7\r\n outlines=1\r\npoints=3 \r\n0 0\r\n4 0\r\n0 4\r\n"
        "IMAGE=IMAGE=C:\\images\\v1.jpg\r\nID=0 \r\n\r\n\r\n"
        "lm=0\nOUTLINES=1\nPOINTS=3\n0 0\n5 0\n0 5\nid= 2\nimage=v2.jpg\n",
        "v.tps");
    ASSERT_EQ(file.specimens.size(), 2u);
    EXPECT_EQ(file.specimens[0]->ImageFile, "C:\\images\\v1.jpg");
    EXPECT_EQ(file.specimens[0]->Identifier, "0");
    EXPECT_EQ(PointsText(file.specimens[0]->Landmarks), "(7 7)");
    EXPECT_EQ(PointsText(file.specimens[0]->Contour), "(0 0)(4 0)(0 4)");
    EXPECT_EQ(file.specimens[1]->Identifier, "2");
    EXPECT_EQ(file.specimens[1]->ImageFile, "v2.jpg");
    EXPECT_EQ(PointsText(file.specimens[1]->Contour), "(0 0)(5 0)(0 5)");
    EXPECT_EQ(file.Outcome(), CSpecimenFile::EOutcome::Complete);
}

// Curves with no outline are joined in order into one closed outline; a point where two curves
// meet, and a last point that returns to the first, are taken once.
TEST(TpsReaderTest, CurvesWithoutAnOutlineAreJoined) {
    const CSpecimenFile file = ReadTextWith<CTpsReader>(
        "LM=2\n0 0\n8 8\nCURVES=3\nPOINTS=3\n0 0\n2 0\n4 0\nPOINTS=2\n4 0\n4 4\n"
        "POINTS=3\n2 4\n0 4\n0 0\nSCALE=0.25\n",
        "c.tps");
    ASSERT_EQ(file.specimens.size(), 1u);
    const CSpecimen& s = *file.specimens[0];
    EXPECT_EQ(PointsText(s.Contour), "(0 0)(500 0)(1000 0)(1000 1000)(500 1000)(0 1000)");
    EXPECT_EQ(PointsText(s.Landmarks), "(0 0)(2000 2000)");
    EXPECT_EQ(file.Summary("c.tps"),
              "c.tps: 1 specimen (TPS); 1 outline joined from 3 curves; 2 landmarks kept");
}

TEST(TpsReaderTest, AnOutlineWinsOverCurves) {
    const CSpecimenFile file = ReadTextWith<CTpsReader>(
        "LM=0\nCURVES=1\nPOINTS=2\n9 9\n8 8\nOUTLINES=1\nPOINTS=3\n0 0\n3 0\n0 3\n");
    ASSERT_EQ(file.specimens.size(), 1u);
    EXPECT_EQ(PointsText(file.specimens[0]->Contour), "(0 0)(3 0)(0 3)");
    EXPECT_EQ(file.Outcome(), CSpecimenFile::EOutcome::Complete);
}

TEST(TpsReaderTest, TextIsStoredAsUtf8WithoutControlCharacters) {
    const CSpecimenFile file = ReadTextWith<CTpsReader>(
        "LM=0\nOUTLINES=1\nPOINTS=3\n0 0\n1 0\n0 1\nID=Sp\xE9" "cimen M\xFC" "ller\n"
        "COMMENT=a\x01" "b\tc\x7F\n");
    ASSERT_EQ(file.specimens.size(), 1u);
    EXPECT_EQ(file.specimens[0]->Identifier, "Sp\xC3\xA9" "cimen M\xC3\xBC" "ller");
    EXPECT_EQ(file.specimens[0]->Comment, "ab\tc");
    EXPECT_EQ(file.Outcome(), CSpecimenFile::EOutcome::Complete);
    EXPECT_NE(file.Summary("t").find("read as Windows-1252"), std::string::npos);
}

TEST(TpsReaderTest, TrailerKeywordsInAnyOrderEmptyValueKeepsField) {
    const SpecimenList list = ReadAllAs<CTpsReader>(
        "LM=0\r\nOUTLINES=1\r\nPOINTS=3\r\n0 0\r\n1 0\r\n0 1\r\nVARIABLES=a b\r\n"
        "IMAGE=first.jpg\r\nCOMMENT=two words\r\nIMAGE=\r\nID=x\r\nID=y\r\n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->ImageFile, "first.jpg");
    EXPECT_EQ(list[0]->Identifier, "y");
    EXPECT_EQ(list[0]->Comment, "two words");
    EXPECT_EQ(list[0]->Variables, "a b");
}

TEST(TpsReaderTest, RepeatedScaleLineScalesOnceByTheLastValue) {
    const SpecimenList list = ReadAllAs<CTpsReader>(
        "LM=0\nOUTLINES=1\nPOINTS=3\n0 0\n2 0\n0 2\nSCALE=2\nID=k\nSCALE=0.25\n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(0 0)(500 0)(0 500)");
    EXPECT_FLOAT_EQ(list[0]->ScaleFactor, 0.25f);
    EXPECT_TRUE(list[0]->ScaleSpecified);
}

TEST(TpsReaderTest, LongLinesAreReadWhole) {
    const std::string longName(2000, 'a');
    const SpecimenList list = ReadAllAs<CTpsReader>(
        "LM=0\nOUTLINES=1\nPOINTS=3\n0 0\n1 0\n0 1\nIMAGE=" + longName + "\nID=x\n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->ImageFile, longName);
    EXPECT_EQ(list[0]->Identifier, "x");
}

// Damaged files: what is read, what is skipped, and the problems with their lines.
struct SDamagedCase {
    const char* name;
    std::string content;
    const char* points; // the contours of the specimens read, one after the other
    std::vector<std::string> problems;
    friend void PrintTo(const SDamagedCase& c, std::ostream* os) { *os << c.name; }
};

class TpsDamagedTest : public ::testing::TestWithParam<SDamagedCase> {};

TEST_P(TpsDamagedTest, KeepsWhatCanBeReadAndNamesTheRest) {
    const CSpecimenFile file = ReadTextWith<CTpsReader>(GetParam().content, "d.tps");
    std::string points;
    for (const auto& specimen : file.specimens)
        points += PointsText(specimen->Contour) + ";";
    EXPECT_EQ(points, GetParam().points);
    EXPECT_EQ(ProblemsOf(file), GetParam().problems);
}

const std::string kTriangle = "OUTLINES=1\nPOINTS=3\n0 0\n4 0\n0 4\n";

INSTANTIATE_TEST_SUITE_P(
    Table, TpsDamagedTest,
    ::testing::Values(
        SDamagedCase{"TitleLineBeforeTheFirstSpecimen", "my valves\nLM=0\n" + kTriangle,
                     "(0 0)(4 0)(0 4);",
                     {"1: skipped: not part of a specimen (a specimen starts with LM=)"}},
        SDamagedCase{"UnknownLineInsideASpecimen",
                     "LM=0\n" + kTriangle + "foo bar\nbaz\nLM=0\n" + kTriangle,
                     "(0 0)(4 0)(0 4);(0 0)(4 0)(0 4);",
                     {"7: skipped: not a keyword line, and no POINTS= count is open"}},
        SDamagedCase{"UnknownKeyword", "LM=0\n" + kTriangle + "COLOUR=red\n",
                     "(0 0)(4 0)(0 4);", {"7: skipped: unknown keyword COLOUR="}},
        SDamagedCase{"PointLineWithoutTwoNumbers",
                     "LM=0\nOUTLINES=1\nPOINTS=6\nnone\n3 0\nx y\n3 3\n7\n0 3\n",
                     "(3 0)(3 0)(3 3)(3 3)(0 3);",
                     {"4: no two numbers in a first point line: the line skipped",
                      "6: no two numbers in a point line: the previous point repeated",
                      "8: no two numbers in a point line: the previous point repeated"}},
        SDamagedCase{"CountTooLow", "LM=0\nOUTLINES=1\nPOINTS=2\n0 0\n4 0\n4 4\n0 4\n",
                     "(4 0)(0 0);",
                     {"6: skipped: not a keyword line, and no POINTS= count is open"}},
        SDamagedCase{"CountTooHigh", "LM=0\nOUTLINES=1\nPOINTS=9\n0 0\n4 0\n0 4\nID=x\n",
                     "(0 0)(4 0)(0 4);", {"3: POINTS=9 but only 3 points follow"}},
        SDamagedCase{"FileEndsInsideThePoints",
                     "LM=0\n" + kTriangle + "LM=0\nOUTLINES=1\nPOINTS=5\n0 0\n1 0\n",
                     "(0 0)(4 0)(0 4);",
                     {"9: d.tps (2) skipped: the file ends after 2 of 5 points; it is probably "
                      "cut"}},
        SDamagedCase{"LastPointLineWithoutLineEnd", "LM=0\nOUTLINES=1\nPOINTS=3\n0 0\n4 0\n0 4",
                     "(0 0)(4 0)(0 4);",
                     {"6: the file ends inside this point line, without a line end: it is "
                      "probably cut"}},
        SDamagedCase{"OnlyLandmarks", "LM=2\n1 1\n2 2\nIMAGE=a.jpg\nLM=0\n" + kTriangle,
                     "(0 0)(4 0)(0 4);", {"1: d.tps skipped: it has landmarks, no outline"}},
        SDamagedCase{"SecondOutline", "LM=0\n" + kTriangle + "POINTS=3\n5 5\n6 5\n5 6\n",
                     "(0 0)(4 0)(0 4);", {"1: d.tps: only the first of its 2 outlines read"}},
        SDamagedCase{"NonFiniteScaleAndPoint",
                     "LM=0\nOUTLINES=1\nPOINTS=3\n0 0\n1e99 nan\n0 4\nSCALE=nan\n",
                     "(0 4)(0 0)(0 0);",
                     {"5: no two numbers in a point line: the previous point repeated",
                      "7: skipped: SCALE= without a number"}},
        SDamagedCase{"ScaleOverflowsThePoints",
                     "LM=0\nOUTLINES=1\nPOINTS=3\n0 0\n1e30 0\n0 1e30\nSCALE=1e30\n", "",
                     {"1: d.tps skipped: its coordinates (times its scale) are too large for "
                      "numbers"}},
        SDamagedCase{"CarriageReturnsOnlyEndLines", "LM=0\rOUTLINES=1\rPOINTS=3\r1 2\r3 2\r1 5\r",
                     "(1 2)(3 2)(1 5);", {}}),
    [](const auto& info) { return std::string(info.param.name); });

class TpsHostileInputTest : public ::testing::TestWithParam<STestCase> {};

// Huge or broken input ends quickly and cleanly; `expected` says whether one specimen is read.
TEST_P(TpsHostileInputTest, ReadsQuicklyWithoutCrash) {
    const auto start = std::chrono::steady_clock::now();
    const CSpecimenFile file = ReadTextWith<CTpsReader>(GetParam().content);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(file.specimens.size(), GetParam().expected ? 1u : 0u);
    if (!file.specimens.empty()) {
        EXPECT_EQ(file.specimens[0]->Contour.size(), 1u);
    }
    EXPECT_FALSE(file.Summary("h.tps").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, TpsHostileInputTest,
    ::testing::Values(
        STestCase{"HugeLandmarkCount", "LM=99999999\n1 2\n", false},
        STestCase{"HugeLandmarkCountBeforeAnOutline", "LM=99999999\n1 2\nOUTLINES=1\nPOINTS=1\n1 2\n",
                  true},
        STestCase{"HugeSaturatedCount", "LM=99999999999999999999\n", false},
        STestCase{"NegativeLandmarkCount", "LM=-5\nOUTLINES=1\nPOINTS=1\n1 2\n", true},
        STestCase{"HugePointCount", "LM=0\nOUTLINES=1\nPOINTS=2000000000\n1 2\n", false},
        STestCase{"NegativePointCount", "LM=0\nOUTLINES=1\nPOINTS=-7\n1 2\n", false},
        STestCase{"OnlyLandmarkKeyword", "LM=", false}, STestCase{"Empty", "", false},
        STestCase{"Binary", "LM=0\n\x00\x01\x02\xff\n"s, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TpsReaderTest, FiveMegabyteLineReadsQuickly) {
    const std::string huge(5 * 1024 * 1024, '9');
    const auto start = std::chrono::steady_clock::now();
    const SpecimenList list =
        ReadAllAs<CTpsReader>("LM=0\nOUTLINES=1\nPOINTS=1\n1 2 " + huge + "\nID=x\n");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(1 2)");
    EXPECT_EQ(list[0]->Identifier, "x");
    EXPECT_FALSE(IsTpsFile(huge));
}

} // namespace
