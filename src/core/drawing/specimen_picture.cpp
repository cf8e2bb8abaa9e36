#include "drawing/specimen_picture.h"

#include "cluster/specimen_record.h"
#include "drawing/dc_state_guard.h"
#include "drawing/hint_bullet.h"
#include "drawing/mapping_extent.h"
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
constexpr ColorRef kAxisGrey = RGB(186, 186, 186);
constexpr ColorRef kBlue = RGB(0, 0, 255);
constexpr ColorRef kRed = RGB(255, 0, 0);
constexpr ColorRef kYellow = RGB(255, 255, 0);
constexpr ColorRef kWhite = RGB(255, 255, 255);
constexpr ColorRef kLandmarkGreen = RGB(0, 128, 0);

const CSpecimen* SpecimenOf(const CSpecimenRecord* record) {
    return record ? record->GetSpecimen() : nullptr;
}

FRect Widened(const FRect& r, double fraction) {
    const double dx = fraction * r.Width();
    const double dy = fraction * r.Height();
    return {{static_cast<float>(r.min.x - dx), static_cast<float>(r.min.y - dy)},
            {static_cast<float>(r.max.x + dx), static_cast<float>(r.max.y + dy)}};
}

// The scroll view's own mapping: 0.1 mm units, y up, origin at the top-left of the window.
void PrepareHintMapping(CDC& dc) {
    dc.SetMapMode(MM_LOMETRIC);
    dc.SetWindowOrg(0, 0);
    dc.SetViewportOrg(0, 0);
}

// The label font: 12 pixels at 96 dpi, default family and character set.
CFont LabelFont(float h) {
    return MakePictureFont(h, FW_NORMAL, 0);
}

void DrawCoordinateSystem(CDC& dc, const FRect& box) {
    CDCStateGuard guard(dc);
    dc.SelectPen({PenStyle::Solid, 0, kAxisGrey});
    dc.MoveTo(TruncToInt(std::min(-10.0f, box.min.x - 10.0f)), 0);
    dc.LineTo(TruncToInt(box.max.x + 10.0f), 0);
    dc.MoveTo(0, TruncToInt(std::min(-10.0f, box.min.y - 10.0f)));
    dc.LineTo(0, TruncToInt(box.max.y + 10.0f));
}

void DrawBoundingBox(CDC& dc, const FRect& box, float h) {
    CDCStateGuard guard(dc);
    const int left = TruncToInt(box.min.x);
    const int bottom = TruncToInt(box.min.y);
    const int right = TruncToInt(box.max.x);
    const int top = TruncToInt(box.max.y);
    dc.SelectPen({PenStyle::DashDot, 1, kBlue});
    dc.Polyline({{left, bottom}, {right, bottom}, {right, top}, {left, top}, {left, bottom}});
    dc.SelectFont(LabelFont(h));
    dc.SetTextColor(kBlue);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.TextOut(left, TruncToInt(box.min.y - 10.0f),
               FormatC("BoundingBox: %d %d %d %d", left, bottom, right, top));
}

// On paper the curves come out black; the document's colour stays untouched.
void DrawApproximation(CDC& dc, const CApproxSpecimen& approximation) {
    if (!dc.IsPrinting()) {
        approximation.Draw(dc);
        return;
    }
    CApproxSpecimen black = approximation;
    black.SetColor(kBlack);
    black.Draw(dc);
}

void DrawMainAxes(CDC& dc, const CSpecimen& specimen) {
    CDCStateGuard guard(dc);
    FPoint e1;
    FPoint e2;
    specimen.GetTransformedAxes(e1, e2);
    const FPoint c = specimen.GetTransformedCentroid();
    dc.SetTextColor(kRed);
    dc.SelectPen({PenStyle::DashDot, 0, kRed});
    auto axis = [&](FPoint direction, const char* name) {
        const FPoint end = c + 100.0f * direction;
        dc.MoveTo(TruncToInt(c.x), TruncToInt(c.y));
        dc.LineTo(TruncToInt(end.x), TruncToInt(end.y));
        dc.TextOut(TruncToInt(end.x), TruncToInt(end.y), name);
    };
    axis(e1, "1");
    axis(e2, "2");
}

void DrawCentroid(CDC& dc, const CSpecimen& specimen) {
    CDCStateGuard guard(dc);
    const FPoint c = specimen.GetTransformedCentroid();
    dc.SelectPen({PenStyle::Solid, 0, kBlack});
    dc.MoveTo(TruncToInt(c.x - 10.0f), TruncToInt(c.y));
    dc.LineTo(TruncToInt(c.x + 10.0f), TruncToInt(c.y));
    dc.MoveTo(TruncToInt(c.x), TruncToInt(c.y - 10.0f));
    dc.LineTo(TruncToInt(c.x), TruncToInt(c.y + 10.0f));
}

