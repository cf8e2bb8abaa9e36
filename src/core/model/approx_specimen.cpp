#include "model/approx_specimen.h"

#include "model/approx_fit.h"
#include "model/approx_sheet.h"
#include "model/specimen.h"
#include "platform/c_format.h"
#include "platform/user_interaction.h"

#include <cfloat>

namespace {

// Mean and maximum distance of the data points of one half from their curve points.
void MeasureHalf(const std::vector<FPoint>& curve, const std::vector<FPoint>& points,
                 const std::vector<float>& t, float total, float& mean, float& maximum,
                 float& maximumAt) {
    mean = 0.0f;
    maximum = 0.0f;
    maximumAt = 0.0f;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const float d = (points[k] - curve[k]).Length();
        if (d >= maximum) {
            maximum = d;
            maximumAt = t[k];
        }
        mean += d / total;
    }
}

bool FindControlPoint(const CBSpline& curve, FPoint point, float radius, int& index) {
    for (int i = 0; i < curve.GetControlPointCount(); ++i) {
        const FPoint d = curve.ControlPoints[i] - point;
        if (d * d <= radius * radius) {
            index = i;
            return true;
        }
    }
    index = 0;
    return false;
}

void CopyToSheet(const CApproxSpecimen& a, CPropertySheetApprox& sheet) {
    sheet.caption = "Approximation";
    sheet.m_nControlPoints = a.ControlPointsCnt;
    sheet.m_bApplyCorrection = a.ApplyParamIteration;
    sheet.m_nIterations = a.ParamIterCount;
    sheet.m_bDrawError = a.DrawError;
    sheet.m_bMarkMaxError = a.MarkMaxError;
    sheet.m_bDrawSpline = a.ApproxLower.DrawSpline;
    sheet.m_bMarkPoints = a.ApproxLower.DrawControlPoints;
    sheet.m_bShowCoordinates = a.ApproxLower.DrawControlPointsText;
    sheet.m_bDrawPolygon = a.ApproxLower.DrawControlPolygon;
    sheet.m_crSpline = a.ApproxLower.ColorSpline;
    sheet.m_bIndexPoints = a.DrawIndex;
}

void CopyFromSheet(const CPropertySheetApprox& sheet, CApproxSpecimen& a) {
    a.ControlPointsCnt = sheet.m_nControlPoints;
    a.ApplyParamIteration = sheet.m_bApplyCorrection != 0;
    a.ParamIterCount = sheet.m_nIterations;
    a.DrawError = sheet.m_bDrawError != 0;
    a.MarkMaxError = sheet.m_bMarkMaxError != 0;
    a.DrawIndex = sheet.m_bIndexPoints != 0;
    for (CBSpline* curve : {&a.ApproxLower, &a.ApproxUpper}) {
        curve->DrawSpline = sheet.m_bDrawSpline != 0;
        curve->DrawControlPoints = sheet.m_bMarkPoints != 0;
        curve->DrawControlPointsText = sheet.m_bShowCoordinates != 0;
        curve->DrawControlPolygon = sheet.m_bDrawPolygon != 0;
    }
    a.SetColor(sheet.m_crSpline);
}

} // namespace

bool CApproxSpecimen::EnsureNormalPosition(CSpecimen& specimen, CUserInteraction& ui) const {
    if (specimen.GetApplyTransformation())
        return true;
    const MsgAnswer answer =
        ui.Message("The specimen must be in normal position for the transformation.\n"
                   "Should the specimen be transformed accordingly?",
                   MsgButtons::YesNo, MsgIcon::Information);
    if (answer != MsgAnswer::Yes)
        return false;
    specimen.SetApplyTransformation(true);
    return true;
}

bool CApproxSpecimen::FitReportingErrors(const CSpecimen& specimen, CUserInteraction& ui) {
    std::string error;
    bool fitted = false;
    {
        CWaitCursor wait(ui);
        fitted = Fit(specimen, error);
    }
    if (!fitted)
        ui.Message(error, MsgButtons::OK, MsgIcon::Exclamation);
    return fitted;
}

bool CApproxSpecimen::Approximate(CSpecimen& specimen, bool interactive, CUserInteraction& ui) {
    if (!EnsureNormalPosition(specimen, ui))
        return false;
    if (interactive) {
        CPropertySheetApprox sheet;
        CopyToSheet(*this, sheet);
        if (!ui.DoModal(sheet))
            return false;
        CopyFromSheet(sheet, *this);
    }
    return FitReportingErrors(specimen, ui);
}

bool CApproxSpecimen::Properties(CSpecimen& specimen, CUserInteraction& ui) {
    CPropertySheetApprox sheet;
    CopyToSheet(*this, sheet);
    sheet.m_bErrorsValid = ErrorValuesAreValid;
    if (ErrorValuesAreValid) {
        sheet.m_strMaxError = FormatC("%0.3f dorsal / %0.3f ventral", MaxDiffOben, MaxDiffUnten);
        sheet.m_strMeanError = FormatC("%0.3f dorsal / %0.3f ventral", MeanDiffOben, MeanDiffUnten);
    }
    sheet.m_aDorsal = ApproxUpper.ControlPoints;
    sheet.m_aVentral = ApproxLower.ControlPoints;
    if (!ui.DoModal(sheet))
        return false;
    const int oldCount = ControlPointsCnt;
    const int oldIterations = ParamIterCount;
    const bool oldApply = ApplyParamIteration;
    CopyFromSheet(sheet, *this);
    if (ControlPointsCnt != oldCount || ParamIterCount != oldIterations ||
        ApplyParamIteration != oldApply) {
        // A failed refit keeps the curves, so the parameters that made them are kept as well.
        if (!FitReportingErrors(specimen, ui)) {
            ControlPointsCnt = oldCount;
            ParamIterCount = oldIterations;
            ApplyParamIteration = oldApply;
        }
    }
    return true;
}

