// The analyze, render and convert commands of the batch tool: the results they leave behind,
// the output choices, the exit statuses, and that a failing run leaves nothing half-written.
#include "analyze_command.h"
#include "cluster/cluster_comparison.h"
#include "cluster/cluster_parameter.h"
#include "cluster/spline_areas.h"
#include "convert_command.h"
#include "document/carinova_doc.h"
#include "document/cluster_data_export.h"
#include "exit_status.h"
#include "formats/reader_factory.h"
#include "formats/specimen_file.h"
#include "headless.h"
#include "model/specimen.h"
#include "pairwise_tables.h"
#include "platform/number_locale.h"
#include "platform/parallel_for.h"
#include "platform/scripted_interaction.h"
#include "progress.h"
#include "render_command.h"
#include "scratch_folder.h"

#include <QGuiApplication>
#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
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
    return CScratchFolder::ReadBytes(file);
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

// Every entry below the folder but the manifest, relative, sorted.
std::vector<std::string> FilesUnder(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.path().filename() != ".carinova-manifest")
            names.push_back(fs::relative(entry.path(), dir).string());
    std::sort(names.begin(), names.end());
    return names;
}

CRenderOptions RenderInto(const std::string& document, const std::string& dir) {
    CRenderOptions o;
    o.documentPath = document;
    o.outDir = dir;
    return o;
}

// A PDF without the moment it was made.
std::string PdfWithoutDates(const fs::path& file) {
    return std::regex_replace(Slurp(file), std::regex("/CreationDate \\([^)]*\\)"), "");
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
    ASSERT_EQ(exitCode_, kExitOk);
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
    for (const auto& entry : fs::directory_iterator(Out().parent_path()))
        EXPECT_EQ(entry.path().filename().string().rfind(".carinova", 0), std::string::npos)
            << "staging folder left: " << entry.path();
    EXPECT_NE(summary_.find("Reference: "), std::string::npos);
}

// The mean has no outline; its picture shows its cluster curves in the mean colour.
TEST_F(AnalyzeSamples, TheMeanSpecimenPictureShowsItsCurves) {
    ASSERT_EQ(exitCode_, kExitOk);
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
    ASSERT_EQ(exitCode_, kExitOk);
    const std::string pdf = Slurp(Out() / "report.pdf");
    const std::regex page("/Type\\s*/Page[^s]");
    const std::ptrdiff_t pages =
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator());
    // A4 less two 5 mm margins leaves 287 mm: (287 - 21) * 0.189 = 50 list lines a page.
    const long members = static_cast<long>(CountSpecimens(kSamples)) + 1;
    EXPECT_EQ(pages, 1 + (members + 49) / 50 + 1 + members);
}

TEST_F(AnalyzeSamples, PairwiseTablesAreSquareWithAZeroDiagonal) {
    ASSERT_EQ(exitCode_, kExitOk);
    const std::size_t members = CountSpecimens(kSamples) + 1;
    for (const char* name :
         {"mean_delta_quadrat.tsv", "area_dorsal.tsv", "area_ventral.tsv", "area_total.tsv"}) {
        const auto rows = ReadTable(Out() / name);
        ASSERT_EQ(rows.size(), members + 1) << name;
        for (std::size_t r = 1; r < rows.size(); ++r) {
            ASSERT_EQ(rows[r].size(), members + 1) << name;
            EXPECT_DOUBLE_EQ(std::stod(rows[r][r]), 0.0) << name << " row " << r;
        }
    }
}

// The three area tables come from one pass over the pairs; the total must still be the sum of
// the two sides, up to the four decimals printed.
TEST_F(AnalyzeSamples, AreaTotalIsDorsalPlusVentral) {
    ASSERT_EQ(exitCode_, 0);
    const auto dorsal = ReadTable(Out() / "area_dorsal.tsv");
    const auto ventral = ReadTable(Out() / "area_ventral.tsv");
    const auto total = ReadTable(Out() / "area_total.tsv");
    ASSERT_EQ(total.size(), dorsal.size());
    ASSERT_EQ(total.size(), ventral.size());
    int compared = 0;
    for (std::size_t r = 1; r < total.size(); ++r)
        for (std::size_t c = 1; c < total[r].size(); ++c) {
            if (r == c)
                continue;
            const double sum = std::stod(dorsal[r][c]) + std::stod(ventral[r][c]);
            EXPECT_NEAR(std::stod(total[r][c]), sum, 1.5e-4 + 1e-5 * sum) << r << "," << c;
            ++compared;
        }
    EXPECT_GT(compared, 0);
}