// Each landmark as a cross of half a label height with its number (from 1, in file order).
void DrawLandmarks(CDC& dc, const CSpecimen& specimen, float h) {
    if (specimen.Landmarks.empty())
        return;
    CDCStateGuard guard(dc);
    const float arm = 0.5f * std::fabs(h);
    dc.SelectPen({PenStyle::Solid, 0, dc.IsPrinting() ? kBlack : kLandmarkGreen});
    dc.SelectFont(LabelFont(h));
    dc.SetTextColor(dc.IsPrinting() ? kBlack : kLandmarkGreen);
    dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
    for (std::size_t i = 0; i < specimen.Landmarks.size(); ++i) {
        const FPoint p = specimen.TransformPoint(specimen.Landmarks[i], false);
        dc.MoveTo(TruncToInt(p.x - arm), TruncToInt(p.y - arm));
        dc.LineTo(TruncToInt(p.x + arm), TruncToInt(p.y + arm));
        dc.MoveTo(TruncToInt(p.x - arm), TruncToInt(p.y + arm));
        dc.LineTo(TruncToInt(p.x + arm), TruncToInt(p.y - arm));
        dc.TextOut(TruncToInt(p.x + arm), TruncToInt(p.y + arm), std::to_string(i + 1));
    }
}

// h is negative with y up, so bottom + 4h lies below the box.
void DrawScaleBar(CDC& dc, const FRect& box, float h, bool scaleSpecified) {
    CDCStateGuard guard(dc);
    dc.SelectPen({PenStyle::Solid, 0, kBlack});
    dc.SelectBrush({BrushStyle::Solid, dc.IsPrinting() ? kWhite : kYellow});
    dc.Rectangle(TruncToInt(box.max.x - 100.0f), TruncToInt(box.min.y + 4.0f * h),
                 TruncToInt(box.max.x), TruncToInt(box.min.y + 4.4f * h));
    dc.SelectFont(LabelFont(h));
    dc.SetTextColor(kBlack);
    dc.SetTextAlign(TA_CENTER | TA_BASELINE);
    dc.TextOut(TruncToInt(box.max.x - 50.0f), TruncToInt(box.min.y + 6.0f * h),
               scaleSpecified ? "100 microns" : "100 pixel");
}

void DrawName(CDC& dc, const FRect& box, float h, const std::string& name) {
    CDCStateGuard guard(dc);
    dc.SelectFont(LabelFont(h));
    dc.SetTextColor(kBlack);
    dc.SetTextAlign(TA_LEFT | TA_BASELINE);
    dc.TextOut(TruncToInt(box.min.x), TruncToInt(box.max.y - 3.0f * h), name);
}

// What the picture of a record draws: the specimen's outline with its approximation, or, for
// the mean specimen, which has no outline, its cluster approximation.
struct CPictureSubject {
    const CSpecimen* specimen = nullptr;
    const CApproxSpecimen* curves = nullptr;
    bool mean = false;
    FRect box; // the outline's bounding box, or the mean's control points'
};

CPictureSubject SubjectOf(const CSpecimenRecord* record) {
    CPictureSubject subject;
    subject.specimen = SpecimenOf(record);
    if (!subject.specimen)
        return subject;
    subject.mean = subject.specimen->Contour.empty() && record->HasClusterApproximation();
    subject.curves = subject.mean ? record->GetClusterApproximation() : record->GetApproximation();
    if (subject.mean)
        subject.curves->GetBoundingBox(subject.box);
    else
        subject.specimen->GetBoundingBox(subject.box);
    return subject;
}

// The mean keeps its colour on paper too; its control points show where it was averaged.
void DrawMeanCurves(CDC& dc, const CApproxSpecimen& cluster) {
    CApproxSpecimen mean = cluster;
    for (CBSpline* curve : {&mean.ApproxUpper, &mean.ApproxLower})
        curve->DrawControlPoints = true;
    if (!dc.IsPrinting())
        mean.SetSplinePenWidth(0);
    mean.Draw(dc);
}

void DrawSpecimenContent(CDC& dc, const CPictureSubject& subject,
                         const CSpecimenViewSettings& settings) {
    const CSpecimen& specimen = *subject.specimen;
    const FRect& box = subject.box;
    const float h = PictureFontHeight(dc);
    if (settings.m_bDrawCoordinateSystem)
        DrawCoordinateSystem(dc, box);
    if (settings.m_bDrawBoundingBox)
        DrawBoundingBox(dc, box, h);
    if (settings.m_bDrawOutline)
        specimen.Draw(dc);
    DrawLandmarks(dc, specimen, h);
    if (subject.mean)
        DrawMeanCurves(dc, *subject.curves);
    else if (subject.curves)
        DrawApproximation(dc, *subject.curves);
    // The mean has no statistics, and its units are the cluster's (normalised) ones.
    if (!subject.mean) {
        if (settings.m_bDrawMainAxes)
            DrawMainAxes(dc, specimen);
        if (settings.m_bDrawCentroid)
            DrawCentroid(dc, specimen);
        DrawScaleBar(dc, box, h, specimen.ScaleSpecified);
    }
    if (!specimen.ShortPathName.empty())
        DrawName(dc, box, h, specimen.ShortPathName);
}

