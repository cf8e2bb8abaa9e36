#include "drawing/morphospace_picture.h"

#include "cluster/specimen_record.h"
#include "drawing/dc_state_guard.h"
#include "drawing/morphospace_scene.h"
#include "drawing/picture_font.h"
#include "platform/c_format.h"
#include "platform/cdc.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

constexpr ColorRef kBlack = RGB(0, 0, 0);
constexpr ColorRef kGrey = RGB(150, 150, 150);
constexpr ColorRef kPale = RGB(190, 190, 190);

int Round(double v) {
    return static_cast<int>(std::lround(std::clamp(v, -1e9, 1e9)));
}

// Geometry of one picture: its layout and the pen widths of this device.
struct CCanvas {
    CDC& dc;
    const CMorphospaceScene& scene;
    const CMorphospacePlot& plot;
    int Px(double units) const { return std::max(1, Round(units * plot.Unit())); }
    int X(int point, int component) const {
        return Round(plot.DeviceX(scene.space->Score(point, component)));
    }
    int PointX(int point) const { return X(point, scene.xComponent); }
    int PointY(int point) const {
        return Round(plot.DeviceY(scene.space->Score(point, scene.yComponent)));
    }
};

// Circles and squares are filled; triangles and diamonds drawn as outlines.
void SelectMarkerStyle(CDC& dc, CMorphospaceGroup::Marker marker, ColorRef color, int pen) {
    if (marker == CMorphospaceGroup::Circle || marker == CMorphospaceGroup::Square) {
        dc.SelectPen({PenStyle::Null, 0, color});
        dc.SelectBrush({BrushStyle::Solid, color});
    } else {
        dc.SelectPen({PenStyle::Solid, pen, color});
        dc.SelectBrush({BrushStyle::Null, color});
    }
}

void DrawMarker(CDC& dc, CMorphospaceGroup::Marker marker, int x, int y, int r) {
    switch (marker) {
    case CMorphospaceGroup::Circle:
        dc.Ellipse(x - r, y - r, x + r + 1, y + r + 1);
        break;
    case CMorphospaceGroup::Square:
        dc.Rectangle(x - r, y - r, x + r + 1, y + r + 1);
        break;
    case CMorphospaceGroup::Triangle:
        dc.MoveTo(x, y - r - 1);
        dc.LineTo(x + r + 1, y + r);
        dc.LineTo(x - r - 1, y + r);
        dc.LineTo(x, y - r - 1);
        break;
    case CMorphospaceGroup::Diamond:
        dc.MoveTo(x, y - r - 1);
        dc.LineTo(x + r + 1, y);
        dc.LineTo(x, y + r + 1);
        dc.LineTo(x - r - 1, y);
        dc.LineTo(x, y - r - 1);
        break;
    }
}

void DrawRing(CDC& dc, int x, int y, int r, ColorRef color, int pen) {
    dc.SelectPen({PenStyle::Solid, pen, color});
    dc.SelectBrush({BrushStyle::Null, color});
    dc.Ellipse(x - r, y - r, x + r + 1, y + r + 1);
}

void DrawZeroLines(const CCanvas& c) {
    const CMorphospacePlot& plot = c.plot;
    const CRect& f = plot.Frame();
    c.dc.SelectPen({PenStyle::Dot, 0, kGrey});
    if (plot.XMin() < 0.0 && plot.XMax() > 0.0) {
        const int x = Round(plot.DeviceX(0.0));
        c.dc.MoveTo(x, f.top);
        c.dc.LineTo(x, f.bottom);
    }
    if (plot.YMin() < 0.0 && plot.YMax() > 0.0) {
        const int y = Round(plot.DeviceY(0.0));
        c.dc.MoveTo(f.left, y);
        c.dc.LineTo(f.right, y);
    }
}

