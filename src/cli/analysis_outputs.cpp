#include "analysis_outputs.h"

#include "cluster/cluster_comparison.h"
#include "cluster/spline_areas.h"
#include "document/carinova_doc.h"
#include "document/cluster_data_export.h"
#include "output_folder.h"
#include "platform/number_locale.h"
#include "platform/text_file.h"

#include <ostream>

namespace {

std::vector<float> Matrix(const CCarinovaDoc& doc, CPairwiseTable table,
                          const std::vector<const CApproxSpecimen*>& approximations) {
    switch (table) {
    case CPairwiseTable::MeanDeltaQuadrat:
        return PairwiseRmsMatrix(approximations, doc.GetClusterParameter().ControlPointsCnt);
    case CPairwiseTable::AreaDorsal:
        return PairwiseSideAreas(approximations, CSplineSide::Dorsal);
    case CPairwiseTable::AreaVentral:
        return PairwiseSideAreas(approximations, CSplineSide::Ventral);
    case CPairwiseTable::AreaTotal:
        break;
    }
    return PairwiseTotalAreas(approximations);
}

} // namespace

std::string FormatPairwiseTable(const CCarinovaDoc& doc, CPairwiseTable table,
                                const CNumberLocale& locale) {
    const std::vector<CSpecimenRecord*>& members = doc.GetClusterList();
    std::vector<const CApproxSpecimen*> approximations;
    for (const CSpecimenRecord* r : members)
        approximations.push_back(r->GetClusterApproximation());
    const std::vector<float> values = Matrix(doc, table, approximations);
    const bool isArea = table != CPairwiseTable::MeanDeltaQuadrat;
    const std::size_t n = members.size();
    std::string text = "Specimen";
    for (std::size_t k = 1; k <= n; ++k)
        text += "\t" + std::to_string(k);
    text += "\n";
    for (std::size_t r = 0; r < n; ++r) {
        text += TableCell(members[r]->GetSpecimen()->ShortPathName);
        for (std::size_t c = 0; c < n; ++c) {
            const float v = values[r * n + c];
            text += "\t" +
                    (isArea && v < 0.0f ? std::string("n.c.") : FormatLocalizedNumber(v, locale));
        }
        text += "\n";
    }
    return text;
}

bool WriteAnalysisTables(CCarinovaDoc& doc, COutputFolder& folder, const CNumberLocale& locale,
                         std::ostream& err) {
    struct Output {
        const char* name;
        std::string text;
    };
    const std::vector<Output> outputs = {
        {"export.txt",
         FormatClusterDataExport(doc.GetClusterList(), doc.GetReferenceRecord() != nullptr,
                                 doc.GetClusterParameter().ControlPointsCnt, locale)},
        {"mean_delta_quadrat.tsv",
         FormatPairwiseTable(doc, CPairwiseTable::MeanDeltaQuadrat, locale)},
        {"area_dorsal.tsv", FormatPairwiseTable(doc, CPairwiseTable::AreaDorsal, locale)},
        {"area_ventral.tsv", FormatPairwiseTable(doc, CPairwiseTable::AreaVentral, locale)},
        {"area_total.tsv", FormatPairwiseTable(doc, CPairwiseTable::AreaTotal, locale)},
    };
    for (const Output& o : outputs) {
        std::string error;
        if (!WriteTextFile(folder.StagingPath(o.name), o.text, error)) {
            err << "carinova-cli: " << error << '\n';
            return false;
        }
    }
    return true;
}
