// carinova-cli: batch access to the outline readers, the approximation and the cluster analysis.
#include "analyze_command.h"
#include "convert_command.h"
#include "exit_status.h"
#include "headless.h"
#include "info_command.h"
#include "interruption.h"
#include "model/fit_limits.h"
#include "platform/parallel_for.h"
#include "progress.h"
#include "render_command.h"
#include "trace_command.h"

#include <CLI/CLI.hpp>
#include <QGuiApplication>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kExitStatuses =
    "Exit status: 0 when every specimen of every input made it into every result; 3 when the\n"
    "results were written with specimens left out (each named on stderr with the reason); 1\n"
    "when an input could not be read or a result not written (the output folder then keeps\n"
    "its earlier results); 2 for a wrong command line or a result that would replace an input.\n"
    "Threads: --threads, else CARINOVA_THREADS, else the CPUs this process may run on.";

// The output choices shared by analyze and render.
void AddOutputOptions(CLI::App* cmd, COutputRequest& request, std::string& tables,
                      std::string& pictures, std::string& report, unsigned& threads) {
    const std::string limit = std::to_string(kAllOutputsMembers);
    cmd->add_option("--tables", tables,
                    "Pairwise tables: all, none or a list of rms and area (default all; none "
                    "above " +
                        limit + " members)")
        ->check(CLI::Validator(
            [](std::string& text) {
                bool rms = false, area = false;
                return ParseTableList(text, rms, area)
                           ? std::string()
                           : "--tables: " + text + " is not all, none or a list of rms and area";
            },
            "LIST"));
    cmd->add_option("--pictures", pictures,
                    "Pictures: all, overlay or none (default all; overlay above " + limit +
                        " members)")
        ->check(CLI::IsMember({"all", "overlay", "none"}));
    cmd->add_option("--report", report,
                    "PDF report: full, summary (overlay, member list, morphospace) or none "
                    "(default full; summary above " +
                        limit + " members)")
        ->check(CLI::IsMember({"full", "summary", "none"}));
    cmd->add_option("--threads", threads, "Threads to compute and draw with")
        ->check(CLI::Range(1u, kMaxThreadCount));
    cmd->callback([&request, &tables, &pictures, &report] {
        if (!tables.empty())
            request.tables = tables;
        if (!pictures.empty())
            request.pictures = pictures;
        if (!report.empty())
            request.report = report;
    });
}

// What the summary that analyze and render print means, column by column.
constexpr const char* kSummaryHelp =
    "The summary printed on stdout has one row per cluster member:\n"
    "  Points      the number of outline points\n"
    "  Mean error  the mean distance of the outline points from the fitted curves, over the\n"
    "              whole outline (dorsal plus ventral mean), in the outline's units\n"
    "  Max error   the largest distance of an outline point from its curve, either half\n"
    "  RMS delta   the root mean square of the distances between the member's normalised\n"
    "              control points and the reference's\n"
    "  Area total  the area between the member's and the reference's normalised curves,\n"
    "              dorsal plus ventral, times 0.001; n.c. where it cannot be computed";

constexpr const char* kInputHelp =
    "Outline file (TPS, Morphosys, simple, chain code, NTSYS or x-y list) or valve image (PNG, "
    "JPEG, TIFF, BMP), traced with the default settings; - for standard input";
// An existing file, or "-" for standard input.
const CLI::Validator kFileOrStandardInput(
    [](std::string& input) { return input == "-" ? std::string() : CLI::ExistingFile(input); },
    "FILE or -");

// --group-by and --components of analyze and render.
void AddMorphospaceOptions(CLI::App* cmd, CMorphospaceOptions& o) {
    cmd->add_option_function<std::string>(
           "--group-by", [&o](const std::string& name) { o.groupBy = *GroupFieldFromLabel(name); },
           "Field the morphospace groups the members by")
        ->default_str("none")
        ->check(CLI::IsMember({"none", "locality", "sex", "stage", "identifier", "comment"},
                              CLI::ignore_case));
    cmd->add_option_function<std::string>(
           "--components", [&o](const std::string& text) { ParseComponents(text, o); },
           "Principal components on the morphospace's axes, as I,J")
        ->default_str("1,2")
        ->check([](const std::string& text) {
            CMorphospaceOptions unused;
            return ParseComponents(text, unused);
        });
}

void AddAnalyze(CLI::App& app, CAnalyzeOptions& o) {
    CLI::App* cmd =
        app.add_subcommand("analyze", "Approximate every specimen, build the cluster and write the "
                                      "document, tables, pictures and a PDF report");
    cmd->footer(kSummaryHelp);
    cmd->add_option("FILE", o.files, kInputHelp)->required()->check(kFileOrStandardInput);
    cmd->add_option("-o,--output", o.outDir, "Folder the results are written into")->required();
    cmd->add_option("--control-points", o.controlPoints, "Control-point intervals of each curve")
        ->capture_default_str()
        ->check(CLI::Range(kMinControlPoints, kMaxControlPoints));
    cmd->add_option("--iterations", o.iterations, "Parameter correction iterations")
        ->capture_default_str()
        ->check(CLI::Range(0, kMaxFitIterations));
    cmd->add_flag(
        "--no-correction", [&o](std::int64_t) { o.correction = false; },
        "Fit without parameter correction");
    cmd->add_option("--normalize", o.normalize, "Size normalisation of the cluster")
        ->capture_default_str()
        ->check(CLI::IsMember({"none", "m1m2", "area", "centroid"}));
    cmd->add_option("--reference", o.reference,
                    "Reference of the comparison: a specimen name, first or mean")
        ->capture_default_str();
    cmd->add_flag("--mean", o.mean, "Compute the mean specimen of the cluster");
    cmd->add_option("--decimals", o.decimals, "Decimals in the tables and the export")
        ->capture_default_str()
        ->check(CLI::Range(0, 9));
    AddMorphospaceOptions(cmd, o.morphospace);
}

