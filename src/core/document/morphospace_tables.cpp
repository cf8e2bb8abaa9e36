#include "document/morphospace_tables.h"

#include "cluster/morphospace.h"
#include "cluster/morphospace_groups.h"
#include "cluster/specimen_record.h"
#include "document/cluster_data_export.h"
#include "platform/number_locale.h"

#include <algorithm>

namespace {

std::string Number(double value, const CNumberLocale& locale) {
    return FormatLocalizedNumber(static_cast<float>(value), locale);
}

} // namespace

int ScoreTableComponents(const CMorphospace& space) {
    return space.ComponentsFor(0.99, 10);
}

std::string FormatMorphospaceVariance(const CMorphospace& space, const CNumberLocale& locale) {
    std::string text = "Component\tVariance\tShare\tCumulative share\n";
    for (int k = 0; k < space.ComponentCount(); ++k)
        text += "PC" + std::to_string(k + 1) + "\t" + Number(space.Variance(k), locale) + "\t" +
                Number(space.Share(k), locale) + "\t" + Number(space.CumulativeShare(k), locale) +
                "\n";
    return text;
}

std::string FormatMorphospaceScores(const CMorphospace& space, int components,
                                    const CNumberLocale& locale) {
    components = std::clamp(components, 0, space.ComponentCount());
    std::string text = "Specimen";
    for (CGroupField field : kGroupFields)
        if (field != CGroupField::None)
            text += std::string("\t") + GroupFieldLabel(field);
    for (int k = 0; k < components; ++k)
        text += "\tPC" + std::to_string(k + 1);
    text += "\n";
    for (int point = 0; point < space.PointCount(); ++point) {
        const CSpecimen* specimen = space.Record(point)->GetSpecimen();
        text += specimen ? TableCell(specimen->ShortPathName) : std::string();
        for (CGroupField field : kGroupFields)
            if (field != CGroupField::None)
                text += "\t" + (specimen ? TableCell(GroupValue(*specimen, field)) : std::string());
        for (int k = 0; k < components; ++k)
            text += "\t" + Number(space.Score(point, k), locale);
        text += "\n";
    }
    return text;
}
