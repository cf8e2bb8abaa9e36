// The analyze, render and convert commands of the batch tool: the results they leave behind,
// and that a failing run leaves nothing half-written.
#include "analyze_command.h"
#include "convert_command.h"
#include "formats/specimen_file.h"
#include "headless.h"
#include "model/specimen.h"
#include "render_command.h"
#include "scratch_folder.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// The pictures are drawn with QtGui, which needs an application object.
class CQtEnvironment : public testing::Environment {
public:
    void SetUp() override {
        EnsureHeadlessPlatform();
        static int argc = 1;
        static char name[] = "test_cli";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QGuiApplication> app_;
};
[[maybe_unused]] testing::Environment* const qtEnvironment =
    testing::AddGlobalTestEnvironment(new CQtEnvironment);

const std::string kSamples = std::string(CARINOVA_SAMPLES_DIR) + "/valves.tps";

std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::size_t CountSpecimens(const std::string& file) {
    return ReadSpecimenFile(file).specimens.size();
}

std::vector<std::vector<std::string>> ReadTable(const fs::path& file) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(Slurp(file));
    for (std::string line; std::getline(in, line);) {
        rows.emplace_back();
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            rows.back().push_back(cell);
    }
    return rows;
}

std::vector<std::string> FilesUnder(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        names.push_back(fs::relative(entry.path(), dir).string());
    std::sort(names.begin(), names.end());
    return names;
}

class AnalyzeSamples : public testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = new CScratchFolder;
        CAnalyzeOptions o;
        o.files = {kSamples};
        o.outDir = (scratch_->Path() / "out").string();
        o.mean = true;
        std::ostringstream out, err;
        exitCode_ = RunAnalyze(o, out, err);
        summary_ = out.str();
    }
    static void TearDownTestSuite() { delete scratch_; }
    static fs::path Out() { return scratch_->Path() / "out"; }

    static inline CScratchFolder* scratch_ = nullptr;
    static inline int exitCode_ = -1;
    static inline std::string summary_;
};

TEST_F(AnalyzeSamples, WritesEveryResultFile) {
    ASSERT_EQ(exitCode_, 0);
    const std::size_t n = CountSpecimens(kSamples);
    for (const char* name :
         {"document.xml", "export.txt", "mean_delta_quadrat.tsv", "area_dorsal.tsv",
          "area_ventral.tsv", "area_total.tsv", "overlay.png", "overlay.svg", "report.pdf"})
        EXPECT_GT(fs::file_size(Out() / name), 0u) << name;
    std::size_t pictures = 0;
    for (const auto& entry : fs::directory_iterator(Out() / "specimens"))
        pictures += entry.path().extension() == ".png";
    EXPECT_EQ(pictures, n + 1) << "one per member, the mean included";
    for (const auto& entry : fs::directory_iterator(Out()))
        EXPECT_NE(entry.path().filename().string().rfind(".carinova-partial", 0), 0u)
            << "staging folder left";
    EXPECT_NE(summary_.find("Reference: "), std::string::npos);
}

TEST_F(AnalyzeSamples, ReportHasOverlayListAndOnePagePerMember) {
    ASSERT_EQ(exitCode_, 0);
    const std::string pdf = Slurp(Out() / "report.pdf");
    const std::regex page("/Type\\s*/Page[^s]");
    const std::ptrdiff_t pages =
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator());
    // A4 less two 5 mm margins leaves 287 mm: (287 - 21) * 0.189 = 50 list lines a page.
    const long members = static_cast<long>(CountSpecimens(kSamples)) + 1;
    EXPECT_EQ(pages, 1 + (members + 49) / 50 + members);
}

TEST_F(AnalyzeSamples, PairwiseTablesAreSquareWithAZeroDiagonal) {
    ASSERT_EQ(exitCode_, 0);
    const std::size_t members = CountSpecimens(kSamples) + 1;
    for (const char* name : {"mean_delta_quadrat.tsv", "area_dorsal.tsv", "area_total.tsv"}) {
        const auto rows = ReadTable(Out() / name);
        ASSERT_EQ(rows.size(), members + 1) << name;
        for (std::size_t r = 1; r < rows.size(); ++r) {
            ASSERT_EQ(rows[r].size(), members + 1) << name;
            EXPECT_DOUBLE_EQ(std::stod(rows[r][r]), 0.0) << name << " row " << r;
        }
    }
}