// Each score column's variance over the members (whose scores have mean 0) is the variance
// the variance table gives for that component; the mean specimen is the last row.
TEST_F(AnalyzeSamples, ScoresTableAgreesWithTheVarianceTable) {
    ASSERT_EQ(exitCode_, kExitOk);
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
    ASSERT_EQ(exitCode_, kExitOk);
    const fs::path grouped = scratch_->Path() / "grouped";
    CMorphospaceOptions options;
    options.groupBy = CGroupField::Comment;
    ASSERT_EQ(ParseComponents("2,1", options), "");
    std::ostringstream out, err;
    CRenderOptions render = RenderInto((Out() / "document.xml").string(), grouped.string());
    render.morphospace = options;
    ASSERT_EQ(RunRender(render, out, err), kExitOk) << err.str();
    const std::string svg = Slurp(grouped / "morphospace.svg");
    EXPECT_NE(svg.find("Cyprideis (6)"), std::string::npos);
    EXPECT_LT(svg.find(">PC2 ("), svg.find(">PC1 ("));
    EXPECT_EQ(err.str().find("components"), std::string::npos);

    ASSERT_EQ(ParseComponents("9,1", options), "");
    render.outDir = (grouped / "far").string();
    render.morphospace = options;
    ASSERT_EQ(RunRender(render, out, err), kExitOk);
    EXPECT_NE(err.str().find("the morphospace has 5 components; it shows PC5 and PC1"),
              std::string::npos)
        << err.str();
}

TEST_F(AnalyzeSamples, RenderOfTheDocumentSavesItByteForByte) {
    ASSERT_EQ(exitCode_, kExitOk);
    const fs::path again = scratch_->Path() / "again";
    std::ostringstream out, err;
    ASSERT_EQ(RunRender(RenderInto((Out() / "document.xml").string(), again.string()), out, err),
              kExitOk)
        << err.str();
    EXPECT_EQ(Slurp(again / "document.xml"), Slurp(Out() / "document.xml"));
    EXPECT_EQ(FilesUnder(again), FilesUnder(Out()));
    EXPECT_EQ(Slurp(again / "area_total.tsv"), Slurp(Out() / "area_total.tsv"));
}

// The document's own folder would get its copy under its own name: refused as a usage error,
// before anything is written; the same for a document that is one of the folder's results.
TEST_F(AnalyzeSamples, RenderIntoTheDocumentsOwnFolderIsRefused) {
    ASSERT_EQ(exitCode_, kExitOk);
    const std::string before = Slurp(Out() / "document.xml");
    const std::vector<std::string> files = FilesUnder(Out());
    std::ostringstream out, err;
    EXPECT_EQ(RunRender(RenderInto((Out() / "document.xml").string(), Out().string()), out, err),
              kExitUsage);
    EXPECT_NE(err.str().find("document.xml is an input of this run"), std::string::npos)
        << err.str();
    const fs::path own = scratch_->Path() / "own";
    fs::create_directories(own);
    fs::copy_file(Out() / "document.xml", own / "export.txt");
    EXPECT_EQ(RunRender(RenderInto((own / "export.txt").string(), own.string()), out, err),
              kExitUsage);
    EXPECT_EQ(Slurp(own / "export.txt"), before);
    EXPECT_EQ(Slurp(Out() / "document.xml"), before);
    EXPECT_EQ(FilesUnder(Out()), files);
}

// Which files each output choice leaves in the folder.
struct OutputCase {
    const char* name;
    COutputRequest request;
    std::vector<std::string> present;
    std::vector<std::string> absent;
    bool memberPictures;
    bool memberPages;
};

class AnalyzeOutputs : public testing::TestWithParam<OutputCase> {};