void DrawGroupSpreads(const CCanvas& c) {
    const CMorphospace& space = *c.scene.space;
    for (const CMorphospaceGroup& group : c.scene.groups) {
        const CGroupSpread spread =
            GroupSpread(space, group, c.scene.xComponent, c.scene.yComponent);
        const std::vector<CScorePoint> outline = ConfidenceEllipse(spread);
        c.dc.SelectPen({PenStyle::Solid, c.Px(1), group.color});
        if (!outline.empty()) {
            std::vector<CPoint> line;
            for (const CScorePoint& q : outline)
                line.push_back({Round(c.plot.DeviceX(q.x)), Round(c.plot.DeviceY(q.y))});
            line.push_back(line.front());
            c.dc.Polyline(line);
        }
        // The group mean as a cross.
        const int x = Round(c.plot.DeviceX(spread.meanX));
        const int y = Round(c.plot.DeviceY(spread.meanY));
        const int arm = c.Px(6);
        c.dc.SelectPen({PenStyle::Solid, c.Px(2), group.color});
        c.dc.MoveTo(x - arm, y);
        c.dc.LineTo(x + arm + 1, y);
        c.dc.MoveTo(x, y - arm);
        c.dc.LineTo(x, y + arm + 1);
    }
}

void DrawPoints(const CCanvas& c) {
    const int r = c.Px(3);
    for (const CMorphospaceGroup& group : c.scene.groups) {
        SelectMarkerStyle(c.dc, group.marker, group.color, c.Px(1.5));
        for (int point : group.points)
            DrawMarker(c.dc, group.marker, c.PointX(point), c.PointY(point), r);
    }
    if (const int mean = c.scene.space->MeanPoint(); mean >= 0) {
        SelectMarkerStyle(c.dc, CMorphospaceGroup::Diamond, c.scene.meanColor, c.Px(2));
        DrawMarker(c.dc, CMorphospaceGroup::Diamond, c.PointX(mean), c.PointY(mean), c.Px(6));
    }
    if (const int ref = c.scene.referencePoint; ref >= 0)
        DrawRing(c.dc, c.PointX(ref), c.PointY(ref), c.Px(7), c.scene.referenceColor, c.Px(2));
    if (const int sel = c.scene.selectedPoint; sel >= 0)
        DrawRing(c.dc, c.PointX(sel), c.PointY(sel), c.Px(10), kBlack, c.Px(1));
}

void DrawFrameAndTicks(const CCanvas& c) {
    CDC& dc = c.dc;
    const CMorphospacePlot& plot = c.plot;
    const CRect& f = plot.Frame();
    dc.SelectPen({PenStyle::Solid, 0, kBlack});
    dc.SelectBrush({BrushStyle::Null, kBlack});
    dc.Rectangle(f.left, f.top, f.right + 1, f.bottom + 1);
    const int tick = c.Px(4);
    const double step = plot.TickStep();
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    for (double v = std::ceil(plot.XMin() / step) * step; v <= plot.XMax(); v += step) {
        const int x = Round(plot.DeviceX(v));
        dc.MoveTo(x, f.bottom);
        dc.LineTo(x, f.bottom + tick);
        dc.TextOut(x, f.bottom + tick, plot.TickLabel(v));
    }
    const int half = dc.GetTextExtent("Ag").cy / 2;
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    for (double v = std::ceil(plot.YMin() / step) * step; v <= plot.YMax(); v += step) {
        const int y = Round(plot.DeviceY(v));
        dc.MoveTo(f.left - tick, y);
        dc.LineTo(f.left, y);
        dc.TextOut(f.left - tick - c.Px(2), y - half, plot.TickLabel(v));
    }
}

void DrawTitles(const CCanvas& c) {
    const CRect& f = c.plot.Frame();
    const CMorphospace& space = *c.scene.space;
    const int th = c.dc.GetTextExtent("Ag").cy;
    c.dc.SetTextAlign(TA_CENTER | TA_TOP);
    c.dc.TextOut((f.left + f.right) / 2, c.plot.XTitleBaseline() - th / 2,
                 ComponentTitle(space, c.scene.xComponent));
    c.dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
    c.dc.TextOut(f.left, f.top - c.Px(4), ComponentTitle(space, c.scene.yComponent));
}

// A shape scaled about `centre` by `factor`, drawn with the given pen.
CApproxSpecimen Scaled(CApproxSpecimen shape, FPoint centre, double factor, ColorRef color,
                       int pen) {
    for (CBSpline* curve : {&shape.ApproxUpper, &shape.ApproxLower})
        for (FPoint& p : curve->ControlPoints)
            p = {static_cast<float>((p.x - centre.x) * factor),
                 static_cast<float>((p.y - centre.y) * factor)};
    shape.SetColor(color);
    shape.SetSplinePenWidth(pen);
    return shape;
}

