#include "results_writer.h"

#include "batch_output.h"
#include "document/carinova_doc.h"
#include "document/cluster_data_export.h"
#include "drawing/morphospace_scene.h"
#include "morphospace_outputs.h"
#include "pairwise_tables.h"
#include "platform/c_format.h"
#include "platform/file_names.h"
#include "platform/number_locale.h"
#include "platform/text_file.h"
#include "progress.h"
#include "report_pictures.h"

#include <algorithm>
#include <ostream>
#include <sstream>

namespace {

struct CPlannedResults {
    std::filesystem::path exportText;
    CPairwiseTableFiles tables;
    CPicturePaths pictures;
    CMorphospacePaths morphospace;
};

// Claims a place; false when it would replace an input (the output said so).
bool Place(CBatchOutput& output, const std::string& name, std::filesystem::path& path) {
    const std::string claimed = output.Claim(name);
    if (claimed.empty())
        return false;
    path = output.Path(claimed);
    return true;
}

// Every result's place; the morphospace's only where there is one.
bool Plan(const CCarinovaDoc& doc, CBatchOutput& output, const COutputOptions& o, bool morphospace,
          CPlannedResults& plan) {
    bool ok = Place(output, "export.txt", plan.exportText);
    if (morphospace)
        ok = ok && Place(output, "pca_variance.tsv", plan.morphospace.variance) &&
             Place(output, "pca_scores.tsv", plan.morphospace.scores);
    if (o.rmsTable)
        ok = ok && Place(output, "mean_delta_quadrat.tsv", plan.tables.rms);
    if (o.areaTables)
        ok = ok && Place(output, "area_dorsal.tsv", plan.tables.dorsal) &&
             Place(output, "area_ventral.tsv", plan.tables.ventral) &&
             Place(output, "area_total.tsv", plan.tables.total);
    if (o.pictures != COutputOptions::Pictures::None)
        ok = ok && Place(output, "overlay.png", plan.pictures.overlayPng) &&
             Place(output, "overlay.svg", plan.pictures.overlaySvg);
    if (o.pictures != COutputOptions::Pictures::None && morphospace)
        ok = ok && Place(output, "morphospace.png", plan.morphospace.png) &&
             Place(output, "morphospace.svg", plan.morphospace.svg);
    if (o.pictures == COutputOptions::Pictures::All)
        for (const CSpecimenRecord* record : doc.GetClusterList()) {
            plan.pictures.members.emplace_back();
            ok = ok &&
                 Place(output,
                       "specimens/" + SafeFileName(record->GetSpecimen()->ShortPathName) + ".png",
                       plan.pictures.members.back());
        }
    if (o.report != COutputOptions::Report::None)
        ok = ok && Place(output, "report.pdf", plan.pictures.report);
    plan.pictures.memberPages = o.report == COutputOptions::Report::Full;
    return ok;
}

} // namespace

bool WriteResults(const CCarinovaDoc& doc, CBatchOutput& output, const COutputOptions& outputs,
                  const CMorphospaceOptions& morphospace, int decimals, CProgress& progress,
                  std::ostream& err) {
    // Its notes wait for the stage's line to end.
    std::ostringstream notes;
    progress.Begin("Computing the morphospace", doc.GetClusterList().size());
    const CMorphospaceScene scene = MakeMorphospaceScene(doc, morphospace, notes);
    progress.Advance(doc.GetClusterList().size());
    progress.End();
    err << notes.str();
    CPlannedResults plan;
    if (!Plan(doc, output, outputs, scene.space.has_value(), plan))
        return false;
    CNumberLocale locale;
    locale.thousandSeparator.clear();
    locale.digits = decimals;
    std::string error;
    if (!WriteTextFile(plan.exportText,
                       FormatClusterDataExport(doc.GetClusterList(),
                                               doc.GetReferenceRecord() != nullptr,
                                               doc.GetClusterParameter().ControlPointsCnt, locale),
                       error)) {
        err << "carinova-cli: " << error << '\n';
        return false;
    }
    return WriteMorphospaceOutputs(scene, doc.GetTitle(), plan.morphospace, locale, progress,
                                   err) &&
           WritePairwiseTables(doc, plan.tables, locale, progress, err) &&
           WriteReportPictures(doc, scene, plan.pictures, progress, err);
}

void PrintClusterSummary(const CCarinovaDoc& doc, std::ostream& out) {
    out << FormatC("%-4s %-32s %7s %12s %12s %12s %12s\n", "Nr", "Specimen", "Points", "Mean error",
                   "Max error", "RMS delta", "Area total");
    int nr = 0;
    for (const CSpecimenRecord* r : doc.GetClusterList()) {
        const CApproxSpecimen* a = r->GetApproximation();
        const CClusterData* d = r->GetClusterData();
        out << FormatC("%-4d %-32.32s %7zu ", ++nr, r->GetSpecimen()->ShortPathName.c_str(),
                       r->GetSpecimen()->Contour.size());
        // Each half's mean is divided by the points of both halves: their sum is the mean over
        // the whole outline.
        out << (a ? FormatC("%12.3f %12.3f ", a->MeanDiffOben + a->MeanDiffUnten,
                            std::max(a->MaxDiffOben, a->MaxDiffUnten))
                  : FormatC("%12s %12s ", "-", "-"));
        out << (d ? FormatC("%12.3f ", d->MeanDeltaQuadrat) : FormatC("%12s ", "-"));
        out << (d && d->Areatotal >= 0.0f ? FormatC("%12.3f", d->Areatotal)
                                          : FormatC("%12s", "n.c."))
            << '\n';
    }
    if (const CSpecimenRecord* ref = doc.GetReferenceRecord())
        out << "Reference: " << ref->GetSpecimen()->ShortPathName << '\n';
}
