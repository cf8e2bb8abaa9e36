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

std::vector<const CApproxSpecimen*> ClusterApproximations(const CCarinovaDoc& doc) {
    std::vector<const CApproxSpecimen*> approximations;
    for (const CSpecimenRecord* r : doc.GetClusterList())
        approximations.push_back(r->GetClusterApproximation());
    return approximations;
}

// The rows of a pairwise table from its values, row-major in cluster order.
std::string FormatTable(const CCarinovaDoc& doc, const std::vector<float>& values, bool isArea,
                        const CNumberLocale& locale) {
    const std::vector<CSpecimenRecord*>& members = doc.GetClusterList();
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

} // namespace

std::string FormatPairwiseTable(const CCarinovaDoc& doc, CPairwiseTable table,
                                const CNumberLocale& locale) {
    return FormatTable(doc, Matrix(doc, table, ClusterApproximations(doc)),
                       table != CPairwiseTable::MeanDeltaQuadrat, locale);
}

bool WriteAnalysisTables(CCarinovaDoc& doc, COutputFolder& folder, const CNumberLocale& locale,
                         std::ostream& err) {
    const auto write = [&](const char* name, const std::string& text) {
        std::string error;
        if (WriteTextFile(folder.StagingPath(name), text, error))
            return true;
        err << "carinova-cli: " << error << '\n';
        return false;
    };
    if (!write("export.txt",
               FormatClusterDataExport(doc.GetClusterList(), doc.GetReferenceRecord() != nullptr,
                                       doc.GetClusterParameter().ControlPointsCnt, locale)) ||
        !write("mean_delta_quadrat.tsv",
               FormatPairwiseTable(doc, CPairwiseTable::MeanDeltaQuadrat, locale)))
        return false;
    // The three area tables from one pass over the pairs, each side of a pair measured once.
    const CPairwiseAreaTables areas = PairwiseAreaTables(ClusterApproximations(doc));
    return write("area_dorsal.tsv", FormatTable(doc, areas.dorsal, true, locale)) &&
           write("area_ventral.tsv", FormatTable(doc, areas.ventral, true, locale)) &&
           write("area_total.tsv", FormatTable(doc, areas.total, true, locale));
}