TEST_F(AnalyzeSamples, RenderOfTheDocumentSavesItByteForByte) {
    ASSERT_EQ(exitCode_, 0);
    const fs::path again = scratch_->Path() / "again";
    std::ostringstream out, err;
    ASSERT_EQ(RunRender((Out() / "document.xml").string(), again.string(), 4, out, err), 0)
        << err.str();
    EXPECT_EQ(Slurp(again / "document.xml"), Slurp(Out() / "document.xml"));
    EXPECT_EQ(FilesUnder(again), FilesUnder(Out()));
    EXPECT_EQ(Slurp(again / "area_total.tsv"), Slurp(Out() / "area_total.tsv"));
}

TEST(BatchFailures, LeaveNothingBehindAndSayWhy) {
    CScratchFolder scratch;
    const std::string blocker = scratch.Write("blocker", "a file where the folder should be");
    std::ostringstream out, err;
    CAnalyzeOptions o;
    o.files = {kSamples};
    o.outDir = blocker;
    EXPECT_EQ(RunAnalyze(o, out, err), 1);
    EXPECT_NE(err.str().find("cannot create the output folder"), std::string::npos) << err.str();

    o.outDir = (scratch.Path() / "out").string();
    o.reference = "no such specimen";
    EXPECT_EQ(RunAnalyze(o, out, err), 1);
    EXPECT_NE(err.str().find("no cluster member is named"), std::string::npos);
    EXPECT_FALSE(fs::exists(o.outDir));

    o.files = {(scratch.Path() / "missing.tps").string()};
    EXPECT_EQ(RunAnalyze(o, out, err), 1);
    EXPECT_EQ(RunConvert(o.files, o.outDir, out, err), 1);
    EXPECT_EQ(RunRender(scratch.Write("broken.xml", "<CarinovaDocument><Specimen"), o.outDir, 4,
                        out, err),
              1);
    EXPECT_NE(err.str().find("not a readable Carinova document"), std::string::npos);
    EXPECT_FALSE(fs::exists(o.outDir));
}

// Results written with a specimen left out exit 3 and name it; an input that gives nothing
// fails the run (1) before anything is written.
TEST(BatchExitStatus, PartialInputGivesThreeAndAFailedInputOne) {
    CScratchFolder scratch;
    const std::string text = Slurp(kSamples);
    const std::string cut = scratch.Write("cut.tps", text.substr(0, text.size() - 2000));
    CAnalyzeOptions o;
    o.files = {cut};
    o.outDir = (scratch.Path() / "partial").string();
    std::ostringstream out, err;
    EXPECT_EQ(RunAnalyze(o, out, err), 3);
    EXPECT_TRUE(fs::exists(fs::path(o.outDir) / "document.xml"));
    EXPECT_NE(err.str().find("cut.tps (6) skipped: the file ends after"), std::string::npos)
        << err.str();
    EXPECT_EQ(RunConvert({cut}, (scratch.Path() / "tps").string(), out, err), 3);
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.Path() / "tps"), {}), 5);

    o.files = {kSamples, scratch.Write("notes.txt", "no outline here\n")};
    o.outDir = (scratch.Path() / "failed").string();
    EXPECT_EQ(RunAnalyze(o, out, err), 1);
    EXPECT_FALSE(fs::exists(o.outDir));
}

TEST(ConvertCommand, WritesEachSpecimenAsAReadableTpsFile) {
    CScratchFolder scratch;
    std::ostringstream out, err;
    const fs::path dir = scratch.Path() / "tps";
    ASSERT_EQ(RunConvert({kSamples}, dir.string(), out, err), 0) << err.str();
    std::size_t written = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_EQ(CountSpecimens(entry.path().string()), 1u) << entry.path();
        ++written;
    }
    EXPECT_EQ(written, CountSpecimens(kSamples));
}

} // namespace