// The box of the drawn curves (the control points reach further out than the curves).
FRect CurveBounds(const CApproxSpecimen& shape) {
    FRect box;
    bool first = true;
    for (const CBSpline* curve : {&shape.ApproxUpper, &shape.ApproxLower})
        for (int i = 0; i <= 64; ++i) {
            const FPoint p = curve->Evaluate(static_cast<float>(i) / 64.0f);
            box.min = first ? p : FPoint(std::min(box.min.x, p.x), std::min(box.min.y, p.y));
            box.max = first ? p : FPoint(std::max(box.max.x, p.x), std::max(box.max.y, p.y));
            first = false;
        }
    return box;
}

// Each shape is drawn over the mean shape, all at one scale so that they can be compared. The
// curves are scaled to about 10,000 logical units first, since they are drawn at whole units.
void DrawShapes(const CCanvas& c) {
    CDC& dc = c.dc;
    const CMorphospace& space = *c.scene.space;
    const int th = dc.GetTextExtent("Ag").cy;
    struct Item {
        CMorphospacePlot::ShapeBox box;
        int component;
        double sd;
    };
    const Item items[] = {{CMorphospacePlot::XMinus, c.scene.xComponent, -2.0},
                          {CMorphospacePlot::XPlus, c.scene.xComponent, 2.0},
                          {CMorphospacePlot::YMinus, c.scene.yComponent, -2.0},
                          {CMorphospacePlot::YPlus, c.scene.yComponent, 2.0}};
    const CApproxSpecimen mean = space.MeanShape();
    FRect bounds = CurveBounds(mean);
    for (const Item& item : items)
        bounds = bounds.Union(CurveBounds(space.Shape(item.component, item.sd)));
    const double extent = std::max(bounds.Width(), bounds.Height());
    if (!(extent > 0.0) || !std::isfinite(extent))
        return;
    const double factor = 10000.0 / extent;
    const FPoint centre((bounds.min.x + bounds.max.x) / 2, (bounds.min.y + bounds.max.y) / 2);
    for (const Item& item : items) {
        const CRect& box = c.plot.ShapeBoxOf(item.box);
        dc.SetTextAlign(TA_CENTER | TA_BOTTOM);
        dc.TextOut((box.left + box.right) / 2, box.bottom,
                   FormatC("PC%d %+d sd", item.component + 1, static_cast<int>(item.sd)));
        const double scale = 0.95 * std::min(box.Width() / (bounds.Width() * factor),
                                             (box.Height() - th) / (bounds.Height() * factor));
        const int viewport = Round(10000.0 * scale);
        if (viewport < 1)
            continue;
        // Pens of about one screen pixel on any device.
        const int pen = dc.IsPrinting() ? std::max(1, Round(c.plot.Unit() / scale)) : 0;
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowOrg(0, 0);
        dc.SetWindowExt(10000, 10000);
        dc.SetViewportExt(viewport, -viewport);
        dc.SetViewportOrg((box.left + box.right) / 2, (box.top + box.bottom - th) / 2);
        Scaled(mean, centre, factor, kPale, pen).Draw(dc);
        Scaled(space.Shape(item.component, item.sd), centre, factor, kBlack, pen).Draw(dc);
        dc.SetMapMode(MM_TEXT);
        dc.SetViewportOrg(0, 0);
    }
}

