#include "document/carinova_doc.h"

#include "cluster/cluster_sheet.h"
#include "platform/user_interaction.h"

namespace {

void CopyToSheet(const CClusterParameter& p, CPropertySheetCluster& s) {
    s.m_nControlPoints = p.ControlPointsCnt;
    s.m_bApplyCorrection = p.ApplyParamIteration;
    s.m_nIterations = p.ParamIterCount;
    s.m_nNormalize = p.Normalize;
    s.m_bDrawDeltaVectors = p.DrawDeltaVectors;
    s.m_bReferenceOnly = p.DrawReferenceSpecimenOnly;
    s.m_bNumberVectors = p.DrawVectorNumbers;
    s.m_fDeltaScale = p.ErrorVectorsScale;
    s.m_bDrawMeanReference = p.DrawMeanClusterSpecimen;
    s.m_bPrintList = p.PrintSpecimenList;
    s.m_nPenSpecimen = p.PrintingPenWidthSpecimen;
    s.m_nPenDelta = p.PrintingPenWidthDeltaVectors;
    s.m_nColorMode = p.ColorSpace;
}

void CopyFromSheet(const CPropertySheetCluster& s, CClusterParameter& p) {
    p.ControlPointsCnt = s.m_nControlPoints;
    p.ApplyParamIteration = s.m_bApplyCorrection != 0;
    p.ParamIterCount = s.m_nIterations;
    p.Normalize = s.m_nNormalize;
    p.DrawDeltaVectors = s.m_bDrawDeltaVectors != 0;
    p.DrawReferenceSpecimenOnly = s.m_bReferenceOnly != 0;
    p.DrawVectorNumbers = s.m_bNumberVectors != 0;
    p.ErrorVectorsScale = s.m_fDeltaScale;
    p.DrawMeanClusterSpecimen = s.m_bDrawMeanReference != 0;
    p.PrintSpecimenList = s.m_bPrintList != 0;
    p.PrintingPenWidthSpecimen = s.m_nPenSpecimen;
    p.PrintingPenWidthDeltaVectors = s.m_nPenDelta;
    p.ColorSpace = s.m_nColorMode;
}

bool NeedsRecalculation(const CPropertySheetCluster& s, const CClusterParameter& p) {
    return s.m_nControlPoints != p.ControlPointsCnt ||
           (s.m_bApplyCorrection != 0) != p.ApplyParamIteration ||
           s.m_nIterations != p.ParamIterCount || s.m_nNormalize != p.Normalize;
}

} // namespace

bool CCarinovaDoc::EditClusterProperties(CView* sender) {
    CPropertySheetCluster sheet;
    sheet.caption = "Approximation";
    CopyToSheet(clusterParameter_, sheet);
    if (!ui_.DoModal(sheet))
        return false;
    const bool recalculate = NeedsRecalculation(sheet, clusterParameter_);
    if (recalculate && !cluster_.empty() &&
        ui_.Message("This change of the cluster properties requires a recalculation\n"
                    "of the approximation. Should the properties be changed anyway?",
                    MsgButtons::YesNo, MsgIcon::Information) != MsgAnswer::Yes)
        return false;
    CopyFromSheet(sheet, clusterParameter_);
    if (recalculate && !cluster_.empty())
        RebuildCluster();
    SetModifiedFlag();
    UpdateAllViews(sender, recalculate ? hintClusterRecalculated : hintClusterSelectionChanged,
                   nullptr);
    return true;
}

// Every member is approximated again with the current settings, in the former order; the mean
// specimen is dropped (the user computes it again) and the former reference marked again.
void CCarinovaDoc::RebuildCluster() {
    if (clusterParameter_.HasMeanRecord())
        RemoveMeanSpecimen();
    CSpecimenRecord* reference = reference_;
    const std::vector<CSpecimenRecord*> members = cluster_;
    for (CSpecimenRecord* member : members)
        RemoveFromCluster(member);
    ui_.BeginProgress(static_cast<int>(members.size()) + 1);
    ui_.StepProgress();
    InsertIntoCluster(members, true);
    ui_.StepProgress();
    // A member that could not be approximated again is no longer in the cluster.
    if (reference && IsInCluster(reference))
        SetReferenceRecord(reference);
    ui_.EndProgress();
}
