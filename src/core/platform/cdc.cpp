#include "platform/cdc.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// Saturates at the int range: hostile coordinates must not overflow.
int RoundHalfUp(double v) {
    const double r = std::floor(v + 0.5);
    if (!(r > INT_MIN))
        return std::isnan(r) ? 0 : INT_MIN;
    return r < INT_MAX ? static_cast<int>(r) : INT_MAX;
}

int Saturate(long long v) {
    return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

// Logical units per inch of the metric and English mapping modes.
int UnitsPerInch(int mode) {
    switch (mode) {
    case MM_LOMETRIC:
        return 254;
    case MM_HIMETRIC:
        return 2540;
    case MM_LOENGLISH:
        return 100;
    case MM_HIENGLISH:
        return 1000;
    case MM_TWIPS:
        return 1440;
    default:
        return 0;
    }
}

} // namespace

int CDC::SetMapMode(int mode) {
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC)
        return 0; // an unknown mode is refused and changes nothing
    const int previous = mapMode_;
    mapMode_ = mode;
    if (mode == MM_TEXT) {
        windowExt_ = {1, 1};
        viewportExt_ = {1, 1};
    } else if (const int units = UnitsPerInch(mode == MM_ISOTROPIC ? MM_LOMETRIC : mode)) {
        // Fixed modes: y points up, one unit is a fixed physical length. Isotropic mode starts
        // from the metric extents, as on the desktop; anisotropic keeps the current ones.
        windowExt_ = {units, units};
        viewportExt_ = {GetDeviceCaps(LOGPIXELSX), -GetDeviceCaps(LOGPIXELSY)};
    }
    OnStateChanged();
    return previous;
}

CPoint CDC::SetWindowOrg(int x, int y) {
    const CPoint previous = windowOrg_;
    windowOrg_ = {x, y};
    OnStateChanged();
    return previous;
}

CPoint CDC::SetViewportOrg(int x, int y) {
    const CPoint previous = viewportOrg_;
    viewportOrg_ = {x, y};
    OnStateChanged();
    return previous;
}

// Extents can be changed only in the two scalable modes; zero extents are refused.
CSize CDC::SetWindowExt(int cx, int cy) {
    const CSize previous = windowExt_;
    if ((mapMode_ == MM_ISOTROPIC || mapMode_ == MM_ANISOTROPIC) && cx != 0 && cy != 0) {
        windowExt_ = {cx, cy};
        if (mapMode_ == MM_ISOTROPIC)
            FixIsotropic();
        OnStateChanged();
    }
    return previous;
}

CSize CDC::SetViewportExt(int cx, int cy) {
    const CSize previous = viewportExt_;
    if ((mapMode_ == MM_ISOTROPIC || mapMode_ == MM_ANISOTROPIC) && cx != 0 && cy != 0) {
        viewportExt_ = {cx, cy};
        if (mapMode_ == MM_ISOTROPIC)
            FixIsotropic();
        OnStateChanged();
    }
    return previous;
}

// Isotropic mode shrinks one viewport extent so that a logical unit has the same physical
// length along both axes; the signs of the extents are kept.
void CDC::FixIsotropic() {
    const double xdim = std::fabs(static_cast<double>(viewportExt_.cx) /
                                  (static_cast<double>(windowExt_.cx) * GetDeviceCaps(LOGPIXELSX)));
    const double ydim = std::fabs(static_cast<double>(viewportExt_.cy) /
                                  (static_cast<double>(windowExt_.cy) * GetDeviceCaps(LOGPIXELSY)));
    if (xdim > ydim) {
        const int sign = viewportExt_.cx >= 0 ? 1 : -1;
        const int cx = RoundHalfUp(std::abs(viewportExt_.cx) * (ydim / xdim));
        viewportExt_.cx = sign * (cx == 0 ? 1 : cx);
    } else if (ydim > xdim) {
        const int sign = viewportExt_.cy >= 0 ? 1 : -1;
        const int cy = RoundHalfUp(std::abs(viewportExt_.cy) * (xdim / ydim));
        viewportExt_.cy = sign * (cy == 0 ? 1 : cy);
    }
}

