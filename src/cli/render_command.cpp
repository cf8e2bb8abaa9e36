#include "render_command.h"

#include "batch_interaction.h"
#include "batch_output.h"
#include "document/carinova_doc.h"
#include "exit_status.h"
#include "interruption.h"
#include "progress.h"
#include "results_writer.h"

#include <filesystem>
#include <ostream>

namespace {

int Render(const CRenderOptions& o, std::ostream& out, std::ostream& err) {
    CBatchInteraction ui(err, {});
    CProgress progress(err, o.terminal);
    CCarinovaDoc doc(ui);
    if (!std::filesystem::is_regular_file(o.documentPath)) {
        err << "carinova-cli: " << o.documentPath << ": no such document\n";
        return kExitFailure;
    }
    progress.Begin("Reading the document", 1);
    if (!doc.OnOpenDocument(o.documentPath)) {
        err << "carinova-cli: " << o.documentPath << ": not a readable Carinova document\n";
        return kExitFailure;
    }
    progress.End();
    doc.SetPathName(o.documentPath);
    CBatchOutput output(o.outDir, err);
    if (!output.Begin({o.documentPath}))
        return output.FailureStatus();
    const std::string name =
        output.Claim(std::filesystem::path(o.documentPath).filename().string());
    if (name.empty())
        return output.FailureStatus();
    bool defaulted = false;
    const std::size_t members = doc.GetClusterList().size();
    const COutputOptions outputs = ChooseOutputs(o.outputs, members, defaulted);
    if (defaulted)
        err << "carinova-cli: " << members << " cluster members, more than " << kAllOutputsMembers
            << ": writing " << DescribeOutputs(outputs) << " (name the outputs to write more)\n";
    if (!doc.OnSaveDocument(output.Path(name).string())) {
        err << "carinova-cli: the document could not be written\n";
        return kExitFailure;
    }
    if (!WriteResults(doc, output, outputs, o.morphospace, o.decimals, progress, err))
        return output.FailureStatus();
    ThrowIfInterrupted();
    if (!output.Commit())
        return output.FailureStatus();
    PrintClusterSummary(doc, out);
    out << "Results written to " << o.outDir << '\n';
    return kExitOk;
}

} // namespace

int RunRender(const CRenderOptions& options, std::ostream& out, std::ostream& err) {
    try {
        return Render(options, out, err);
    } catch (const CInterrupted&) {
        err << "\ncarinova-cli: interrupted; " << options.outDir
            << " holds its earlier results unchanged\n";
        return 128 + InterruptSignal();
    }
}
