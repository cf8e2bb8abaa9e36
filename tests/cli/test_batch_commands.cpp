// The analyze, render and convert commands of the batch tool: the results they leave behind,
// and that a failing run leaves nothing half-written.
#include "analyze_command.h"
#include "cluster/cluster_parameter.h"
#include "convert_command.h"
#include "formats/specimen_file.h"
#include "headless.h"
#include "model/specimen.h"
#include "render_command.h"
#include "scratch_folder.h"

#include <QGuiApplication>
#include <QImage>
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
        if (!line.empty() && line.back() == '\r') // text files end their lines with CR LF
            line.pop_back();
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
          "area_ventral.tsv", "area_total.tsv", "overlay.png", "overlay.svg", "report.pdf",
          "pca_variance.tsv", "pca_scores.tsv", "morphospace.png", "morphospace.svg"})
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

// The mean has no outline; its picture shows its cluster curves in the mean colour.
TEST_F(AnalyzeSamples, TheMeanSpecimenPictureShowsItsCurves) {
    ASSERT_EQ(exitCode_, 0);
    fs::path mean;
    for (const auto& entry : fs::directory_iterator(Out() / "specimens"))
        if (entry.path().filename().string().find("Mean Specimen") != std::string::npos)
            mean = entry.path();
    ASSERT_FALSE(mean.empty());
    const QImage image(QString::fromStdString(mean.string()));
    ASSERT_FALSE(image.isNull());
    const ColorRef c = CClusterParameter().MeanSpecimenColor;
    const QRgb colour = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    int pixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            pixels += image.pixel(x, y) == colour;
    EXPECT_GT(pixels, 500);
}

TEST_F(AnalyzeSamples, ReportHasOverlayListMorphospaceAndOnePagePerMember) {
    ASSERT_EQ(exitCode_, 0);
    const std::string pdf = Slurp(Out() / "report.pdf");
    const std::regex page("/Type\\s*/Page[^s]");
    const std::ptrdiff_t pages =
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator());
    // A4 less two 5 mm margins leaves 287 mm: (287 - 21) * 0.189 = 50 list lines a page.
    const long members = static_cast<long>(CountSpecimens(kSamples)) + 1;
    EXPECT_EQ(pages, 1 + (members + 49) / 50 + 1 + members);
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

// Each score column's variance over the members (whose scores have mean 0) is the variance
// the variance table gives for that component; the mean specimen is the last row.
TEST_F(AnalyzeSamples, ScoresTableAgreesWithTheVarianceTable) {
    ASSERT_EQ(exitCode_, 0);
    const auto variance = ReadTable(Out() / "pca_variance.tsv");
    const auto scores = ReadTable(Out() / "pca_scores.tsv");
    const std::size_t members = CountSpecimens(kSamples);
    ASSERT_EQ(variance.size(), members); // n - 1 components, and the header
    EXPECT_EQ(variance[0],
              (std::vector<std::string>{"Component", "Variance", "Share", "Cumulative share"}));
    EXPECT_NEAR(std::stod(variance.back()[3]), 1.0, 1e-4);
    ASSERT_EQ(scores.size(), members + 2);
    const std::vector<std::string> fields = {"Specimen", "Locality",   "Sex",
                                             "Stage",    "Identifier", "Comment"};
    ASSERT_GT(scores[0].size(), fields.size());
    EXPECT_TRUE(std::equal(fields.begin(), fields.end(), scores[0].begin()));
    EXPECT_EQ(scores.back()[0], "<Mean Specimen>");
    EXPECT_EQ(scores[1][5], "Cyprideis");
    for (std::size_t k = 0; k + fields.size() < scores[0].size(); ++k) {
        EXPECT_EQ(scores[0][fields.size() + k], "PC" + std::to_string(k + 1));
        double squares = 0.0;
        for (std::size_t r = 1; r <= members; ++r)
            squares += std::pow(std::stod(scores[r][fields.size() + k]), 2);
        const double expected = std::stod(variance[k + 1][1]);
        EXPECT_NEAR(squares / static_cast<double>(members - 1), expected, 1e-3 * expected)
            << "PC" << k + 1;
    }
}

