// The readers of other programs' formats: eight-direction chain codes, NTSYS matrices and x-y
// lists, on small files that reproduce each quirk of the real ones.
#include "formats/chain_code_reader.h"
#include "formats/ntsys_reader.h"
#include "formats/reader_test_support.h"
#include "formats/xy_list_reader.h"

#include <gtest/gtest.h>

namespace {

struct SDetectCase {
    const char* name;
    std::string content;
    bool expected;
    friend void PrintTo(const SDetectCase& c, std::ostream* os) { *os << c.name; }
};

std::string CaseName(const ::testing::TestParamInfo<SDetectCase>& info) {
    return info.param.name;
}

std::string Contours(const CSpecimenFile& file) {
    std::string points;
    for (const auto& specimen : file.specimens)
        points += PointsText(specimen->Contour) + ";";
    return points;
}

// ---- chain codes ----

class IsChainCodeFileTest : public ::testing::TestWithParam<SDetectCase> {};

TEST_P(IsChainCodeFileTest, WantsNameStartScaleCountAndCodes) {
    EXPECT_EQ(IsChainCodeFile(GetParam().content), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IsChainCodeFileTest,
    ::testing::Values(SDetectCase{"Chain", "Fish_A 13 290 0.000000E+00 45951 6 7 6 -1\r\n", true},
                      SDetectCase{"AfterBlankLines", "\n\nA 1 2 0 5 0 2 -1\n", true},
                      SDetectCase{"CutLine", "A 1 2 0 5 0 2 4", true},
                      SDetectCase{"CodeEight", "A 1 2 0 5 0 8 -1\n", false},
                      SDetectCase{"NoCodes", "A 1 2 0 5 -1\n", false},
                      SDetectCase{"RealStart", "A 1.5 2 0 5 0 2 -1\n", false},
                      SDetectCase{"PointList", "1 2\n3 4\n", false},
                      SDetectCase{"Empty", "", false}),
    CaseName);

TEST(ChainCodeReaderTest, CodesStepAnticlockwiseFromPlusX) {
    const CSpecimenFile file =
        ReadTextWith<CChainCodeReader>("A 10 20 0.0 9 0 1 2 3 4 5 6 7 -1\r\n", "f.chc");
    ASSERT_EQ(file.specimens.size(), 1u);
    const CSpecimen& s = *file.specimens[0];
    // Back at the start after the eighth step, which is therefore not repeated.
    EXPECT_EQ(PointsText(s.Contour), "(10 20)(11 20)(12 21)(12 22)(11 23)(10 23)(9 22)(9 21)");
    EXPECT_EQ(s.ShortPathName, "A");
    EXPECT_EQ(s.Identifier, "A");
    EXPECT_EQ(s.FileType, "Chain Code");
    EXPECT_FALSE(s.ScaleSpecified);
    EXPECT_EQ(file.Summary("f.chc"), "f.chc: 1 specimen (chain code)");
}

TEST(ChainCodeReaderTest, APositiveScaleScalesAsATpsScale) {
    const SpecimenList list = ReadAllAs<CChainCodeReader>("B 1 1 5.000000E-01 4 0 2 4 6 -1\n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(500 500)(1000 500)(1000 1000)(500 1000)");
    EXPECT_TRUE(list[0]->ScaleSpecified);
    EXPECT_FLOAT_EQ(list[0]->ScaleFactor, 0.5f);
}

TEST(ChainCodeReaderTest, BrokenChainsAreSkippedAndNamed) {
    const CSpecimenFile file = ReadTextWith<CChainCodeReader>(
        "A 0 0 0 1 0 2 4 6 -1\n"
        "B 0 0 0 1 0 9 4 -1\n"
        "C 0 0 0 1 0 2 4 6 -1 7 7\n"
        "D 0 0 0 1 0 2 4\n"
        "E 0 0 0 1 0 4 -1\n"
        "G 0 0 0 1 0 2 -1\n"
        "F 0 0 0 1 0 2 4 6",
        "g.chc");
    EXPECT_EQ(Contours(file),
              "(0 0)(1 0)(1 1)(0 1);(0 0)(1 0)(1 1)(0 1);(0 0)(1 0)(1 1);");
    EXPECT_EQ(ProblemsOf(file),
              (std::vector<std::string>{
                  "2: B skipped: \"9\" is no chain code (0 to 7)",
                  "3: skipped: text after the end mark -1 of its chain",
                  "4: D skipped: the chain has no end mark -1",
                  "5: E skipped: its chain encloses nothing",
                  "7: F skipped: the chain has no end mark -1; the line is probably cut"}));
    EXPECT_NE(file.Summary("g.chc").find("1 chain does not return to the start"),
              std::string::npos);
}

// ---- NTSYS matrices ----

class IsNtsysFileTest : public ::testing::TestWithParam<SDetectCase> {};

TEST_P(IsNtsysFileTest, WantsARectangularMatrixOfPointPairs) {
    EXPECT_EQ(IsNtsysFile(GetParam().content), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IsNtsysFileTest,
    ::testing::Values(SDetectCase{"CommentsThenHeader", "\" wings\r\n\" more\r\n1 127 200 0\r\n", true},
                      SDetectCase{"Labels", "1 3L 6L 0\n", true},
                      SDetectCase{"OddColumns", "1 3 5 0\n", false},
                      SDetectCase{"OtherMatrixType", "2 3 6 0\n", false},
                      SDetectCase{"ThreeFields", "1 3 6\n", false},
                      SDetectCase{"PointList", "1 2\n3 4\n", false}),
    CaseName);

TEST(NtsysReaderTest, TouchingValuesAreSplitAtTheirSignAndRowsSpanLines) {
    const CSpecimenFile file = ReadTextWith<CNtsysReader>(
        "\" two outlines of three points\r\n1 2 6 0\r\n"
        " 0.10000-0.20000 0.90000-0.20000\r\n"
        " 0.50000 0.70000-1.00000-2.00000\r\n"
        "-1.50000-2.00000-1.00000-1.00000\r\n",
        "w.nts");
    // The second runs clockwise and is stored turned round.
    EXPECT_EQ(Contours(file), "(0.1 -0.2)(0.9 -0.2)(0.5 0.7);(-1 -1)(-1.5 -2)(-1 -2);");
    EXPECT_EQ(file.specimens[1]->ShortPathName, "w.nts (2)");
    EXPECT_EQ(file.specimens[0]->FileType, "NTSYS");
    EXPECT_EQ(file.Outcome(), CSpecimenFile::EOutcome::Complete);
}

// A value that fills its fixed width touches the one before without a sign between them; the
// decimals of the values read so far tell where it starts. Before any plain value they cannot.
TEST(NtsysReaderTest, ValuesThatFillTheirWidthAreSplitByTheirDecimals) {
    const CSpecimenFile file = ReadTextWith<CNtsysReader>(
        "1 2 6 0\n"
        " 0.50000 0.00000100.00000 0.00000100.00000100.00000\n"
        "12.5000010.00000-3.25000512.750001.00000 2.00000\n",
        "f.nts");
    EXPECT_EQ(Contours(file), "(0.5 0)(100 0)(100 100);(12.5 10)(-3.25 512.75)(1 2);");
    EXPECT_EQ(file.Outcome(), CSpecimenFile::EOutcome::Complete);

    const CSpecimenFile unknown = ReadTextWith<CNtsysReader>(
        "1 1 6 0\n10.0000020.00000 0.00000 5.00000 5.00000 0.00000\n", "u.nts");
    EXPECT_TRUE(unknown.specimens.empty());
    EXPECT_EQ(ProblemsOf(unknown),
              (std::vector<std::string>{"2: outline 1 (u.nts) skipped: the file ends after 2 of its "
                                        "3 points; it holds \"10.0000020.00000\", which is no "
                                        "number"}));
}

TEST(NtsysReaderTest, RowLabelsNameTheSpecimens) {
    const SpecimenList list = ReadAllAs<CNtsysReader>(
        "1 2L 6L 0\nfirst second\nx1 y1 x2 y2 x3 y3\n0 0 4 0 0 4\n0 0 5 0 0 5\n");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->ShortPathName, "first");
    EXPECT_EQ(list[1]->ShortPathName, "second");
    EXPECT_EQ(PointsText(list[1]->Contour), "(0 0)(5 0)(0 5)");
}

TEST(NtsysReaderTest, BrokenRowsAreSkippedAndTheShortLastOneNamed) {
    const CSpecimenFile file = ReadTextWith<CNtsysReader>(
        "1 4 6 1 -999\n0 0 4 0 0 4\n0 0 x 0 0 4\n0 0 -999 0 0 4\n0 0 4 0\n", "m.nts");
    EXPECT_EQ(Contours(file), "(0 0)(4 0)(0 4);");
    EXPECT_EQ(ProblemsOf(file),
              (std::vector<std::string>{
                  "3: m.nts (2) skipped: it holds \"x\", which is no number",
                  "4: m.nts (3) skipped: it holds a missing value",
                  "5: outline 4 (m.nts (4)) skipped: the file ends after 2 of its 3 points"}));
}

TEST(NtsysReaderTest, FewerOrMoreOutlinesThanAnnouncedAreNamed) {
    EXPECT_EQ(ProblemsOf(ReadTextWith<CNtsysReader>("1 3 6 0\n0 0 4 0 0 4\n")),
              std::vector<std::string>{"2: the header announces 3 outlines, the file holds 1"});
    EXPECT_EQ(ProblemsOf(ReadTextWith<CNtsysReader>("1 1 6 0\n0 0 4 0 0 4\n7 7\n")),
              std::vector<std::string>{
                  "3: skipped: values after the last of the 1 outline the header announces"});
}

// ---- x-y lists ----

class IsXyListFileTest : public ::testing::TestWithParam<SDetectCase> {};

TEST_P(IsXyListFileTest, WantsThreePointRowsAfterAnOptionalHeader) {
    EXPECT_EQ(IsXyListFile(GetParam().content), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IsXyListFileTest,
    ::testing::Values(SDetectCase{"ImageJ", "1842\t981\r\n1855\t965\r\n1861\t949\r\n", true},
                      SDetectCase{"Header", "x,y\n1,2\n3,4\n5,7\n", true},
                      SDetectCase{"MeasurementExport",
                                  "\r\n\tArea\tPoints\r\n\t2.2\t1.2\t2.8\r\n\t\t1.3\t2.7\r\n\t\t1.4\t2.9\r\n",
                                  true},
                      SDetectCase{"TwoRows", "1 2\n3 4\n", false},
                      SDetectCase{"TwoHeaders", "x y\nmm mm\n1 2\n3 4\n5 6\n", false},
                      SDetectCase{"TextAmongTheFirstRows", "1 2\n3 4\nnote\n5 6\n7 8\n", false},
                      SDetectCase{"Text", "field notes\nsample K3\n", false}),
    CaseName);

TEST(XyListReaderTest, PointsAreTheLastTwoNumbersOfEachRowWhateverTheSeparator) {
    const CSpecimenFile file = ReadTextWith<CXyListReader>(
        "x;y\n0,5;0,25\n4;0\n4,5;4\n\n"      // semicolons with decimal commas
        "label 9 0 0 A\n4,0\n1\t\t4\n0 4\n", // the last two numbers, any separator
        "l.csv");
    EXPECT_EQ(Contours(file), "(0.5 0.25)(4 0)(4.5 4);(0 0)(4 0)(1 4)(0 4);");
    EXPECT_EQ(file.specimens[1]->ShortPathName, "l.csv (2)");
    EXPECT_EQ(file.specimens[0]->FileType, "XY List");
    EXPECT_EQ(file.Summary("l.csv"), "l.csv: 2 specimens (x-y list); header rows skipped");
}

TEST(XyListReaderTest, ARepeatedFirstPointClosesTheOutlineAndIsDropped) {
    const SpecimenList list = ReadAllAs<CXyListReader>("0 0\n4 0\n4 4\n0 4\n0 0\n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(0 0)(4 0)(4 4)(0 4)");
}

TEST(XyListReaderTest, DamagedRowsAreSkippedAndNamed) {
    const CSpecimenFile file = ReadTextWith<CXyListReader>(
        "0 0\n4 0\nnan 3\n1e39 2\n4 4\n0 4\n\n1 1\n2 2\n\n0 0\n5 0\n0 5", "d.txt");
    EXPECT_EQ(Contours(file), "(0 0)(4 0)(4 4)(0 4);(0 0)(5 0)(0 5);");
    EXPECT_EQ(ProblemsOf(file),
              (std::vector<std::string>{
                  "3: skipped: a row without two numbers",
                  "8: d.txt (2) skipped: fewer than three points",
                  "13: the file ends inside this point line, without a line end: it is probably "
                  "cut"}));
}

} // namespace