// The room the texts around the picture take, in label heights of 12 pixels: the name above
// the box (baseline three heights up), the bounding-box label and the scale bar with its
// caption under it (baseline six heights down), and the approximation's three error lines
// under the window's bottom edge, ten units lower.
// The printed page places only its header and footer in this mapping; it keeps the plain fit.
std::vector<CTextBand> TextBands(const CDC& dc, const CPictureSubject& subject,
                                 const FRect& window) {
    if (dc.IsPrinting())
        return {};
    const double lh = LabelPixels(dc);
    std::vector<CTextBand> bands{{subject.box.max.y, 4.2 * lh, 0.0},
                                 {subject.box.min.y - 10.0, 0.0, 1.3 * lh}};
    if (!subject.mean)
        bands.push_back({subject.box.min.y, 0.0, 6.5 * lh});
    if (subject.curves && subject.curves->DrawError)
        bands.push_back({window.min.y - 12.0, 0.0, 5.4 * lh});
    return bands;
}

// The printed picture: the subject's own box (not the approximation's), with room above it
// for the approximation's error texts.
void PrepareBodyMapping(CDC& dc, const FRect& box, const CRect& deviceRect) {
    const double w = box.Width();
    const double h = box.Height();
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(MappingExtent(1.3 * w, 1), MappingExtent(-1.3 * h, -1));
    dc.SetWindowOrg(TruncToInt(box.min.x - 0.15 * w), TruncToInt(box.max.y + 0.4 * h));
    dc.SetViewportExt(deviceRect.Width(), deviceRect.Height());
    dc.SetViewportOrg(deviceRect.left, deviceRect.top);
}

} // namespace

void PrepareSpecimenMapping(CDC& dc, const CSpecimenRecord* record, CSize clientSize) {
    const CPictureSubject subject = SubjectOf(record);
    if (!subject.specimen) {
        PrepareHintMapping(dc);
        return;
    }
    FRect box = Widened(subject.box, 0.15);
    if (subject.curves) {
        FRect curvesBox;
        subject.curves->GetBoundingBox(curvesBox);
        box = box.Union(Widened(curvesBox, 0.10));
    }
    box.max.y = static_cast<float>(box.max.y + 0.1 * box.Height());
    PrepareFittedMapping(dc, box, TextBands(dc, subject, box), clientSize);
}

void DrawSpecimenView(CDC& dc, const CSpecimenRecord* record,
                      const CSpecimenViewSettings& settings) {
    const CPictureSubject subject = SubjectOf(record);
    if (subject.specimen)
        DrawSpecimenContent(dc, subject, settings);
    else
        DrawSpecimenHints(dc);
}

void DrawSpecimenPicture(CDC& dc, const CSpecimenRecord* record,
                         const CSpecimenViewSettings& settings, CSize clientSize) {
    PrepareSpecimenMapping(dc, record, clientSize);
    DrawSpecimenView(dc, record, settings);
}

void DrawSpecimenHints(CDC& dc) {
    dc.TextOut(100, -100, "Open an existing Carinova document with the menu item \"File - Open\".");
    dc.TextOut(100, -200, "You can insert specimens via the menu item \"Specimen - Insert\".");
    dc.TextOut(100, -300, "To display the outline of a specimen select it in the left tree view.");
    for (const int top : {-100, -200, -300})
        DrawHintBullet(dc, 40, top);
}

void PrintSpecimenPage(CDC& dc, const CSpecimenRecord* record,
                       const CSpecimenViewSettings& settings, CSize viewClientSize,
                       const CPrintPageInfo& page) {
    PrepareSpecimenMapping(dc, record, viewClientSize);
    const CPictureSubject subject = SubjectOf(record);
    const CSpecimen* specimen = subject.specimen;
    // The mean specimen has no file; its name stands in for the path.
    std::string title;
    if (specimen)
        title = specimen->PathName.empty() ? specimen->ShortPathName : specimen->PathName;
    CRect rect = LogicalPageRect(dc);
    {
        CDCStateGuard guard(dc);
        dc.SelectFont(LabelFont(PictureFontHeight(dc)));
        dc.SetTextAlign(TA_LEFT | TA_BASELINE);
        DrawPageHeader(dc, rect, "Specimen: " + title);
        DrawPageFooter(dc, rect, page);
    }
    if (!specimen)
        return;
    PrepareBodyMapping(dc, subject.box, DeviceRect(dc, rect));
    DrawSpecimenContent(dc, subject, settings);
}