// --group-by and --components reach the picture: the legend names the comment's first word,
// the horizontal axis is PC2. Components the analysis lacks are brought into range with a note.
TEST_F(AnalyzeSamples, RenderGroupsAndChoosesComponents) {
    ASSERT_EQ(exitCode_, 0);
    const fs::path grouped = scratch_->Path() / "grouped";
    CMorphospaceOptions options;
    options.groupBy = CGroupField::Comment;
    ASSERT_EQ(ParseComponents("2,1", options), "");
    std::ostringstream out, err;
    ASSERT_EQ(RunRender((Out() / "document.xml").string(), grouped.string(), 4, options, out, err),
              0)
        << err.str();
    const std::string svg = Slurp(grouped / "morphospace.svg");
    EXPECT_NE(svg.find("Cyprideis (6)"), std::string::npos);
    EXPECT_LT(svg.find(">PC2 ("), svg.find(">PC1 ("));
    EXPECT_EQ(err.str().find("components"), std::string::npos);

    ASSERT_EQ(ParseComponents("9,1", options), "");
    ASSERT_EQ(RunRender((Out() / "document.xml").string(), (grouped / "far").string(), 4, options,
                        out, err),
              0);
    EXPECT_NE(err.str().find("the morphospace has 5 components; it shows PC5 and PC1"),
              std::string::npos)
        << err.str();
}

TEST_F(AnalyzeSamples, RenderOfTheDocumentSavesItByteForByte) {
    ASSERT_EQ(exitCode_, 0);
    const fs::path again = scratch_->Path() / "again";
    std::ostringstream out, err;
    ASSERT_EQ(RunRender((Out() / "document.xml").string(), again.string(), 4, {}, out, err), 0)
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
    EXPECT_EQ(RunRender(scratch.Write("broken.xml", "<CarinovaDocument><Specimen"), o.outDir, 4, {},
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

// Two members give no morphospace: the run succeeds, says why, and writes none of its files.
TEST(BatchMorphospace, FewerThanThreeMembersWriteNoMorphospace) {
    CScratchFolder scratch;
    CAnalyzeOptions o;
    o.files = {std::string(CARINOVA_SAMPLES_DIR) + "/valves.txt"};
    o.outDir = (scratch.Path() / "out").string();
    std::ostringstream out, err;
    ASSERT_EQ(RunAnalyze(o, out, err), 0) << err.str();
    EXPECT_NE(err.str().find("no morphospace: The morphospace needs at least 3 cluster members; "
                             "the cluster has 2."),
              std::string::npos)
        << err.str();
    for (const char* name : {"pca_variance.tsv", "pca_scores.tsv", "morphospace.png"})
        EXPECT_FALSE(fs::exists(fs::path(o.outDir) / name)) << name;
    EXPECT_TRUE(fs::exists(fs::path(o.outDir) / "report.pdf"));
}

TEST(BatchMorphospace, ComponentsOption) {
    struct {
        const char* text;
        bool ok;
        int x, y;
    } const cases[] = {{"1,2", true, 0, 1},  {"3,1", true, 2, 0},   {"2,2", true, 1, 1},
                       {"0,1", false, 0, 0}, {"1", false, 0, 0},    {"1,2,3", false, 0, 0},
                       {"a,b", false, 0, 0}, {"1, 2", false, 0, 0}, {"", false, 0, 0}};
    for (const auto& c : cases) {
        CMorphospaceOptions o;
        const std::string error = ParseComponents(c.text, o);
        EXPECT_EQ(error.empty(), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(o.xComponent, c.x) << c.text;
            EXPECT_EQ(o.yComponent, c.y) << c.text;
        }
    }
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