TEST_P(AnalyzeOutputs, WriteWhatIsAskedFor) {
    const OutputCase& c = GetParam();
    CScratchFolder scratch;
    CAnalyzeOptions o;
    o.files = {kSamples};
    o.outDir = (scratch.Path() / "out").string();
    o.outputs = c.request;
    std::ostringstream out, err;
    ASSERT_EQ(RunAnalyze(o, out, err), kExitOk) << err.str();
    const fs::path dir = o.outDir;
    for (const std::string& name : c.present)
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    for (const std::string& name : c.absent)
        EXPECT_FALSE(fs::exists(dir / name)) << name;
    EXPECT_EQ(fs::exists(dir / "specimens"), c.memberPictures);
    if (fs::exists(dir / "report.pdf")) {
        const std::string pdf = Slurp(dir / "report.pdf");
        const std::regex page("/Type\\s*/Page[^s]");
        const auto pages = std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page),
                                         std::sregex_iterator());
        EXPECT_EQ(pages, c.memberPages ? 3 + 6 : 3)
            << "overlay, list and morphospace, then one per member";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, AnalyzeOutputs,
    testing::Values(OutputCase{"Defaults",
                               {},
                               {"document.xml", "export.txt", "mean_delta_quadrat.tsv",
                                "area_total.tsv", "overlay.png", "overlay.svg", "report.pdf",
                                "pca_scores.tsv", "morphospace.png", "morphospace.svg"},
                               {},
                               true,
                               true},
                    OutputCase{"RmsOnly",
                               {"rms", "none", "none"},
                               {"document.xml", "export.txt", "mean_delta_quadrat.tsv",
                                "pca_variance.tsv"},
                               {"area_dorsal.tsv", "area_ventral.tsv", "area_total.tsv",
                                "overlay.png", "morphospace.png", "report.pdf"},
                               false,
                               false},
                    OutputCase{"AreaAndOverlay",
                               {"area", "overlay", "summary"},
                               {"area_dorsal.tsv", "area_ventral.tsv", "area_total.tsv",
                                "overlay.png", "overlay.svg", "morphospace.svg", "report.pdf"},
                               {"mean_delta_quadrat.tsv"},
                               false,
                               false},
                    OutputCase{"Nothing",
                               {"none", "none", "none"},
                               {"document.xml", "export.txt", "pca_scores.tsv"},
                               {"mean_delta_quadrat.tsv", "area_total.tsv", "overlay.png",
                                "overlay.svg", "morphospace.png", "report.pdf"},
                               false,
                               false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OutputDefaults, LargeClustersLeaveOutTheQuadraticAndPerMemberResults) {
    bool defaulted = false;
    EXPECT_EQ(DescribeOutputs(ChooseOutputs({}, kAllOutputsMembers, defaulted)),
              "--tables rms,area --pictures all --report full");
    EXPECT_FALSE(defaulted);
    EXPECT_EQ(DescribeOutputs(ChooseOutputs({}, kAllOutputsMembers + 1, defaulted)),
              "--tables none --pictures overlay --report summary");
    EXPECT_TRUE(defaulted);
    EXPECT_EQ(DescribeOutputs(ChooseOutputs({"all", std::nullopt, "full"}, 10000, defaulted)),
              "--tables rms,area --pictures overlay --report full");
    EXPECT_TRUE(defaulted) << "pictures still defaulted";
    EXPECT_EQ(DescribeOutputs(ChooseOutputs({"rms", "all", "none"}, 10000, defaulted)),
              "--tables rms --pictures all --report none");
    EXPECT_FALSE(defaulted);
    bool rms = false, area = false;
    EXPECT_TRUE(ParseTableList("area,rms", rms, area) && rms && area);
    EXPECT_FALSE(ParseTableList("rms,volume", rms, area));
    EXPECT_FALSE(ParseTableList("", rms, area));
}

// The tables written block by block, with mirrored entries through the temporary file, are
// those of the whole matrices: blocks of 7 rows over 31 members leave a partial last block.
TEST(PairwiseTables, RowByRowEqualsTheWholeMatrices) {
    CScriptedInteraction ui;
    CCarinovaDoc doc(ui);
    std::vector<CSpecimenRecord*> records;
    for (int i = 0; i < 30; ++i) {
        auto s = std::make_unique<CSpecimen>();
        s->ShortPathName = "valve\t" + std::to_string(i);
        for (int k = 0; k < 240; ++k) {
            const double t = 2.0 * 3.14159265358979 * k / 240.0;
            const double wobble = 1.0 + 0.04 * std::sin((3 + i % 5) * t + i);
            s->Contour.emplace_back(
                static_cast<float>(5000.0 + (330 + 7 * i) * wobble * std::cos(t)),
                static_cast<float>(-800.0 + (150 + 3 * (i % 7)) * wobble * std::sin(t)));
        }
        s->NormalizeOrientation();
        s->CalculateStatistics();
        auto record = std::make_unique<CSpecimenRecord>(std::move(s));
        records.push_back(record.get());
        doc.AddSpecimenRecord(std::move(record));
    }
    doc.ApproximateIntoCluster(records, {});
    doc.CalculateMeanSpecimen();
    ASSERT_EQ(doc.GetClusterList().size(), 31u);
    CNumberLocale locale;
    locale.digits = 6;
    locale.decimalSeparator = ",";

    CScratchFolder scratch;
    const CPairwiseTableFiles files{scratch.Path() / "rms.tsv", scratch.Path() / "dorsal.tsv",
                                    scratch.Path() / "ventral.tsv", scratch.Path() / "total.tsv"};
    std::ostringstream err;
    CProgress progress(err, false);
    ASSERT_TRUE(WritePairwiseTables(doc, files, locale, progress, err, 7)) << err.str();

    std::vector<const CApproxSpecimen*> approximations;
    for (const CSpecimenRecord* r : doc.GetClusterList())
        approximations.push_back(r->GetClusterApproximation());
    const auto expect = [&](const std::vector<float>& matrix, bool area) {
        const std::size_t n = approximations.size();
        std::string text = "Specimen";
        for (std::size_t k = 1; k <= n; ++k)
            text += "\t" + std::to_string(k);
        text += "\r\n";
        for (std::size_t r = 0; r < n; ++r) {
            text += TableCell(doc.GetClusterList()[r]->GetSpecimen()->ShortPathName);
            for (std::size_t c = 0; c < n; ++c) {
                const float v = matrix[r * n + c];
                text +=
                    "\t" + (area && v < 0 ? std::string("n.c.") : FormatLocalizedNumber(v, locale));
            }
            text += "\r\n";
        }
        return text;
    };
    EXPECT_EQ(Slurp(files.rms), expect(PairwiseRmsMatrix(approximations, 8), false));
    EXPECT_EQ(Slurp(files.dorsal),
              expect(PairwiseSideAreas(approximations, CSplineSide::Dorsal), true));
    EXPECT_EQ(Slurp(files.ventral),
              expect(PairwiseSideAreas(approximations, CSplineSide::Ventral), true));
    EXPECT_EQ(Slurp(files.total), expect(PairwiseTotalAreas(approximations), true));
}

// The same results from one thread and from more threads than cores.
TEST(BatchThreads, ResultsDoNotDependOnTheThreadCount) {
    CScratchFolder scratch;
    std::map<unsigned, fs::path> dirs;
    for (const unsigned threads : {1u, 3u}) {
        SetDefaultThreadCount(threads);
        CAnalyzeOptions o;
        o.files = {kSamples, std::string(CARINOVA_SAMPLES_DIR) + "/valves.msd"};
        o.outDir = (scratch.Path() / ("threads" + std::to_string(threads))).string();
        o.mean = true;
        o.reference = "mean";
        std::ostringstream out, err;
        EXPECT_EQ(RunAnalyze(o, out, err), kExitOk) << err.str();
        dirs[threads] = o.outDir;
    }
    SetDefaultThreadCount(0);
    ASSERT_EQ(FilesUnder(dirs[1]), FilesUnder(dirs[3]));
    for (const std::string& name : FilesUnder(dirs[1])) {
        if (fs::is_directory(dirs[1] / name))
            continue;
        if (name == "report.pdf")
            EXPECT_EQ(PdfWithoutDates(dirs[1] / name), PdfWithoutDates(dirs[3] / name));
        else
            EXPECT_EQ(Slurp(dirs[1] / name), Slurp(dirs[3] / name)) << name;
    }
}

// A specimen that cannot be approximated is named on stderr; the others' results are written
// and the status says that something is missing.
TEST(BatchStatus, LeftOutSpecimensAreNamedAndGiveTheirOwnStatus) {
    CScratchFolder scratch;
    const std::string file = scratch.Write(
        "with a flat one.tps", Slurp(kSamples) + "LM=0\nOUTLINES=1\nPOINTS=3\n0 0\n1 1\n2 2\n"
                                                 "ID=flat\n");
    const std::size_t total = CountSpecimens(file);
    CAnalyzeOptions o;
    o.files = {file};
    o.outDir = (scratch.Path() / "out").string();
    o.outputs = {"none", "none", "none"};
    std::ostringstream out, err;
    EXPECT_EQ(RunAnalyze(o, out, err), kExitPartial);
    EXPECT_NE(err.str().find("The specimen \"with a flat one.tps (" + std::to_string(total) +
                             ")\" is left out: "),
              std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("1 of " + std::to_string(total) + " specimens are left out"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(fs::path(o.outDir) / "document.xml"));
    EXPECT_NE(Slurp(fs::path(o.outDir) / "export.txt").find("with a flat one.tps (2)"),
              std::string::npos);
}

// Outlines of unit size (the NTSYS wing outlines are such) cannot be normalised by area: the
// run fails, names each, and says which normalisations take them; centroid size does.
TEST(BatchStatus, UnitSizedOutlinesNameTheNormalisationsThatTakeThem) {
    CScratchFolder scratch;
    std::string text;
    for (int i = 0; i < 3; ++i) {
        text += "LM=0\nOUTLINES=1\nPOINTS=40\n";
        for (int k = 0; k < 40; ++k) {
            const double a = 6.283185307179586 * k / 40;
            text += std::to_string(0.5 * std::cos(a)) + " " +
                    std::to_string((0.2 + 0.02 * i) * std::sin(a) + 0.03 * std::sin(2 * a)) +
                    "\n";
        }
        text += "ID=wing " + std::to_string(i + 1) + "\n";
    }
    CAnalyzeOptions o;
    o.files = {scratch.Write("wings.tps", text)};
    o.outDir = (scratch.Path() / "out").string();
    o.outputs = {"none", "none", "none"};
    std::ostringstream out, err;
    EXPECT_EQ(RunAnalyze(o, out, err), kExitFailure);
    EXPECT_NE(err.str().find("\"wings.tps (3)\" cannot be normalised"), std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("no specimen went into the cluster"), std::string::npos);
    EXPECT_NE(err.str().find("choose --normalize centroid, m1m2 or none"), std::string::npos);

    o.normalize = "centroid";
    std::ostringstream err2;
    EXPECT_EQ(RunAnalyze(o, out, err2), kExitOk) << err2.str();
    EXPECT_TRUE(fs::exists(fs::path(o.outDir) / "document.xml"));
}

// A name far beyond the file system's limit still gives its picture and its TPS file, under a
// shortened name.
TEST(BatchNames, ALongInputNameGivesShortenedPictureNames) {
    CScratchFolder scratch;
    const std::string longName = std::string(240, 'v') + ".tps";
    const std::string file = scratch.Write(longName, Slurp(kSamples));
    CAnalyzeOptions o;
    o.files = {file};
    o.outDir = (scratch.Path() / "out").string();
    o.outputs = {"none", "all", "none"};
    std::ostringstream out, err;
    ASSERT_EQ(RunAnalyze(o, out, err), kExitOk) << err.str();
    std::set<std::string> pictures;
    for (const auto& entry : fs::directory_iterator(fs::path(o.outDir) / "specimens")) {
        const std::string name = entry.path().filename().string();
        EXPECT_LE(name.size(), 255u);
        EXPECT_EQ(name.rfind("vvvvvvvvvv", 0), 0u) << name;
        pictures.insert(name);
    }
    EXPECT_EQ(pictures.size(), CountSpecimens(kSamples));

    const fs::path tps = scratch.Path() / "tps";
    ASSERT_EQ(RunConvert({file}, tps.string(), out, err), kExitOk) << err.str();
    std::size_t converted = 0;
    for (const auto& entry : fs::directory_iterator(tps))
        if (entry.path().extension() == ".tps") {
            EXPECT_LE(entry.path().filename().string().size(), 255u);
            EXPECT_EQ(CountSpecimens(entry.path().string()), 1u);
            ++converted;
        }
    EXPECT_EQ(converted, CountSpecimens(kSamples));
}

// On a terminal a stage redraws one line with its count; elsewhere it writes one line at its
// end, with the count and the duration.
TEST(BatchProgress, ALineToRedrawOnATerminalOneLineAStageElsewhere) {
    std::ostringstream terminal, log;
    CProgress onTerminal(terminal, true), inLog(log, false);
    for (CProgress* p : {&onTerminal, &inLog}) {
        p->Begin("Drawing", 40);
        p->Advance(40);
        p->End();
    }
    EXPECT_EQ(terminal.str().rfind("\rDrawing: 0 of 40 (0 %)", 0), 0u) << terminal.str();
    EXPECT_NE(terminal.str().find("\rDrawing: 40 in 0:00"), std::string::npos) << terminal.str();
    EXPECT_EQ(terminal.str().back(), '\n');
    EXPECT_TRUE(std::regex_match(log.str(), std::regex("Drawing: 40 in [0-9]+\\.[0-9] s\n")))
        << log.str();
}

// Each half's mean error is divided by the points of both halves, so the summary's "Mean
// error" is their sum, the mean distance over the whole outline; it printed half of it.
TEST_F(AnalyzeSamples, SummaryMeanErrorIsTheMeanOverTheWholeOutline) {
    ASSERT_EQ(exitCode_, 0);
    CScriptedInteraction ui;
    CCarinovaDoc doc(ui);
    ASSERT_TRUE(doc.OnOpenDocument((Out() / "document.xml").string()));
    std::istringstream lines(summary_);
    std::string line;
    std::getline(lines, line); // the header
    int compared = 0;
    for (const CSpecimenRecord* r : doc.GetClusterList()) {
        ASSERT_TRUE(std::getline(lines, line));
        // Nr, name and points take 4 + 1 + 32 + 1 + 7 + 1 characters.
        const std::string meanError = line.substr(46, 12);
        const CApproxSpecimen* a = r->GetApproximation();
        if (!a) {
            EXPECT_EQ(meanError, std::string(11, ' ') + "-") << line;
            continue;
        }
        char expected[32];
        std::snprintf(expected, sizeof expected, "%12.3f",
                      static_cast<double>(a->MeanDiffOben) + a->MeanDiffUnten);
        EXPECT_EQ(meanError, expected) << line;
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

TEST(BatchFailures, LeaveNothingBehindAndSayWhy) {
    CScratchFolder scratch;
    const std::string blocker = scratch.Write("blocker", "a file where the folder should be");
    std::ostringstream out, err;
    CAnalyzeOptions o;
    o.files = {kSamples};
    o.outDir = blocker;
    EXPECT_EQ(RunAnalyze(o, out, err), kExitFailure);
    EXPECT_NE(err.str().find("cannot create the output folder"), std::string::npos) << err.str();

    o.outDir = (scratch.Path() / "out").string();
    o.reference = "no such specimen";
    EXPECT_EQ(RunAnalyze(o, out, err), kExitFailure);
    EXPECT_NE(err.str().find("no cluster member is named"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(o.outDir));

    o.files = {(scratch.Path() / "missing.tps").string()};
    EXPECT_EQ(RunAnalyze(o, out, err), kExitFailure);
    EXPECT_EQ(RunConvert(o.files, o.outDir, out, err), kExitFailure);
    EXPECT_EQ(
        RunRender(RenderInto(scratch.Write("broken.xml", "<CarinovaDocument><Specimen"), o.outDir),
                  out, err),
        kExitFailure);
    EXPECT_NE(err.str().find("not a readable Carinova document"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(o.outDir));
    for (const auto& entry : fs::directory_iterator(scratch.Path()))
        EXPECT_EQ(entry.path().filename().string().rfind(".carinova", 0), std::string::npos)
            << entry.path();
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
    const auto tps = std::count_if(fs::directory_iterator(scratch.Path() / "tps"), {},
                                   [](const fs::directory_entry& e) {
                                       return e.path().extension() == ".tps";
                                   });
    EXPECT_EQ(tps, 5);

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
    ASSERT_EQ(RunAnalyze(o, out, err), kExitOk) << err.str();
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
    ASSERT_EQ(RunConvert({kSamples}, dir.string(), out, err), kExitOk) << err.str();
    std::size_t written = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().filename() == ".carinova-manifest")
            continue;
        EXPECT_EQ(CountSpecimens(entry.path().string()), 1u) << entry.path();
        ++written;
    }
    EXPECT_EQ(written, CountSpecimens(kSamples));
}

} // namespace
