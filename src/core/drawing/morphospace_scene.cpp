#include "drawing/morphospace_scene.h"

#include "document/carinova_doc.h"
#include "platform/c_format.h"

#include <algorithm>

void CMorphospaceScene::Compute(const CCarinovaDoc& doc) {
    const CClusterParameter& parameter = doc.GetClusterParameter();
    referenceColor = parameter.ReferenceColor;
    meanColor = parameter.MeanSpecimenColor;
    message.clear();
    space = CMorphospace::Compute(doc.GetClusterList(), parameter.GetMeanRecord(),
                                  parameter.ControlPointsCnt, parameter.Normalize, message);
    if (space && !space->Skipped().empty())
        message = FormatC("Members left out: %zu (their control points do not match the "
                          "cluster's %d intervals a curve).",
                          space->Skipped().size(), parameter.ControlPointsCnt);
    referencePoint = space ? space->PointOf(doc.GetReferenceRecord()) : -1;
    GroupBy(groupBy);
    SetAxes(xComponent, yComponent);
    Select(doc.GetClusterSelection());
}

void CMorphospaceScene::GroupBy(CGroupField field) {
    groupBy = field;
    groups = space ? GroupMorphospace(*space, field) : std::vector<CMorphospaceGroup>();
}

void CMorphospaceScene::SetAxes(int x, int y) {
    const int last = space ? std::max(space->ComponentCount() - 1, 0) : 1;
    xComponent = std::clamp(x, 0, last);
    yComponent = std::clamp(y, 0, last);
}

void CMorphospaceScene::Select(const CSpecimenRecord* record) {
    selectedPoint = space && record ? space->PointOf(record) : -1;
}
