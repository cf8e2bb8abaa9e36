#include "results_writer.h"

#include "analysis_outputs.h"
#include "document/carinova_doc.h"
#include "drawing/morphospace_scene.h"
#include "output_folder.h"
#include "platform/c_format.h"
#include "platform/number_locale.h"
#include "report_pictures.h"

#include <algorithm>
#include <ostream>

bool WriteResults(CCarinovaDoc& doc, const std::string& outDir, const std::string& documentName,
                  int decimals, const CMorphospaceOptions& morphospace, std::ostream& err) {
    COutputFolder folder(outDir);
    if (!folder.Begin(err))
        return false;
    CNumberLocale locale;
    locale.thousandSeparator.clear();
    locale.digits = decimals;
    err << "Writing results\n";
    if (!doc.OnSaveDocument(folder.StagingPath(documentName).string())) {
        err << "carinova-cli: the document could not be written\n";
        return false;
    }
    const CMorphospaceScene scene = MakeMorphospaceScene(doc, morphospace, err);
    return WriteAnalysisTables(doc, folder, locale, err) &&
           WriteReportPictures(doc, scene, folder, err) &&
           WriteMorphospaceOutputs(scene, doc.GetTitle(), folder, locale, err) &&
           folder.Commit(err);
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
        out << (a ? FormatC("%12.3f %12.3f ", 0.5f * (a->MeanDiffOben + a->MeanDiffUnten),
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
