#include "analyze_command.h"

#include "batch_interaction.h"
#include "document/carinova_doc.h"
#include "exit_status.h"
#include "outline_input.h"
#include "results_writer.h"

#include <filesystem>
#include <ostream>
#include <random>

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

// Approximates every specimen and inserts all of them into the cluster (fitted on all cores);
// members that cannot be approximated are reported and left out.
void BuildCluster(CCarinovaDoc& doc, std::ostream& err) {
    const std::size_t total = doc.GetSpecimenList().size();
    std::vector<CSpecimenRecord*> records;
    for (const auto& record : doc.GetSpecimenList()) {
        err << "\rApproximating " << records.size() + 1 << " of " << total << std::flush;
        doc.ApproximateSpecimen(record.get());
        records.push_back(record.get());
    }
    err << "\nBuilding the cluster\n";
    doc.InsertIntoCluster(records);
}

bool ReloadThroughFile(CCarinovaDoc& doc, CCarinovaDoc& reloaded, std::ostream& err) {
    std::random_device random;
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("carinova-analyze-" + std::to_string(random()) + ".xml");
    const bool ok = doc.OnSaveDocument(file.string()) && reloaded.OnOpenDocument(file.string());
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (!ok)
        err << "carinova-cli: the document could not be written to the temporary folder\n";
    return ok;
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
    CBatchInteraction ui(err, {options.controlPoints, options.correction, options.iterations});
    CCarinovaDoc doc(ui);
    CClusterParameter& parameter = doc.GetClusterParameter();
    parameter.ControlPointsCnt = options.controlPoints;
    parameter.ParamIterCount = options.iterations;
    parameter.ApplyParamIteration = options.correction;
    parameter.Normalize = NormalizeModeOf(options.normalize);

    std::vector<std::unique_ptr<CSpecimen>> specimens;
    const int readStatus = ReadOutlineInputs(options.files, specimens, err);
    if (readStatus == kExitFailure)
        return kExitFailure;
    for (auto& specimen : specimens)
        doc.AddSpecimenRecord(std::make_unique<CSpecimenRecord>(std::move(specimen)));
    BuildCluster(doc, err);
    if (doc.GetClusterList().empty()) {
        err << "carinova-cli: no specimen could be approximated\n";
        return 1;
    }
    if (options.mean)
        doc.CalculateMeanSpecimen();
    CSpecimenRecord* reference = FindReference(doc, options.reference);
    if (!reference) {
        err << "carinova-cli: no cluster member is named \"" << options.reference << "\"\n";
        return 1;
    }
    doc.SetReferenceRecord(reference);

    // The results are drawn from the document as it reads back from its file, so that they are
    // exactly what the desktop application and the render command show for it.
    CCarinovaDoc saved(ui);
    if (!ReloadThroughFile(doc, saved, err))
        return 1;
    saved.SetPathName(
        std::filesystem::absolute(std::filesystem::path(options.outDir) / "document.xml").string());
    if (!WriteResults(saved, options.outDir, "document.xml", options.decimals, options.morphospace,
                      err))
        return 1;
    PrintClusterSummary(saved, out);
    out << "Results written to " << options.outDir << '\n';
    return readStatus;
}