void DrawLegend(const CCanvas& c) {
    CDC& dc = c.dc;
    const CRect& legend = c.plot.Legend();
    const std::vector<CLegendEntry> entries = MorphospaceLegend(c.scene);
    const int th = dc.GetTextExtent("Ag").cy;
    const int line = Round(1.6 * th);
    const int capacity = std::max(1, (legend.Height() - 2 * line) / line);
    const int x = legend.left + c.Px(8);
    int y = legend.top;
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    const int shown = static_cast<int>(entries.size()) <= capacity
                          ? static_cast<int>(entries.size())
                          : capacity - 1;
    for (int i = 0; i < shown; ++i) {
        const CLegendEntry& e = entries[static_cast<std::size_t>(i)];
        const int my = y + line / 2;
        switch (e.kind) {
        case CLegendEntry::Reference:
            DrawRing(dc, x, my, c.Px(6), e.color, c.Px(2));
            break;
        case CLegendEntry::Mean:
            SelectMarkerStyle(dc, CMorphospaceGroup::Diamond, e.color, c.Px(2));
            DrawMarker(dc, CMorphospaceGroup::Diamond, x, my, c.Px(5));
            break;
        default:
            SelectMarkerStyle(dc, e.marker, e.color, c.Px(1.5));
            DrawMarker(dc, e.marker, x, my, c.Px(3));
            break;
        }
        dc.TextOut(legend.left + c.Px(20), my - th / 2, e.text);
        y += line;
    }
    if (shown < static_cast<int>(entries.size())) {
        dc.TextOut(legend.left + c.Px(20), y + (line - th) / 2,
                   FormatC("... and %d more", static_cast<int>(entries.size()) - shown));
        y += line;
    }
    if (!c.scene.message.empty())
        DrawWrappedText(dc, c.scene.message,
                        {legend.left, y + line / 2, legend.right, legend.bottom}, false);
}

} // namespace

CMorphospacePlot DrawMorphospacePicture(CDC& dc, const CMorphospaceScene& scene,
                                        const CRect& area) {
    CDCStateGuard guard(dc);
    dc.SetMapMode(MM_TEXT);
    dc.SetWindowOrg(0, 0);
    dc.SetViewportOrg(0, 0);
    const double unit = std::max(dc.GetDeviceCaps(LOGPIXELSY), 1) / 96.0;
    dc.SelectFont(MakePictureFont(static_cast<float>(-12.0 * unit), FW_NORMAL, FF_SWISS));
    dc.SetTextColor(kBlack);
    dc.SetBkMode(TRANSPARENT);
    if (!scene.space) {
        const int margin = Round(20 * unit);
        DrawWrappedText(
            dc, scene.message,
            {area.left + margin, area.top + area.Height() / 3, area.right - margin, area.bottom},
            true);
        return {};
    }
    const CMorphospacePlot plot = CMorphospacePlot::Layout(dc, scene, area);
    const CCanvas canvas{dc, scene, plot};
    DrawZeroLines(canvas);
    DrawGroupSpreads(canvas);
    DrawPoints(canvas);
    DrawFrameAndTicks(canvas);
    DrawTitles(canvas);
    DrawShapes(canvas);
    DrawLegend(canvas);
    return plot;
}

std::string ComponentTitle(const CMorphospace& space, int k) {
    if (k < 0 || k >= space.ComponentCount())
        return FormatC("PC%d", k + 1);
    return FormatC("PC%d (%.1f %%)", k + 1, 100.0 * space.Share(k));
}

std::string PointDescription(const CMorphospaceScene& scene, int point) {
    if (!scene.space || point < 0 || point >= scene.space->PointCount())
        return {};
    const CMorphospace& space = *scene.space;
    const CSpecimen* specimen = space.Record(point)->GetSpecimen();
    return FormatC("%s\nPC%d: %.4g\nPC%d: %.4g", specimen ? specimen->ShortPathName.c_str() : "",
                   scene.xComponent + 1, space.Score(point, scene.xComponent), scene.yComponent + 1,
                   space.Score(point, scene.yComponent));
}

void DrawWrappedText(CDC& dc, const std::string& text, const CRect& rect, bool centred) {
    std::istringstream words(text);
    std::vector<std::string> lines;
    std::string word;
    std::string current;
    while (words >> word) {
        const std::string candidate = current.empty() ? word : current + " " + word;
        if (!current.empty() && dc.GetTextExtent(candidate).cx > rect.Width()) {
            lines.push_back(current);
            current = word;
        } else {
            current = candidate;
        }
    }
    if (!current.empty())
        lines.push_back(current);
    const int th = dc.GetTextExtent("Ag").cy;
    const unsigned align = dc.SetTextAlign((centred ? TA_CENTER : TA_LEFT) | TA_TOP);
    int y = rect.top;
    for (const std::string& line : lines) {
        if (y + th > rect.bottom)
            break;
        dc.TextOut(centred ? (rect.left + rect.right) / 2 : rect.left, y, line);
        y += th;
    }
    dc.SetTextAlign(align);
}
