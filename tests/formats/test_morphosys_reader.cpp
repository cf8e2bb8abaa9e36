#include "formats/morphosys_reader.h"
#include "formats/reader_factory.h"
#include "formats/reader_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace {

using namespace std::string_literals; // keeps the NUL bytes of the binary cases

struct STestCase {
    const char* name;
    std::string content;
    bool expected;
    friend void PrintTo(const STestCase& c, std::ostream* os) { *os << c.name; }
};

// One specimen block: header, a free line, the scale line, the contour line, start and steps.
std::string Block(const std::string& scale, const std::string& start, const std::string& chain,
                  const std::string& name = "valve") {
    return "F 1 " + name + "\nfree text\n" + scale + "\nC 1 : outline\n" + start + "\n" + chain;
}

class IsMorphosysFileTest : public ::testing::TestWithParam<STestCase> {};

TEST_P(IsMorphosysFileTest, WantsHeaderWithNumberOne) {
    EXPECT_EQ(IsMorphosysFile(GetParam().content), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, IsMorphosysFileTest,
                         ::testing::Values(STestCase{"Header", "F 1 valve\n", true},
                                           STestCase{"CrLfHeader", "F 1 valve\r\nx\r\n", true},
                                           STestCase{"NumberTwo", "F 2 valve\n", false},
                                           STestCase{"NoName", "F 1\n", false},
                                           STestCase{"LowerCase", "f 1 valve\n", false},
                                           STestCase{"SecondLine", "title\nF 1 valve\n", false},
                                           STestCase{"Empty", "", false},
                                           STestCase{"Binary", "\x00\x01\xff"s, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MorphosysReaderTest, ChainStepsMoveByOnePixel) {
    const SpecimenList list = ReadAllAs<CMorphosysReader>(
        Block("0 0 1 1 none", "10 20 4", "0011\n"), "/data/c.msd");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour),
              PointsText(AsStored({{10, 20}, {11, 20}, {12, 20}, {12, 21}, {12, 22}})));
    EXPECT_FALSE(list[0]->ScaleSpecified);
    EXPECT_FLOAT_EQ(list[0]->ScaleFactor, 1.0f);
    EXPECT_EQ(list[0]->FileType, "Morphosys");
    EXPECT_EQ(list[0]->ShortPathName, "c.msd");
    EXPECT_EQ(list[0]->PathName, "/data/c.msd");
}

TEST(MorphosysReaderTest, StepsSpanLinesAndLastLineIsWalkedToItsEnd) {
    // Three steps asked for, five given: the second line is still walked completely.
    const SpecimenList list =
        ReadAllAs<CMorphosysReader>(Block("x", "0 0 3", "0\r\n0113\r\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour),
              PointsText(AsStored({{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {2, 1}})));
}

TEST(MorphosysReaderTest, AllFourDirections) {
    const SpecimenList list = ReadAllAs<CMorphosysReader>(Block("x", "5 5 4", "0123\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour),
              PointsText(AsStored({{5, 5}, {6, 5}, {6, 6}, {5, 6}, {5, 5}})));
}

TEST(MorphosysReaderTest, MillimetreScaleDiffersBetweenFirstAndLaterSpecimens) {
    const std::string scale = "500 250 12.5 25 'mm'";
    const SpecimenList list = ReadAllAs<CMorphosysReader>(
        Block(scale, "1 1 0", "", "a") + Block(scale, "1 1 0", "", "b") +
            Block(scale, "1 1 0", "", "c"),
        "mm.msd");
    ASSERT_EQ(list.size(), 3u);
    // First: 1000 / 12.5 = 80 and 1000 / 25 = 40; later: 500 / 12.5 = 40 and 250 / 25 = 10.
    EXPECT_EQ(PointsText(list[0]->Contour), "(80 40)");
    EXPECT_FLOAT_EQ(list[0]->ScaleFactor, 80.0f);
    EXPECT_EQ(PointsText(list[1]->Contour), "(40 10)");
    EXPECT_FLOAT_EQ(list[1]->ScaleFactor, 40.0f);
    EXPECT_TRUE(list[1]->ScaleSpecified);
    EXPECT_EQ(list[1]->ShortPathName, "mm.msd (2)");
    EXPECT_EQ(list[2]->ShortPathName, "mm.msd (3)");
}

TEST(MorphosysReaderTest, ThousandUnitsGiveTheSameScaleEverywhere) {
    const std::string scale = "1000 1000 12.5 12.5 'mm'";
    const SpecimenList list =
        ReadAllAs<CMorphosysReader>(Block(scale, "0 0 1", "0\n") + Block(scale, "0 0 1", "1\n"));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_FLOAT_EQ(list[0]->ScaleFactor, 80.0f);
    EXPECT_FLOAT_EQ(list[1]->ScaleFactor, 80.0f);
    EXPECT_EQ(PointsText(list[1]->Contour), PointsText(AsStored({{0, 0}, {0, 80}})));
}

TEST(MorphosysReaderTest, OnlyQuotedLowerCaseMillimetreCounts) {
    for (const char* unit : {"mm", "'MM'", "'mm'x", "'cm'"}) {
        const SpecimenList list = ReadAllAs<CMorphosysReader>(
            Block(std::string("1000 1000 2 2 ") + unit, "3 4 0", ""));
        ASSERT_EQ(list.size(), 1u) << unit;
        EXPECT_FALSE(list[0]->ScaleSpecified) << unit;
        EXPECT_EQ(PointsText(list[0]->Contour), "(3 4)") << unit;
    }
}

TEST(MorphosysReaderTest, LinesBetweenSpecimensAreSkippedAndNamed) {
    const CSpecimenFile file = ReadTextWith<CMorphosysReader>(
        Block("x", "0 0 1", "0\n") + "junk\nmore junk\n" + Block("x", "7 7 1", "3\n"));
    ASSERT_EQ(file.specimens.size(), 2u);
    EXPECT_EQ(PointsText(file.specimens[1]->Contour), PointsText(AsStored({{7, 7}, {7, 6}})));
    EXPECT_EQ(ProblemsOf(file), std::vector<std::string>{
                                    "7: skipped: not part of a specimen (a specimen starts with F)"});
}

// A broken specimen is skipped with its reason; the reading goes on with the next one.
TEST(MorphosysReaderTest, BrokenSpecimenIsSkippedAndTheNextOneRead) {
    const CSpecimenFile file = ReadTextWith<CMorphosysReader>(
        Block("x", "0 0 4", "0181\n", "a") + Block("x", "7 7 1", "3\n", "b"), "t.msd");
    ASSERT_EQ(file.specimens.size(), 1u);
    EXPECT_EQ(file.specimens[0]->ShortPathName, "t.msd (2)");
    EXPECT_EQ(ProblemsOf(file),
              std::vector<std::string>{
                  "6: t.msd skipped: a character that is no chain code (0 to 3) in its chain"});
}

TEST(MorphosysReaderTest, NumberTwoHeaderFallsBackToSimpleFormatOnlyWithPointsLine) {
    const std::string withPoints = "F 2 valve\nx\nPOINTS=3\n0 0\n1 0\n0 1\n";
    EXPECT_FALSE(IsMorphosysFile(withPoints));
    const SpecimenList list = ReadText(withPoints).specimens;
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->FileType, "Simple File Format");
    const std::string block = Block("x", "0 0 1", "0\n");
    EXPECT_NE(CreateSpecimenReader("q.msd", block), nullptr);
    EXPECT_EQ(CreateSpecimenReader("r.msd", "F 2 v\nx\ny\nC 1 : o\n0 0 1\n0\n"), nullptr);
}

class MorphosysBrokenTest : public ::testing::TestWithParam<STestCase> {};

// Each broken file fails its only specimen, quickly, without a crash and not silently.
TEST_P(MorphosysBrokenTest, FailsCleanly) {
    const auto start = std::chrono::steady_clock::now();
    const CSpecimenFile file = ReadTextWith<CMorphosysReader>(GetParam().content);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
    EXPECT_EQ(file.specimens.size(), GetParam().expected ? 1u : 0u);
    if (!GetParam().expected && !GetParam().content.empty()) {
        EXPECT_FALSE(ProblemsOf(file).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MorphosysBrokenTest,
    ::testing::Values(STestCase{"LastChainLineWithoutLineFeed", Block("x", "0 0 4", "0011"), false},
                      STestCase{"FileEndsBeforeAllSteps", Block("x", "0 0 6", "0011\n"), false},
                      STestCase{"HugeStepCount", Block("x", "0 0 2000000000", "0011\n0011\n"),
                                false},
                      STestCase{"OtherCharacterInChain", Block("x", "0 0 4", "00 11\n"), false},
                      STestCase{"EightDirectionCode", Block("x", "0 0 4", "0741\n"), false},
                      STestCase{"MissingContourLine", "F 1 v\nfree\nx\nstart\n0 0 0\n", false},
                      STestCase{"BadStartLine", "F 1 v\nfree\nx\nC 1 : o\n0 zero 0\n", false},
                      STestCase{"TruncatedAfterHeader", "F 1 v\n", false},
                      STestCase{"BinaryAfterHeader", "F 1 v\n\x00\x01\n\x00\n\xff\n"s, false},
                      STestCase{"Empty", "", false},
                      STestCase{"HeaderNotFirst", "title\n" + Block("x", "0 0 0", ""), true},
                      STestCase{"LoneCarriageReturnEndsALine", Block("x", "0 0 3", "00\r0\n"),
                                true},
                      STestCase{"NegativeStepCount", Block("x", "3 3 -9", ""), true},
                      STestCase{"ZeroMillimetres", Block("1 1 0 0 'mm'", "0 0 1", "0\n"), true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MorphosysReaderTest, FiveMegabyteChainLineShortOfItsCountFails) {
    const std::string chain(5 * 1024 * 1024, '0');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(ReadAllAs<CMorphosysReader>(Block("x", "0 0 6000000", chain + "\n")).empty());
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
}

TEST(MorphosysReaderTest, PositionBeyondIntRangeDoesNotWrap) {
    const SpecimenList list =
        ReadAllAs<CMorphosysReader>(Block("x", "2147483647 -2147483648 2", "03\n"));
    ASSERT_EQ(list.size(), 1u);
    ASSERT_EQ(list[0]->Contour.size(), 3u);
    for (const FPoint& p : list[0]->Contour) {
        EXPECT_GT(p.x, 2.0e9f);
        EXPECT_LT(p.y, -2.0e9f);
    }
}

} // namespace