// An unusable CARINOVA_THREADS is ignored; say so rather than surprise.
void CheckThreadEnvironment() {
    const char* env = std::getenv("CARINOVA_THREADS");
    if (env && !ParseThreadCount(env))
        std::cerr << "carinova-cli: CARINOVA_THREADS=" << env << " is not a count from 1 to "
                  << kMaxThreadCount << "; using " << DefaultThreadCount() << " threads\n";
}

void AddTrace(CLI::App& app, CTraceCommandOptions& o) {
    CLI::App* cmd = app.add_subcommand(
        "trace", "Trace the valves of images into one TPS file of outlines (OUTLINES=, IMAGE=, "
                 "SCALE=); one line per image says what was found");
    cmd->add_option("IMAGE", o.inputs, "Valve image (PNG, JPEG, TIFF, BMP), or a folder of them")
        ->required()
        ->check(CLI::ExistingPath);
    cmd->add_option("-o,--output", o.output, "TPS file the outlines are written to")->required();
    CTraceOptions& trace = o.settings.trace;
    cmd->add_option_function<std::string>(
           "--threshold", [&trace](const std::string& text) { ParseThreshold(text, trace.threshold); },
           "Grey level dividing valve from ground: auto (Otsu's method) or a level")
        ->default_str("auto")
        ->check([](const std::string& text) {
            int unused = 0;
            return ParseThreshold(text, unused);
        });
    cmd->add_flag(
        "--invert", [&trace](std::int64_t) { trace.polarity = EValvePolarity::Light; },
        "Light valves on a dark ground (otherwise decided from the image border)");
    cmd->add_option("--points", trace.points,
                    "Resample each outline to this many equally spaced points (0 keeps all)")
        ->check(CLI::Range(0, 100000));
    cmd->add_option("--min-area", trace.minArea,
                    "Smallest valve in pixels; smaller specks are left out (default 0.1 % of the "
                    "image)")
        ->check(CLI::Range(std::int64_t{0}, kMaxImagePixels));
    cmd->add_option("--opening", trace.openingRadius,
                    "Remove spurs and bridges thinner than a disk of this radius in pixels")
        ->check(CLI::Range(0, 100));
    cmd->add_option_function<float>(
           "--scale", [&o](float scale) { o.settings.scale = scale; },
           "Units (millimetres) per pixel; otherwise the image's own resolution, if it has one")
        ->check(CLI::PositiveNumber & CLI::Range(1e-9f, 1e9f));
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Batch tool for ostracod valve outlines", "carinova-cli"};
    app.set_version_flag("--version", "carinova-cli " CARINOVA_VERSION);
    app.require_subcommand(1);
    app.footer(kExitStatuses);

    std::vector<std::string> files;
    bool tsv = false;
    CLI::App* info = app.add_subcommand("info", "List the specimens of outline files with their "
                                                "area, centroid, first axis and halves");
    info->add_option("FILE", files, kInputHelp)->required();
    info->add_flag("--tsv", tsv, "Tab-separated output for scripts");

    CAnalyzeOptions analyzeOptions;
    AddAnalyze(app, analyzeOptions);
    std::string tables, pictures, report;
    unsigned threads = 0;
    AddOutputOptions(app.get_subcommand("analyze"), analyzeOptions.outputs, tables, pictures,
                     report, threads);

    CRenderOptions renderOptions;
    CLI::App* render =
        app.add_subcommand("render", "Write the tables, pictures and report of a saved document");
    render->add_option("DOC", renderOptions.documentPath, "Carinova document (.xml)")->required();
    render->add_option("-o,--output", renderOptions.outDir, "Folder the results are written into")
        ->required();
    render
        ->add_option("--decimals", renderOptions.decimals, "Decimals in the tables and the export")
        ->capture_default_str()
        ->check(CLI::Range(0, 9));
    render->footer(kSummaryHelp);
    AddOutputOptions(render, renderOptions.outputs, tables, pictures, report, threads);
    AddMorphospaceOptions(render, renderOptions.morphospace);

    std::string outDir;
    CLI::App* convert =
        app.add_subcommand("convert", "Write every specimen as a TPS file of its own");
    convert->add_option("FILE", files, kInputHelp)->required();
    convert->add_option("-o,--output", outDir, "Folder the TPS files are written into")->required();

    CTraceCommandOptions traceOptions;
    AddTrace(app, traceOptions);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // --help and --version end here too, successfully; a wrong command line exits with 2.
        const int code = app.exit(e);
        return code == 0 ? kExitOk : kExitUsage;
    }
    InstallInterruptHandlers();
    if (info->parsed())
        return RunInfo(files, tsv, std::cout, std::cerr);
    if (convert->parsed())
        return RunConvert(files, outDir, std::cout, std::cerr);
    if (app.got_subcommand("trace"))
        return RunTrace(traceOptions, std::cout, std::cerr);

    CheckThreadEnvironment();
    SetDefaultThreadCount(threads);
    const bool terminal = CProgress::IsTerminal(2);
    // The pictures are drawn with Qt, on the offscreen platform when there is no display.
    EnsureHeadlessPlatform();
    QGuiApplication qt(argc, argv);
    int status = kExitOk;
    if (render->parsed()) {
        renderOptions.terminal = terminal;
        status = RunRender(renderOptions, std::cout, std::cerr);
    } else {
        analyzeOptions.terminal = terminal;
        status = RunAnalyze(analyzeOptions, std::cout, std::cerr);
    }
    if (InterruptSignal() != 0 && status > 128)
        EndByInterruptSignal();
    return status;
}
