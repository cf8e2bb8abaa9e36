#pragma once

#include "cluster/morphospace.h"
#include "cluster/morphospace_groups.h"
#include "platform/gdi_types.h"

#include <optional>
#include <string>
#include <vector>

class CCarinovaDoc;
class CSpecimenRecord;

// Everything a morphospace picture shows: the analysis of the document's cluster (or why there
// is none), the groups, the two components on the axes and the marked points. The view, the
// printed page and the batch tool draw from it; it holds record pointers, so it is computed
// again whenever the cluster changes.
struct CMorphospaceScene {
    std::optional<CMorphospace> space;
    // Without an analysis, why not; with one, a note on members that were left out (or empty).
    std::string message;
    CGroupField groupBy = CGroupField::None;
    std::vector<CMorphospaceGroup> groups;
    int xComponent = 0;
    int yComponent = 1;
    int referencePoint = -1;
    int selectedPoint = -1;
    ColorRef referenceColor = RGB(0, 0, 255);
    ColorRef meanColor = RGB(176, 0, 0);

    // The analysis of the document's cluster, its reference and selection; grouping and axes
    // are kept (the axes brought into range).
    void Compute(const CCarinovaDoc& doc);
    void GroupBy(CGroupField field);
    // Components from 0; each is brought into 0 ... ComponentCount() - 1.
    void SetAxes(int xComponent, int yComponent);
    // The cluster selection's point, if it has one.
    void Select(const CSpecimenRecord* record);
};
