#include "analyze_command.h"

#include "batch_interaction.h"
#include "batch_output.h"
#include "document/carinova_doc.h"
#include "exit_status.h"
#include "interruption.h"
#include "outline_input.h"
#include "progress.h"
#include "results_writer.h"

#include <filesystem>
#include <ostream>

namespace {

CSpecimenRecord* FindReference(const CCarinovaDoc& doc, const std::string& which) {
    if (which == "mean")
        return doc.GetClusterParameter().GetMeanRecord();
    const auto& cluster = doc.GetClusterList();
    if (which == "first")
        return cluster.empty() ? nullptr : cluster.front();
    for (CSpecimenRecord* r : cluster)
        if (r->GetSpecimen()->ShortPathName == which)
            return r;
    return nullptr;
}

// Approximates every specimen and puts it into the cluster, each fitted once on all cores;
// those left out are named with the reason. Returns how many were left out.
std::size_t BuildCluster(CCarinovaDoc& doc, const CAnalyzeOptions& o, CProgress& progress,
                         std::ostream& err) {
    std::vector<CSpecimenRecord*> records;
    for (const auto& record : doc.GetSpecimenList())
        records.push_back(record.get());
    progress.Begin("Approximating the specimens", records.size());
    const std::vector<std::string> reasons =
        doc.ApproximateIntoCluster(records, {o.controlPoints, o.correction, o.iterations});
    progress.Advance(records.size());
    progress.End();
    std::size_t leftOut = 0;
    for (const std::string& reason : reasons)
        if (!reason.empty()) {
            err << "carinova-cli: " << reason << '\n';
            ++leftOut;
        }
    return leftOut;
}

int Analyze(const CAnalyzeOptions& o, std::ostream& out, std::ostream& err) {
    CBatchInteraction ui(err, {o.controlPoints, o.correction, o.iterations});
    CProgress progress(err, o.terminal);
    auto doc = std::make_unique<CCarinovaDoc>(ui);
    CClusterParameter& parameter = doc->GetClusterParameter();
    parameter.ControlPointsCnt = o.controlPoints;
    parameter.ParamIterCount = o.iterations;
    parameter.ApplyParamIteration = o.correction;
    parameter.Normalize = NormalizeModeOf(o.normalize);

    progress.Begin("Reading the inputs", o.files.size());
    std::vector<std::unique_ptr<CSpecimen>> read;
    int readStatus = kExitOk;
    for (const std::string& file : o.files) {
        readStatus = WorseExitStatus(readStatus, ReadOutlineInputs({file}, read, err));
        progress.Advance();
    }
    progress.End();
    if (readStatus == kExitFailure)
        return kExitFailure;
    for (auto& specimen : read)
        doc->AddSpecimenRecord(std::make_unique<CSpecimenRecord>(std::move(specimen)));
    read.clear();
    CBatchOutput output(o.outDir, err);
    if (!output.Begin(o.files))
        return output.FailureStatus();
    const std::size_t specimens = doc->GetSpecimenList().size();
    const std::size_t leftOut = BuildCluster(*doc, o, progress, err);
    ThrowIfInterrupted();
    if (doc->GetClusterList().empty()) {
        err << "carinova-cli: no specimen went into the cluster (each is named above with the "
               "reason)\n";
        if (leftOut > 0 && o.normalize == "area")
            err << "carinova-cli: --normalize area takes outlines with an area of at least 1; "
                   "for smaller ones (in millimetres, or of unit size) choose --normalize "
                   "centroid, m1m2 or none\n";
        return kExitFailure;
    }
    if (o.mean)
        doc->CalculateMeanSpecimen();
    CSpecimenRecord* reference = FindReference(*doc, o.reference);
    if (!reference) {
        err << "carinova-cli: no cluster member is named \"" << o.reference << "\"\n";
        return kExitFailure;
    }
    doc->SetReferenceRecord(reference);

    bool defaulted = false;
    const std::size_t members = doc->GetClusterList().size();
    const COutputOptions outputs = ChooseOutputs(o.outputs, members, defaulted);
    if (defaulted)
        err << "carinova-cli: " << members << " cluster members, more than " << kAllOutputsMembers
            << ": writing " << DescribeOutputs(outputs) << " (name the outputs to write more)\n";

    // The results are drawn from the document as it reads back from its file, and the file
    // written is that document saved again, so that both are exactly what the desktop
    // application and the render command show for it.
    const std::string name = output.Claim("document.xml");
    if (name.empty())
        return output.FailureStatus();
    const std::string path = output.Path(name).string();
    progress.Begin("Saving the document", 1);
    if (!doc->OnSaveDocument(path)) {
        err << "carinova-cli: the document could not be written\n";
        return kExitFailure;
    }
    doc.reset();
    CCarinovaDoc saved(ui);
    if (!saved.OnOpenDocument(path) || !saved.OnSaveDocument(path)) {
        err << "carinova-cli: the document just written could not be read back\n";
        return kExitFailure;
    }
    progress.End();
    saved.SetPathName(std::filesystem::absolute(std::filesystem::path(o.outDir) / name).string());
    ThrowIfInterrupted();
    if (!WriteResults(saved, output, outputs, o.morphospace, o.decimals, progress, err))
        return output.FailureStatus();
    ThrowIfInterrupted();
    if (!output.Commit())
        return output.FailureStatus();
    PrintClusterSummary(saved, out);
    out << "Results written to " << o.outDir << '\n';
    if (leftOut == 0)
        return readStatus;
    err << "carinova-cli: " << leftOut << " of " << specimens
        << " specimens are left out of the results (each named above)\n";
    return kExitPartial;
}

} // namespace

int NormalizeModeOf(const std::string& name) {
    if (name == "none")
        return 0;
    if (name == "m1m2")
        return 1;
    if (name == "area")
        return 2;
    if (name == "centroid")
        return 3;
    return -1;
}

int RunAnalyze(const CAnalyzeOptions& options, std::ostream& out, std::ostream& err) {
    try {
        return Analyze(options, out, err);
    } catch (const CInterrupted&) {
        err << "\ncarinova-cli: interrupted; " << options.outDir
            << " holds its earlier results unchanged\n";
        return 128 + InterruptSignal();
    }
}
