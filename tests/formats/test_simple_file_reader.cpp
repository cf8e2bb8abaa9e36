#include "formats/chain_code_reader.h"
#include "formats/morphosys_reader.h"
#include "formats/ntsys_reader.h"
#include "formats/reader_factory.h"
#include "formats/reader_test_support.h"
#include "formats/simple_file_reader.h"
#include "formats/tps_reader.h"
#include "formats/xy_list_reader.h"

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

std::string Lines(int count, const std::string& text) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text + "\n";
    return out;
}

class IsSimpleFileTest : public ::testing::TestWithParam<STestCase> {};

TEST_P(IsSimpleFileTest, LooksForPointsLineInFirstTenLines) {
    EXPECT_EQ(IsSimpleFile(GetParam().content), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IsSimpleFileTest,
    ::testing::Values(STestCase{"FirstLine", "POINTS=3\n", true},
                      STestCase{"TenthLine", Lines(9, "text") + "POINTS=3\n", true},
                      STestCase{"EleventhLine", Lines(10, "text") + "POINTS=3\n", false},
                      STestCase{"LowerCase", "points=3\n", false},
                      STestCase{"Indented", "  POINTS=3\n", false},
                      STestCase{"NoNumber", "POINTS=\n", false},
                      STestCase{"PlainList", "1 2\n3 4\n", false}, STestCase{"Empty", "", false},
                      STestCase{"Binary", "\x00POINTS=3\n\xff\xfe"s, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimpleFileReaderTest, CoordinatesAreTruncatedTowardZero) {
    const SpecimenList list =
        ReadAllAs<CSimpleFileReader>("POINTS=2\n1.9 2.9\n-1.9 0.5\n", "/data/p.txt");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), PointsText(AsStored({{1, 2}, {-1, 0}})));
    EXPECT_EQ(list[0]->FileType, "Simple File Format");
    EXPECT_EQ(list[0]->ShortPathName, "p.txt");
    EXPECT_EQ(list[0]->PathName, "/data/p.txt");
    EXPECT_FALSE(list[0]->ScaleSpecified);
}

TEST(SimpleFileReaderTest, LinesBeforeTheBlockAreSkipped) {
    const CSpecimenFile file = ReadTextWith<CSimpleFileReader>(
        Lines(20, "header 1 2") + "POINTS=3\r\n0 0\r\n4 0\r\n0 4\r\n");
    ASSERT_EQ(file.specimens.size(), 1u);
    EXPECT_EQ(PointsText(file.specimens[0]->Contour), "(0 0)(4 0)(0 4)");
    EXPECT_EQ(file.Outcome(), CSpecimenFile::EOutcome::Complete);
}

TEST(SimpleFileReaderTest, SeparatedBlocksGiveNumberedSpecimens) {
    const SpecimenList list = ReadAllAs<CSimpleFileReader>(
        "POINTS=3\n0 0\n4 0\n0 4\n\nPOINTS=3\n0 0\n5 0\n0 5\nend\nPOINTS=1\n2 2\n", "b.txt");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->ShortPathName, "b.txt");
    EXPECT_EQ(list[1]->ShortPathName, "b.txt (2)");
    EXPECT_EQ(list[2]->ShortPathName, "b.txt (3)");
    EXPECT_EQ(PointsText(list[1]->Contour), "(0 0)(5 0)(0 5)");
    EXPECT_EQ(PointsText(list[2]->Contour), "(2 2)");
}

// A block right after another is no longer lost: its POINTS= line is not the dropped line.
TEST(SimpleFileReaderTest, BackToBackBlocksAreBothRead) {
    const SpecimenList list =
        ReadAllAs<CSimpleFileReader>("POINTS=3\n0 0\n4 0\n0 4\nPOINTS=3\n0 0\n5 0\n0 5\n");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(PointsText(list[1]->Contour), "(0 0)(5 0)(0 5)");
}

struct SDamagedCase {
    const char* name;
    std::string content;
    const char* points; // the contours read, one after the other
    std::vector<std::string> problems;
    friend void PrintTo(const SDamagedCase& c, std::ostream* os) { *os << c.name; }
};

class SimpleDamagedTest : public ::testing::TestWithParam<SDamagedCase> {};

