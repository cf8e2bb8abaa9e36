// The "info" command of the batch tool, run on the sample files and on files it must refuse.
#include "info_command.h"

#include "formats/specimen_file.h"
#include "model/specimen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string SamplePath(const std::string& name) {
    return std::string(CARINOVA_SAMPLES_DIR) + "/" + name;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
        cells.push_back(line.substr(start, tab - start));
    }
    cells.push_back(line.substr(start));
    return cells;
}

double ParseNumber(const std::string& text) {
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(result.ec == std::errc() && result.ptr == text.data() + text.size())
        << "not a C-locale number: " << text;
    return value;
}

struct SRun {
    int status = 0;
    std::string out;
    std::string err;
};

SRun RunCommand(const std::vector<std::string>& files, bool tsv) {
    std::ostringstream out;
    std::ostringstream err;
    SRun run;
    run.status = RunInfo(files, tsv, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

// A folder of its own under the system's temporary folder, removed afterwards.
class InfoCommandFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Parametrised test names hold a '/', which must not make a nested folder.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        folder_ = fs::temp_directory_path() /
                  ("carinova_cli_" + name + "_" +
                   std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    std::string WriteFile(const std::string& name, const std::string& content) {
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }
    fs::path folder_;
};

const std::vector<std::string> kSampleFiles = {"valves.tps", "valves.msd", "valves.txt"};

std::vector<std::string> SamplePaths() {
    std::vector<std::string> paths;
    for (const std::string& name : kSampleFiles) {
        paths.push_back(SamplePath(name));
    }
    return paths;
}

TEST(InfoCommand, ListsEverySampleSpecimenInAnAlignedTable) {
    const SRun run = RunCommand(SamplePaths(), false);
    EXPECT_EQ(run.status, 0);
    // Every file is named with its reader and what it gave.
    EXPECT_EQ(run.err, "carinova-cli: " + SamplePath("valves.tps") + ": 6 specimens (TPS); "
                       "2 landmarks kept with each of 6 specimens\n"
                       "carinova-cli: " + SamplePath("valves.msd") + ": 2 specimens (Morphosys)\n"
                       "carinova-cli: " + SamplePath("valves.txt") + ": 2 specimens (simple)\n");
    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 1u + 6u + 2u + 2u);
    EXPECT_EQ(lines[0].rfind("Name ", 0), 0u);
    EXPECT_NE(lines[0].find("Ventral"), std::string::npos);
    EXPECT_EQ(lines[6].rfind("valves.tps (6) ", 0), 0u);
    EXPECT_EQ(lines[7].rfind("valves.msd ", 0), 0u);
    EXPECT_EQ(lines[10].rfind("valves.txt (2) ", 0), 0u);
    for (const std::string& line : lines) {
        // The last column is right-aligned, so aligned rows all end in the same place.
        EXPECT_EQ(line.size(), lines[0].size()) << line;
        EXPECT_EQ(line.find('\t'), std::string::npos);
    }
}

// The tab-separated rows carry what the readers give, number for number.
TEST(InfoCommand, TsvRowsHoldTheSpecimenStatistics) {
    const SRun run = RunCommand(SamplePaths(), true);
    EXPECT_EQ(run.status, 0);
    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(SplitTabs(lines[0]),
              (std::vector<std::string>{"Name", "Type", "Points", "Area", "Centroid x",
                                        "Centroid y", "Axis x", "Axis y", "Dorsal", "Ventral"}));
    std::size_t row = 1;
    for (const std::string& path : SamplePaths()) {
        for (const auto& specimen : ReadSpecimenFile(path).specimens) {
            const CSpecimen& s = *specimen;
            ASSERT_LT(row, lines.size());
            const std::vector<std::string> cells = SplitTabs(lines[row]);
            ASSERT_EQ(cells.size(), 10u) << lines[row];
            EXPECT_EQ(cells[0], s.ShortPathName);
            EXPECT_EQ(cells[1], s.FileType);
            EXPECT_EQ(ParseNumber(cells[2]), static_cast<double>(s.Contour.size()));
            EXPECT_NEAR(ParseNumber(cells[3]), s.GetArea(), 0.0051);
            EXPECT_NEAR(ParseNumber(cells[4]), s.Centroid.x, 0.00051);
            EXPECT_NEAR(ParseNumber(cells[5]), s.Centroid.y, 0.00051);
            EXPECT_NEAR(ParseNumber(cells[6]), s.FirstEigenvect.x, 5.1e-7);
            EXPECT_NEAR(ParseNumber(cells[7]), s.FirstEigenvect.y, 5.1e-7);
            EXPECT_EQ(ParseNumber(cells[8]), static_cast<double>(s.GetUpperHalf().size()));
            EXPECT_EQ(ParseNumber(cells[9]), static_cast<double>(s.GetLowerHalf().size()));
            ++row;
        }
    }
    EXPECT_EQ(row, lines.size());
}

TEST(InfoCommand, MissingFileIsReported) {
    const std::string path = SamplePath("no-such-file.tps");
    const SRun run = RunCommand({path}, false);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "carinova-cli: " + path + ": cannot open file: No such file or directory\n");
    EXPECT_EQ(run.out, "");
}

TEST(InfoCommand, NoFilesListNothing) {
    const SRun run = RunCommand({}, false);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
}

TEST_F(InfoCommandFileTest, FolderCannotBeOpened) {
    const SRun run = RunCommand({folder_.string()}, false);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "carinova-cli: " + folder_.string() + ": cannot open file: it is a folder\n");
}