bool CApproxSpecimen::Fit(const CSpecimen& specimen, std::string& error) {
    const std::vector<FPoint>& ventral = specimen.GetLowerHalf();
    const std::vector<FPoint>& dorsal = specimen.GetUpperHalf();
    CApproxFitResult fit;
    const CApproxFitSettings settings{ControlPointsCnt, ApplyParamIteration && ParamIterCount > 0,
                                      ParamIterCount, Solver};
    if (!FitOutlineHalves(ventral, dorsal, settings, fit, error))
        return false;
    ApproxLower.RemoveAllControlPoints();
    ApproxUpper.RemoveAllControlPoints();
    ApproxLower.ControlPoints = fit.ventral;
    ApproxUpper.ControlPoints = fit.dorsal;
    // Each half's mean is divided by the points of both halves, so the two means add up to the
    // mean distance over the whole outline.
    const float total = static_cast<float>(ventral.size() + dorsal.size());
    MeasureHalf(fit.ventralCurve, ventral, fit.ventralParams, total, MeanDiffUnten, MaxDiffUnten,
                MaxDiffUntenAtParam);
    MeasureHalf(fit.dorsalCurve, dorsal, fit.dorsalParams, total, MeanDiffOben, MaxDiffOben,
                MaxDiffObenAtParam);
    ErrorValuesAreValid = true;
    return true;
}

bool CApproxSpecimen::HitTest(int x, int y) const {
    const FPoint p(x, y);
    int index = 0;
    return FindVentralControlPoint(p, index) || FindDorsalControlPoint(p, index);
}

bool CApproxSpecimen::FindDorsalControlPoint(FPoint point, int& index) const {
    return FindControlPoint(ApproxUpper, point, HitRadius, index);
}

bool CApproxSpecimen::FindVentralControlPoint(FPoint point, int& index) const {
    return FindControlPoint(ApproxLower, point, HitRadius, index);
}

std::string CApproxSpecimen::ToolTipText(int x, int y) const {
    const FPoint p(x, y);
    int iv = 0;
    int id = 0;
    const bool ventral = FindVentralControlPoint(p, iv);
    const bool dorsal = FindDorsalControlPoint(p, id);
    if (ventral && dorsal) {
        const FPoint c = ApproxUpper.ControlPoints[id];
        const char* side = id == 0 ? "right" : (iv == 0 ? "left" : "?");
        return FormatC("CP (%.3f,%.3f) %s", c.x, c.y, side);
    }
    if (ventral) {
        const FPoint c = ApproxLower.ControlPoints[iv];
        return FormatC("Nr.%d (%.3f,%.3f) ventral", iv, c.x, c.y);
    }
    if (dorsal) {
        const FPoint c = ApproxUpper.ControlPoints[id];
        return FormatC("Nr.%d (%.3f,%.3f) dorsal", id, c.x, c.y);
    }
    return {};
}

bool CApproxSpecimen::EditControlPoint(int x, int y, CUserInteraction& ui) {
    const FPoint p(x, y);
    int iv = 0;
    int id = 0;
    const bool ventral = FindVentralControlPoint(p, iv);
    const bool dorsal = FindDorsalControlPoint(p, id);
    if (!ventral && !dorsal)
        return false;
    CControlPointDialog dialog;
    dialog.caption = "Control points";
    const FPoint current = dorsal ? ApproxUpper.ControlPoints[id] : ApproxLower.ControlPoints[iv];
    dialog.m_fX = current.x;
    dialog.m_fY = current.y;
    dialog.m_bYEnabled = !(ventral && dorsal);
    if (!ui.DoModal(dialog))
        return false;
    // A shared end point keeps its y: it stays on the first main axis.
    const FPoint edited(dialog.m_fX, dialog.m_bYEnabled ? dialog.m_fY : current.y);
    if (dorsal)
        ApproxUpper.ControlPoints[id] = edited;
    if (ventral)
        ApproxLower.ControlPoints[iv] = edited;
    return true;
}

void CApproxSpecimen::GetBoundingBox(FRect& rect) const {
    rect.min = FPoint(FLT_MAX, FLT_MAX);
    rect.max = FPoint(-FLT_MAX, -FLT_MAX);
    for (const CBSpline* curve : {&ApproxUpper, &ApproxLower}) {
        for (const FPoint& p : curve->ControlPoints) {
            if (p.x < rect.min.x)
                rect.min.x = p.x;
            if (p.y < rect.min.y)
                rect.min.y = p.y;
            if (p.x > rect.max.x)
                rect.max.x = p.x;
            if (p.y > rect.max.y)
                rect.max.y = p.y;
        }
    }
}

void CApproxSpecimen::SetSplinePenWidth(int width) {
    ApproxLower.SplinePenWidth = width;
    ApproxUpper.SplinePenWidth = width;
}

void CApproxSpecimen::SetColor(ColorRef color) {
    ApproxLower.ColorSpline = color;
    ApproxUpper.ColorSpline = color;
}

float CApproxSpecimen::ReferenceLength() const {
    if (ApproxUpper.ControlPoints.empty() || ApproxLower.ControlPoints.empty())
        return 0.0f;
    return ApproxUpper.ControlPoints.front().x - ApproxLower.ControlPoints.front().x;
}