TEST_P(SimpleDamagedTest, KeepsWhatCanBeReadAndNamesTheRest) {
    const CSpecimenFile file = ReadTextWith<CSimpleFileReader>(GetParam().content, "s.txt");
    std::string points;
    for (const auto& specimen : file.specimens)
        points += PointsText(specimen->Contour) + ";";
    EXPECT_EQ(points, GetParam().points);
    EXPECT_EQ(ProblemsOf(file), GetParam().problems);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimpleDamagedTest,
    ::testing::Values(
        SDamagedCase{"PointLineWithoutTwoNumbers", "POINTS=6\n-\n3.5 0\n\n3 3.99\n9\n0 3\n",
                     "(3 0)(3 0)(3 3)(3 3)(0 3);",
                     {"2: no two numbers in a first point line: the line skipped",
                      "4: no two numbers in a point line: the previous point repeated",
                      "6: no two numbers in a point line: the previous point repeated"}},
        // Not a number, infinite or beyond the int range: no saturated coordinate, ever.
        SDamagedCase{"NonFiniteAndHugeCoordinates",
                     "POINTS=6\n0 0\n1e30 5\nnan nan\n4 0\ninf 1\n0x1p40 4\n",
                     "(4 0)(4 0)(4 0)(0 0)(0 0)(0 0);",
                     {"3: no two numbers in a point line: the previous point repeated",
                      "6: no two numbers in a point line: the previous point repeated"}},
        SDamagedCase{"CountTooLow", "POINTS=2\n0 0\n4 0\n4 4\n0 4\n", "(4 0)(0 0);",
                     {"4: skipped: point lines beyond the count of their POINTS= line"}},
        SDamagedCase{"CountTooHigh", "POINTS=5\n0 0\n4 0\n0 4\nPOINTS=3\n0 0\n5 0\n0 5\n",
                     "(0 0)(4 0)(0 4);(0 0)(5 0)(0 5);",
                     {"1: POINTS=5 but only 3 points follow"}},
        SDamagedCase{"Truncated", "POINTS=3\n0 0\n1 1\n1 0\nPOINTS=4\n0 0\n1 1\n",
                     "(1 0)(1 1)(0 0);",
                     {"5: s.txt (2) skipped: the file ends after 2 of 4 points; it is probably "
                      "cut"}},
        SDamagedCase{"LastPointLineWithoutLineEnd", "POINTS=3\n0 0\n4 0\n0 4", "(0 0)(4 0)(0 4);",
                     {"4: the file ends inside this point line, without a line end: it is "
                      "probably cut"}},
        SDamagedCase{"HugeCount", "POINTS=2000000000\n0 0\n1 1\n", "",
                     {"1: s.txt skipped: the file ends after 2 of 2000000000 points; it is "
                      "probably cut"}},
        SDamagedCase{"NegativeCount", "POINTS=-3\n0 0\n", "",
                     {"2: skipped: point lines beyond the count of their POINTS= line",
                      "1: s.txt skipped: it has no outline points"}},
        SDamagedCase{"CarriageReturnsOnlyEndLines", "POINTS=2\r0 0\r4 4\r", "(4 4)(0 0);", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimpleFileReaderTest, FiveMegabyteLineIsOneLine) {
    const std::string huge(5 * 1024 * 1024, '7');
    const auto start = std::chrono::steady_clock::now();
    const SpecimenList list = ReadAllAs<CSimpleFileReader>("POINTS=2\n1 2\n" + huge + "\n");
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
    // The second point line holds one number: the previous point.
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(1 2)(1 2)");
}

enum class EReader { None, Tps, Morphosys, Simple, ChainCode, Ntsys, XyList };

struct SFactoryCase {
    const char* name;
    std::string content;
    EReader expected;
    friend void PrintTo(const SFactoryCase& c, std::ostream* os) { *os << c.name; }
};

EReader KindOf(const CSpecimenReader* reader) {
    if (!reader)
        return EReader::None;
    if (dynamic_cast<const CTpsReader*>(reader))
        return EReader::Tps;
    if (dynamic_cast<const CMorphosysReader*>(reader))
        return EReader::Morphosys;
    if (dynamic_cast<const CSimpleFileReader*>(reader))
        return EReader::Simple;
    if (dynamic_cast<const CChainCodeReader*>(reader))
        return EReader::ChainCode;
    if (dynamic_cast<const CNtsysReader*>(reader))
        return EReader::Ntsys;
    return dynamic_cast<const CXyListReader*>(reader) ? EReader::XyList : EReader::None;
}

class ReaderFactoryTest : public ::testing::TestWithParam<SFactoryCase> {};

TEST_P(ReaderFactoryTest, TriesTheSpecifiedFormatsFirst) {
    const std::unique_ptr<CSpecimenReader> reader =
        CreateSpecimenReader("any.dat", GetParam().content);
    EXPECT_EQ(KindOf(reader.get()), GetParam().expected);
    if (reader) {
        EXPECT_EQ(reader->GetPath(), "any.dat");
        EXPECT_EQ(reader->GetSpecimenNumber(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReaderFactoryTest,
    ::testing::Values(
        SFactoryCase{"Tps", "LM=0\nOUTLINES=1\nPOINTS=1\n1 1\n", EReader::Tps},
        SFactoryCase{"TpsOnSecondLineWinsOverSimple", "POINTS=1\nLM=0\n", EReader::Tps},
        SFactoryCase{"TpsWinsOverMorphosys", "F 1 v\nLM=2\n", EReader::Tps},
        SFactoryCase{"MorphosysWinsOverSimple", "F 1 v\nPOINTS=1\n", EReader::Morphosys},
        SFactoryCase{"Simple", "valves\nPOINTS=1\n1 1\n", EReader::Simple},
        SFactoryCase{"SimpleWinsOverAList", "POINTS=3\n1 1\n2 1\n1 2\n", EReader::Simple},
        SFactoryCase{"ChainCode", "A 1 2 0.0 7 0 2 4 6 -1\n", EReader::ChainCode},
        SFactoryCase{"Ntsys", "\" wings\n1 2 6 0\n1 2 3 4 5 6\n1 2 3 4 5 6\n", EReader::Ntsys},
        SFactoryCase{"XyList", "x\ty\n1\t2\n3\t4\n5\t7\n", EReader::XyList},
        SFactoryCase{"TwoPointsAreNoList", "1 2\n3 4\n", EReader::None},
        SFactoryCase{"Text", "field notes\nsample K3\n", EReader::None},
        SFactoryCase{"Empty", "", EReader::None}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