TEST_F(InfoCommandFileTest, GoodFileIsListedBesideAFailingOne) {
    const std::string notes = WriteFile("notes.txt", "field notes\nsample K3\n");
    const SRun run = RunCommand({notes, SamplePath("valves.txt")}, false);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "carinova-cli: " + notes +
                           ": not an outline file of a known format (TPS, Morphosys, simple, "
                           "chain code, NTSYS, x-y list)\n"
                           "carinova-cli: " + SamplePath("valves.txt") + ": 2 specimens (simple)\n");
    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].rfind("valves.txt ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("valves.txt (2) ", 0), 0u);
}

// Broken, truncated and hostile files: each is told with its message, never a crash. A file
// that gives nothing fails (1); one that gives something but not all of itself is partial (3).
struct SBadFile {
    const char* name;
    const char* content;
    const char* message; // after "carinova-cli: <path>: "
    int status;
};

void PrintTo(const SBadFile& file, std::ostream* out) {
    *out << file.name;
}

class InfoCommandBadFileTest : public InfoCommandFileTest,
                               public ::testing::WithParamInterface<SBadFile> {};

TEST_P(InfoCommandBadFileTest, IsToldWithItsMessageAndStatus) {
    const std::string path = WriteFile("input", std::string(GetParam().content));
    const SRun run = RunCommand({path}, true);
    EXPECT_EQ(run.status, GetParam().status);
    // One problem: the summary says it all, and nothing is repeated below it.
    EXPECT_EQ(run.err, "carinova-cli: " + path + ": " + GetParam().message + "\n");
    EXPECT_EQ(run.out.empty(), GetParam().status == 1);
}

const char kUnknown[] = "not an outline file of a known format (TPS, Morphosys, simple, chain "
                        "code, NTSYS, x-y list)";

INSTANTIATE_TEST_SUITE_P(
    Files, InfoCommandBadFileTest,
    ::testing::Values(
        SBadFile{"Empty", "", "the file is empty", 1},
        SBadFile{"PlainText", "x y\n1 2\n", kUnknown, 1},
        SBadFile{"Binary", "\x01\x02\xff\xfe\n\x7f\x80", kUnknown, 1},
        SBadFile{"TpsWithTitleFirst", "title\nLM=0\nOUTLINES=1\nPOINTS=1\n1 1\n",
                 "1 specimen (TPS); line 1: skipped: not part of a specimen (a specimen starts "
                 "with LM=)",
                 3},
        SBadFile{"TpsTruncatedPoints", "LM=0\nOUTLINES=1\nPOINTS=1000000000\n1 2\n3 4\n",
                 "no specimen (TPS); line 3: input skipped: the file ends after 2 of 1000000000 "
                 "points; it is probably cut",
                 1},
        SBadFile{"TpsCutInsideTheLastPointLine", "LM=0\nOUTLINES=1\nPOINTS=3\n1 1\n9 1\n1 7",
                 "1 specimen (TPS); line 6: the file ends inside this point line, without a line "
                 "end: it is probably cut",
                 3},
        SBadFile{"MorphosysWithoutChainHeader", "F 1 a\nx\n1 1 1 1 'mm'\n5 5 3\n",
                 "no specimen (Morphosys); line 4: input skipped: no \"C 1 :\" line where its "
                 "chain begins",
                 1},
        SBadFile{"MorphosysChainWithBadCode", "F 1 a\nx\n1 1 1 1 x\nC 1 : a\n5 5 3\n0141\n",
                 "no specimen (Morphosys); line 6: input skipped: a character that is no chain "
                 "code (0 to 3) in its chain",
                 1},
        SBadFile{"SimpleTruncated", "POINTS=5\n1 1\n2 2\n",
                 "no specimen (simple); line 1: input skipped: the file ends after 2 of 5 "
                 "points; it is probably cut",
                 1},
        SBadFile{"SimpleNotANumber", "POINTS=4\n0 0\n4 0\ninf 4\n0 4\n",
                 "1 specimen (simple); line 4: no two numbers in a point line: the previous point "
                 "repeated",
                 3}),
    [](const auto& info) { return std::string(info.param.name); });

// Problems that the summary only counts are then listed one by one, each with its line.
TEST_F(InfoCommandFileTest, ProblemsCountedInTheSummaryAreListedBelowIt) {
    const std::string path = WriteFile("twice.tps", "LM=0\nOUTLINES=1\nPOINTS=4\n0 0\nx\n4 4\ny\n"
                                                    "LM=0\nOUTLINES=1\nPOINTS=3\n0 0\n4 0\nz\n");
    const SRun run = RunCommand({path}, true);
    EXPECT_EQ(run.status, 3);
    const std::string repeated = "no two numbers in a point line: the previous point repeated";
    EXPECT_EQ(run.err, "carinova-cli: " + path + ": 2 specimens (TPS); " + repeated +
                           " (3 times, first at line 5)\n"
                           "carinova-cli: " + path + ", line 5: " + repeated + "\n"
                           "carinova-cli: " + path + ", line 7: " + repeated + "\n"
                           "carinova-cli: " + path + ", line 13: " + repeated + "\n");
}

// An outline too small for statistics is listed or reported, but the command goes on.
TEST_F(InfoCommandFileTest, DegenerateOutlineDoesNotStopTheListing) {
    const std::string single = WriteFile("single.msd", "F 1 a\nx\n1 1 1 1 x\nC 1 : a\n5 5 0\n");
    SRun run;
    ASSERT_NO_THROW(run = RunCommand({single, SamplePath("valves.txt")}, true));
    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 2].rfind("valves.txt\t", 0), 0u);
    EXPECT_EQ(lines.back().rfind("valves.txt (2)\t", 0), 0u);
}

} // namespace
