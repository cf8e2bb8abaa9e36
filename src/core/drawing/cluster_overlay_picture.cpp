#include "drawing/cluster_overlay_picture.h"

#include "document/carinova_doc.h"
#include "drawing/dc_state_guard.h"
#include "drawing/hint_bullet.h"
#include "drawing/picture_fit.h"
#include "drawing/picture_font.h"
#include "model/int_round.h"
#include "platform/c_format.h"
#include "platform/cdc.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr ColorRef kBlack = RGB(0, 0, 0);
constexpr ColorRef kYellow = RGB(255, 255, 0);
constexpr ColorRef kWhite = RGB(255, 255, 255);

// Screen: hairlines in the member's colour. Paper: the cluster's pen width, and black unless
// the cluster prints in colour.
void DrawMemberCurves(CDC& dc, const CCarinovaDoc& doc, const CSpecimenRecord* record) {
    if (!IsDrawnInOverlay(doc, record))
        return;
    const CClusterParameter& parameter = doc.GetClusterParameter();
    CApproxSpecimen curves = *record->GetClusterApproximation();
    if (dc.IsPrinting()) {
        curves.SetSplinePenWidth(parameter.PrintingPenWidthSpecimen);
        if (parameter.ColorSpace == 0)
            curves.SetColor(kBlack);
    } else {
        curves.SetSplinePenWidth(0);
    }
    curves.Draw(dc);
}

// The mean goes on top of the members, wherever it stands in the list (a loaded document may
// hold it first).
void DrawCurves(CDC& dc, const CCarinovaDoc& doc) {
    const CSpecimenRecord* mean = doc.GetClusterParameter().GetMeanRecord();
    const auto& list = doc.GetClusterList();
    for (const CSpecimenRecord* record : list)
        if (record != mean)
            DrawMemberCurves(dc, doc, record);
    if (mean && std::find(list.begin(), list.end(), mean) != list.end())
        DrawMemberCurves(dc, doc, mean);
}

bool AllScalesSpecified(const CCarinovaDoc& doc) {
    for (const CSpecimenRecord* record : doc.GetClusterList())
        if (!record || !record->HasSpecimen() || !record->GetSpecimen()->ScaleSpecified)
            return false;
    return true;
}

std::string NormalisationText(int mode) {
    switch (mode) {
    case CClusterParameter::NormalizeOuterPoints:
        return "Normalised (m1-m2)";
    case CClusterParameter::NormalizeArea:
        return "Normalised (Area)";
    case CClusterParameter::NormalizeCentroidSize:
        return "Normalised (Centroid Size)";
    default:
        return "Normalised";
    }
}

// A bar of 100 units (micrometres when every specimen has a scale) above the legend text.
void DrawScaleBar(CDC& dc, const CClusterParameter& parameter, const FRect& b, float a) {
    CDCStateGuard guard(dc);
    const bool white = dc.IsPrinting() && parameter.ColorSpace == 0;
    dc.SelectPen({PenStyle::Solid, 0, kBlack});
    dc.SelectBrush({BrushStyle::Solid, white ? kWhite : kYellow});
    dc.Rectangle(TruncToInt(b.max.x - 150.0f), TruncToInt(b.min.y - 4.0f * a),
                 TruncToInt(b.max.x - 50.0f), TruncToInt(b.min.y - 4.6f * a));
}

// Lines end at xmax - 50, below the picture, |hf| being one text height.
void DrawLegend(CDC& dc, const CCarinovaDoc& doc, const FRect& b) {
    const CClusterParameter& parameter = doc.GetClusterParameter();
    const float hf = PictureFontHeight(dc);
    const float a = std::fabs(hf);
    CDCStateGuard guard(dc);
    dc.SetTextColor(kBlack);
    dc.SelectFont(OverlayFont(hf, FW_NORMAL));
    dc.SetTextAlign(TA_RIGHT | TA_BASELINE);
    const int x = TruncToInt(b.max.x - 50.0f);
    auto line = [&](float heights, const std::string& text) {
        dc.TextOut(x, TruncToInt(b.min.y - heights * a), text);
    };
    if (parameter.Normalize != CClusterParameter::NormalizeNone) {
        line(6.0f, NormalisationText(parameter.Normalize));
    } else if (AllScalesSpecified(doc)) {
        DrawScaleBar(dc, parameter, b, a);
        line(6.0f, "100 microns");
    } else {
        line(6.0f, "Invalid scales");
    }
    line(8.0f, FormatC("DeltaVecScale: %0.2f", parameter.ErrorVectorsScale));
    line(10.0f, parameter.ApplyParamIteration
                    ? FormatC("Number of Iterations: %d", parameter.ParamIterCount)
                    : std::string("Number of Iterations: not applied"));
}

// One vector from the reference's control point i to the member's, scaled; its number sits a
// tenth beyond the tip. Points missing on either curve draw nothing.
void DrawDelta(CDC& dc, const CBSpline& reference, const CBSpline& member, int i, int number,
               const CClusterParameter& parameter) {
    if (i >= reference.GetControlPointCount() || i >= member.GetControlPointCount())
        return;
    const FPoint r = reference.ControlPoints[i];
    const FPoint v = parameter.ErrorVectorsScale * (member.ControlPoints[i] - r);
    if (parameter.DrawVectorNumbers)
        dc.TextOut(TruncToInt(r.x + 1.1 * v.x), TruncToInt(r.y + 1.1 * v.y), FormatC("%d", number));
    const FPoint tip = r + v;
    dc.MoveTo(RoundHalfAway(r.x), RoundHalfAway(r.y));
    dc.LineTo(RoundHalfAway(tip.x), RoundHalfAway(tip.y));
}

