#include "formats/morphosys_reader.h"
#include "formats/reader_test_support.h"
#include "formats/simple_file_reader.h"
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

std::string Lines(int count, const std::string& text) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text + "\n";
    return out;
}

class IsSimpleFileTest : public ::testing::TestWithParam<STestCase> {};

TEST_P(IsSimpleFileTest, LooksForPointsLineInFirstTenLines) {
    CScratchFolder folder;
    EXPECT_EQ(IsSimpleFile(folder.Write("f.txt", GetParam().content)), GetParam().expected);
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
    CScratchFolder folder;
    const std::string path = folder.Write("p.txt", "POINTS=2\n1.9 2.9\n-1.9 0.5\n");
    const SpecimenList list = ReadAllAs<CSimpleFileReader>(path);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), PointsText(AsStored({{1, 2}, {-1, 0}})));
    EXPECT_EQ(list[0]->FileType, "Simple File Format");
    EXPECT_EQ(list[0]->ShortPathName, "p.txt");
    EXPECT_EQ(list[0]->PathName, path);
    EXPECT_FALSE(list[0]->ScaleSpecified);
}

TEST(SimpleFileReaderTest, LinesBeforeTheBlockAreSkipped) {
    CScratchFolder folder;
    const SpecimenList list = ReadAllAs<CSimpleFileReader>(
        folder.Write("s.txt", Lines(20, "header 1 2") + "POINTS=3\r\n0 0\r\n4 0\r\n0 4\r\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(0 0)(4 0)(0 4)");
}

TEST(SimpleFileReaderTest, SeparatedBlocksGiveNumberedSpecimens) {
    CScratchFolder folder;
    const SpecimenList list = ReadAllAs<CSimpleFileReader>(folder.Write(
        "b.txt", "POINTS=3\n0 0\n4 0\n0 4\n\nPOINTS=3\n0 0\n5 0\n0 5\nend\nPOINTS=1\n2 2\n"));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->ShortPathName, "b.txt");
    EXPECT_EQ(list[1]->ShortPathName, "b.txt (2)");
    EXPECT_EQ(list[2]->ShortPathName, "b.txt (3)");
    EXPECT_EQ(PointsText(list[1]->Contour), "(0 0)(5 0)(0 5)");
    EXPECT_EQ(PointsText(list[2]->Contour), "(2 2)");
}

TEST(SimpleFileReaderTest, BackToBackBlocksLoseTheSecond) {
    CScratchFolder folder;
    const SpecimenList list = ReadAllAs<CSimpleFileReader>(
        folder.Write("bb.txt", "POINTS=3\n0 0\n4 0\n0 4\nPOINTS=3\n0 0\n5 0\n0 5\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(0 0)(4 0)(0 4)");
}

TEST(SimpleFileReaderTest, PointLineWithoutTwoNumbersRepeatsPreviousPoint) {
    CScratchFolder folder;
    const SpecimenList list =
        ReadAllAs<CSimpleFileReader>(folder.Write("r.txt", "POINTS=5\n-\n3.5 0\n\n3 3.99\n9\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour),
              PointsText(AsStored({{0, 0}, {3, 0}, {3, 0}, {3, 3}, {3, 3}})));
}

class SimpleBrokenTest : public ::testing::TestWithParam<STestCase> {};

// Hostile files end quickly; `expected` says whether one specimen is read.
TEST_P(SimpleBrokenTest, EndsCleanly) {
    CScratchFolder folder;
    const auto start = std::chrono::steady_clock::now();
    const SpecimenList list =
        ReadAllAs<CSimpleFileReader>(folder.Write("x.txt", GetParam().content));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
    EXPECT_EQ(list.size(), GetParam().expected ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimpleBrokenTest,
    ::testing::Values(STestCase{"Truncated", "POINTS=4\n0 0\n1 1\n", false},
                      STestCase{"HugeCount", "POINTS=2000000000\n0 0\n1 1\n", false},
                      STestCase{"SaturatedCount", "POINTS=99999999999999\n0 0\n", false},
                      STestCase{"NegativeCount", "POINTS=-3\n0 0\n", true},
                      STestCase{"NoPointsLine", Lines(50, "1 2"), false},
                      STestCase{"Empty", "", false},
                      STestCase{"Binary", "POINTS=2\n\x00\x01\n\xff\n"s, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimpleFileReaderTest, NonFiniteAndHugeCoordinatesSaturate) {
    CScratchFolder folder;
    const SpecimenList list = ReadAllAs<CSimpleFileReader>(
        folder.Write("h.txt", "POINTS=1\n1e30 nan\nPOINTS=1\n-inf 5\n\n"));
    ASSERT_EQ(list.size(), 1u);
    ASSERT_EQ(list[0]->Contour.size(), 1u);
    EXPECT_EQ(list[0]->Contour[0].x, 2147483648.0f); // INT_MAX as a float
    EXPECT_EQ(list[0]->Contour[0].y, 0.0f);
}

TEST(SimpleFileReaderTest, FiveMegabyteLineIsReadInPieces) {
    CScratchFolder folder;
    const std::string huge(5 * 1024 * 1024, '7');
    const auto start = std::chrono::steady_clock::now();
    const SpecimenList list =
        ReadAllAs<CSimpleFileReader>(folder.Write("l.txt", "POINTS=2\n1 2\n" + huge + "\n"));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
    // The second point line is the first 1022-character piece: one number, the previous point.
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(PointsText(list[0]->Contour), "(1 2)(1 2)");
}

TEST(SimpleFileReaderTest, MissingFileOrFolderFails) {
    CScratchFolder folder;
    EXPECT_FALSE(IsSimpleFile((folder.Path() / "none.txt").string()));
    EXPECT_TRUE(ReadAllAs<CSimpleFileReader>((folder.Path() / "none.txt").string()).empty());
    EXPECT_TRUE(ReadAllAs<CSimpleFileReader>(folder.Path().string()).empty());
}

enum class EReader { None, Tps, Morphosys, Simple };

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
    return dynamic_cast<const CSimpleFileReader*>(reader) ? EReader::Simple : EReader::None;
}

class ReaderFactoryTest : public ::testing::TestWithParam<SFactoryCase> {};

TEST_P(ReaderFactoryTest, TriesTpsThenMorphosysThenSimple) {
    CScratchFolder folder;
    const std::string path = folder.Write("any.dat", GetParam().content);
    const std::unique_ptr<CSpecimenReader> reader = CreateSpecimenReader(path);
    EXPECT_EQ(KindOf(reader.get()), GetParam().expected);
    if (reader) {
        EXPECT_EQ(reader->GetPath(), path);
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
        SFactoryCase{"Nothing", "1 2\n3 4\n", EReader::None},
        SFactoryCase{"Empty", "", EReader::None}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReaderFactoryTest, MissingFileHasNoReader) {
    CScratchFolder folder;
    EXPECT_EQ(CreateSpecimenReader((folder.Path() / "none").string()), nullptr);
    EXPECT_EQ(CreateSpecimenReader(folder.Path().string()), nullptr);
}

} // namespace