double CDC::LPtoDPx(double x) const {
    return (x - windowOrg_.x) * viewportExt_.cx / windowExt_.cx + viewportOrg_.x;
}
double CDC::LPtoDPy(double y) const {
    return (y - windowOrg_.y) * viewportExt_.cy / windowExt_.cy + viewportOrg_.y;
}
double CDC::DPtoLPx(double x) const {
    return (x - viewportOrg_.x) * windowExt_.cx / viewportExt_.cx + windowOrg_.x;
}
double CDC::DPtoLPy(double y) const {
    return (y - viewportOrg_.y) * windowExt_.cy / viewportExt_.cy + windowOrg_.y;
}
CPoint CDC::LPtoDP(CPoint p) const {
    return {RoundHalfUp(LPtoDPx(p.x)), RoundHalfUp(LPtoDPy(p.y))};
}
CPoint CDC::DPtoLP(CPoint p) const {
    return {RoundHalfUp(DPtoLPx(p.x)), RoundHalfUp(DPtoLPy(p.y))};
}

CPen CDC::SelectPen(const CPen& pen) {
    CPen previous = pen_;
    pen_ = pen;
    OnStateChanged();
    return previous;
}

CBrush CDC::SelectBrush(const CBrush& brush) {
    CBrush previous = brush_;
    brush_ = brush;
    OnStateChanged();
    return previous;
}

CFont CDC::SelectFont(const CFont& font) {
    CFont previous = font_;
    font_ = font;
    OnStateChanged();
    return previous;
}

ColorRef CDC::SetTextColor(ColorRef color) {
    const ColorRef previous = textColor_;
    textColor_ = color;
    OnStateChanged();
    return previous;
}

ColorRef CDC::SetBkColor(ColorRef color) {
    const ColorRef previous = bkColor_;
    bkColor_ = color;
    OnStateChanged();
    return previous;
}

int CDC::SetBkMode(int mode) {
    const int previous = bkMode_;
    bkMode_ = mode;
    OnStateChanged();
    return previous;
}

unsigned CDC::SetTextAlign(unsigned align) {
    const unsigned previous = textAlign_;
    textAlign_ = align;
    OnStateChanged();
    return previous;
}

int CDC::SetROP2(int rop) {
    const int previous = rop2_;
    rop2_ = rop;
    OnStateChanged();
    return previous;
}

CPoint CDC::MoveTo(int x, int y) {
    const CPoint previous = current_;
    current_ = {x, y};
    return previous;
}

void CDC::LineTo(int x, int y) {
    DoLine(current_, {x, y});
    current_ = {x, y};
}

void CDC::Polyline(const std::vector<CPoint>& points) {
    for (size_t i = 1; i < points.size(); ++i)
        DoLine(points[i - 1], points[i]);
}

void CDC::Rectangle(int left, int top, int right, int bottom) {
    DoRectangle({left, top, right, bottom});
}

void CDC::Ellipse(int left, int top, int right, int bottom) {
    DoEllipse({left, top, right, bottom});
}

void CDC::FillSolidRect(const CRect& rect, ColorRef color) {
    DoFillSolidRect(rect, color);
}

void CDC::SetPixel(int x, int y, ColorRef color) {
    DoSetPixel({x, y}, color);
}

void CDC::TextOut(int x, int y, std::string_view text) {
    DoTextOut({x, y}, text);
}

// A single-line layout: the text is placed by its top-left corner inside the box. Lines are
// not broken; the pictures only centre short labels and measure them.
int CDC::DrawText(std::string_view text, CRect& rect, unsigned format) {
    const CSize extent = GetTextExtent(text);
    // Signed logical sizes: "down" and "right" on the device may be negative logical steps.
    const int w = ScaleX() < 0 ? -extent.cx : extent.cx;
    const int h = ScaleY() < 0 ? -extent.cy : extent.cy;
    // Worked out wide: boxes at the ends of the int range saturate instead of overflowing.
    const long long left = rect.left;
    const long long top = rect.top;
    if (format & DT_CALCRECT) {
        rect.right = Saturate(left + w);
        rect.bottom = Saturate(top + h);
        return h;
    }
    long long x = left;
    if (format & DT_CENTER)
        x = left + (rect.right - left - w) / 2;
    else if (format & DT_RIGHT)
        x = static_cast<long long>(rect.right) - w;
    long long y = top;
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        y = top + (rect.bottom - top - h) / 2;
    else if ((format & DT_SINGLELINE) && (format & DT_BOTTOM))
        y = static_cast<long long>(rect.bottom) - h;
    const unsigned align = textAlign_;
    textAlign_ = TA_LEFT | TA_TOP;
    OnStateChanged();
    DoTextOut({Saturate(x), Saturate(y)}, text);
    textAlign_ = align;
    OnStateChanged();
    return h;
}