// Under m1-m2 normalisation the outer points are the same in every member and are left out.
void DrawDeltaVectors(CDC& dc, const CCarinovaDoc& doc) {
    const CSpecimenRecord* referenceRecord = doc.GetReferenceRecord();
    if (!referenceRecord || !referenceRecord->HasClusterApproximation())
        return;
    const CApproxSpecimen& reference = *referenceRecord->GetClusterApproximation();
    const CClusterParameter& parameter = doc.GetClusterParameter();
    CDCStateGuard guard(dc);
    dc.SelectFont(OverlayFont(PictureFontHeight(dc), 200));
    dc.SetBkMode(TRANSPARENT);
    if (dc.IsPrinting())
        dc.SelectPen({PenStyle::Solid, parameter.PrintingPenWidthDeltaVectors, kBlack});
    const int n = reference.ApproxLower.GetControlPointCount();
    const bool outerFixed = parameter.Normalize == CClusterParameter::NormalizeOuterPoints;
    const int first = outerFixed ? 1 : 0;
    const int last = outerFixed ? n - 2 : n - 1;
    const auto& list = doc.GetClusterList();
    for (int p = 0; p < static_cast<int>(list.size()); ++p) {
        const CApproxSpecimen* member = list[p] ? list[p]->GetClusterApproximation() : nullptr;
        for (int i = first; member != nullptr && i <= last; ++i) {
            DrawDelta(dc, reference.ApproxLower, member->ApproxLower, i, p, parameter);
            DrawDelta(dc, reference.ApproxUpper, member->ApproxUpper, i, p, parameter);
        }
    }
}

} // namespace

FRect OverlayBounds(const CCarinovaDoc& doc) {
    FRect bounds;
    doc.GetClusterBoundingRect(bounds);
    return bounds;
}

CFont OverlayFont(float hf, int weight) {
    return MakePictureFont(hf, weight, FF_SWISS);
}

void PrepareOverlayMapping(CDC& dc, const CCarinovaDoc& doc, CSize clientSize) {
    if (doc.GetClusterList().empty()) {
        dc.SetMapMode(MM_LOMETRIC);
        dc.SetWindowOrg(0, 0);
        dc.SetViewportOrg(0, 0);
        return;
    }
    const FRect b = OverlayBounds(doc);
    const double w = b.Width();
    const double h = b.Height();
    const FRect window{
        {static_cast<float>(b.min.x - 0.15 * w), static_cast<float>(b.min.y - 0.05 * h)},
        {static_cast<float>(b.min.x + 1.15 * w), static_cast<float>(b.max.y + 0.15 * h)}};
    // The legend's last line has its baseline ten text heights under the picture. Printed
    // pages place only header, footer and member list in this mapping and keep the plain fit.
    std::vector<CTextBand> legend;
    if (!dc.IsPrinting())
        legend.push_back({b.min.y, 0.0, 10.5 * LabelPixels(dc)});
    PrepareFittedMapping(dc, window, legend, clientSize);
}

void DrawOverlayView(CDC& dc, const CCarinovaDoc& doc) {
    if (doc.GetClusterList().empty()) {
        DrawOverlayHints(dc);
        return;
    }
    DrawCurves(dc, doc);
    DrawLegend(dc, doc, OverlayBounds(doc));
    if (doc.GetClusterParameter().DrawDeltaVectors)
        DrawDeltaVectors(dc, doc);
}

void DrawOverlayPicture(CDC& dc, const CCarinovaDoc& doc, CSize clientSize) {
    PrepareOverlayMapping(dc, doc, clientSize);
    DrawOverlayView(dc, doc);
}

void DrawOverlayHints(CDC& dc) {
    dc.TextOut(100, -100, "To add a specimen to the cluster select it in the tree view");
    dc.TextOut(116, -160, "and insert it with the menu item \"Cluster - Insert\".");
    dc.TextOut(100, -260, "Select a cluster reference specimen.");
    dc.TextOut(100, -360,
               "Calculate a mean specimen with the menu item \"Cluster - Calc mean specimen\"");
    for (const int top : {-100, -260, -360})
        DrawHintBullet(dc, 40, top);
}

// The mean follows its own switch; with "reference only" the other members are left out.
bool IsDrawnInOverlay(const CCarinovaDoc& doc, const CSpecimenRecord* record) {
    if (!record || !record->HasClusterApproximation())
        return false;
    const CClusterParameter& parameter = doc.GetClusterParameter();
    if (record == parameter.GetMeanRecord())
        return parameter.DrawMeanClusterSpecimen;
    const CSpecimenRecord* reference = doc.GetReferenceRecord();
    return !(parameter.DrawReferenceSpecimenOnly && reference && record != reference);
}

void KeepOverlayScreenPenWidth(CCarinovaDoc& doc) {
    for (CSpecimenRecord* record : doc.GetClusterList())
        if (IsDrawnInOverlay(doc, record))
            record->GetClusterApproximation()->SetSplinePenWidth(0);
}
