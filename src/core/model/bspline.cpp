#include "model/bspline.h"

#include "model/int_round.h"
#include "platform/cdc.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

namespace {

// The four knots t_c ... t_(c+3) that carry the basis function N_c.
struct Knots {
    float t0, t1, t2, t3;
};

Knots KnotsOf(int n, int c) {
    const int p = CBSpline::Degree;
    return {CBSpline::Knot(p, n, c), CBSpline::Knot(p, n, c + 1), CBSpline::Knot(p, n, c + 2),
            CBSpline::Knot(p, n, c + 3)};
}

// The polynomial piece of N_c that applies at x. The tests run in this order on closed
// intervals, so at an inner knot the left piece wins; empty intervals are passed over.
enum class Piece { None, Rising, Middle, Falling };

Piece PieceAt(const Knots& k, float x) {
    if (x < k.t0 || x > k.t3)
        return Piece::None;
    if (k.t0 <= x && x <= k.t1 && k.t1 - k.t0 > 0.0f)
        return Piece::Rising;
    if (k.t1 <= x && x <= k.t2 && k.t2 - k.t1 > 0.0f)
        return Piece::Middle;
    if (k.t2 <= x && x <= k.t3 && k.t3 - k.t2 > 0.0f)
        return Piece::Falling;
    return Piece::None;
}

// A failed evaluation counts as no contribution.
float FiniteOrZero(float v) {
    return std::isfinite(v) ? v : 0.0f;
}

bool AllFinite(const std::vector<FPoint>& points) {
    return std::all_of(points.begin(), points.end(),
                       [](const FPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); });
}

// k device pixels of a 96 dpi device, in signed logical units of the current mapping.
float LogicalUnits(float k, int windowExtent, int viewportExtent, int pixelsPerInch) {
    return static_cast<float>(windowExtent) * k / static_cast<float>(viewportExtent) *
           static_cast<float>(pixelsPerInch) / 96.0f;
}

int Offset(int v, int d) {
    const long long sum = static_cast<long long>(v) + d;
    return static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
}

// "%.3f" independent of the user's locale.
void AppendFixed3(std::string& text, float v) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(v),
                                      std::chars_format::fixed, 3);
    if (result.ec == std::errc())
        text.append(buffer, result.ptr);
}

std::string CoordinateText(const FPoint& p) {
    std::string text = "(";
    AppendFixed3(text, p.x);
    text += ", ";
    AppendFixed3(text, p.y);
    text += ')';
    return text;
}

constexpr CPen kHairline{PenStyle::Solid, 0, RGB(0, 0, 0)};

} // namespace

float CBSpline::Knot(int p, int n, int i) {
    if (i < 0)
        return std::numeric_limits<float>::min();
    if (i <= p)
        return 0.0f;
    if (i < n + 1)
        return static_cast<float>(i - p) / static_cast<float>(n - p + 1);
    if (i <= n + p + 1)
        return 1.0f;
    return std::numeric_limits<float>::min();
}

float CBSpline::Basis(int c, float x) const {
    const Knots k = KnotsOf(GetControlPointCount() - 1, c);
    switch (PieceAt(k, x)) {
    case Piece::Rising:
        return FiniteOrZero((x - k.t0) * (x - k.t0) / ((k.t1 - k.t0) * (k.t2 - k.t0)));
    case Piece::Middle:
        return FiniteOrZero((k.t2 - x) * (x - k.t0) / ((k.t2 - k.t0) * (k.t2 - k.t1)) +
                            (k.t3 - x) * (x - k.t1) / ((k.t3 - k.t1) * (k.t2 - k.t1)));
    case Piece::Falling:
        return FiniteOrZero((x - k.t3) * (x - k.t3) / ((k.t3 - k.t1) * (k.t3 - k.t2)));
    case Piece::None:
        break;
    }
    return 0.0f;
}

float CBSpline::BasisDerivative(int c, float x) const {
    const Knots k = KnotsOf(GetControlPointCount() - 1, c);
    switch (PieceAt(k, x)) {
    case Piece::Rising:
        return FiniteOrZero(2.0f * (x - k.t0) / ((k.t1 - k.t0) * (k.t2 - k.t0)));
    case Piece::Middle:
        return FiniteOrZero((k.t2 + k.t0 - 2.0f * x) / ((k.t2 - k.t1) * (k.t2 - k.t0)) +
                            (k.t3 + k.t1 - 2.0f * x) / ((k.t3 - k.t1) * (k.t2 - k.t1)));
    case Piece::Falling:
        return FiniteOrZero(2.0f * (x - k.t3) / ((k.t3 - k.t1) * (k.t3 - k.t2)));
    case Piece::None:
        break;
    }
    return 0.0f;
}

FPoint CBSpline::Evaluate(float t) const {
    return Combine(t, &CBSpline::Basis);
}

FPoint CBSpline::EvaluateDerivative(float t) const {
    return Combine(t, &CBSpline::BasisDerivative);
}

// Sums basis(i, t) * P_i over i = 0 ... n, x and y apart, in 32-bit floats. Only the functions
// whose support holds t are evaluated: every other one is exactly +0, its product with a finite
// point is +0 or -0, and adding a zero to a sum that started at +0 never changes it (under
// round-to-nearest a sum is -0 only when both terms are). So the result is bit for bit that of
// the full sum. A non-finite point would turn its zero term into NaN; then all terms are summed.
FPoint CBSpline::Combine(float t, BasisFunction basis) const {
    int first = 0;
    int last = GetControlPointCount() - 1;
    if (AllFinite(ControlPoints))
        FindSupport(t, first, last);
    float x = 0.0f;
    float y = 0.0f;
    for (int c = first; c <= last; ++c) {
        const float b = (this->*basis)(c, t);
        x += b * ControlPoints[c].x;
        y += b * ControlPoints[c].y;
    }
    return {x, y};
}

// The indices c with t_c <= t <= t_(c+3), as the range [first, last] (empty when last < first).
// A guess from the uniform spacing is settled on the knots themselves, so it is exact however
// the knot quotients round.
void CBSpline::FindSupport(float t, int& first, int& last) const {
    const int n = GetControlPointCount() - 1;
    if (n < 0 || !(t >= 0.0f && t <= 1.0f)) {
        first = 0;
        last = -1;
        return;
    }
    const int span = n >= 2 ? static_cast<int>(t * static_cast<float>(n - 1)) : 0;
    last = std::min(span + 2, n);
    while (last < n && Knot(Degree, n, last + 1) <= t)
        ++last;
    while (last > 0 && Knot(Degree, n, last) > t)
        --last;
    first = std::min(span, n);
    while (first > 0 && Knot(Degree, n, first + 2) >= t)
        --first;
    while (first < n && Knot(Degree, n, first + 3) < t)
        ++first;
}

void CBSpline::AddControlPoint(float x, float y) {
    ControlPoints.push_back({x, y});
}

void CBSpline::RemoveAllControlPoints() {
    ControlPoints.clear();
}

FPoint CBSpline::GetControlPoint(int i) const {
    return ControlPoints.at(static_cast<size_t>(i));
}

void CBSpline::SetControlPoint(int i, FPoint p) {
    ControlPoints.at(static_cast<size_t>(i)) = p;
}

void CBSpline::Draw(CDC& dc) const {
    if (ControlPoints.empty())
        return;
    if (DrawSpline)
        PaintCurve(dc);
    if (DrawControlPolygon)
        PaintPolygon(dc);
    if (DrawControlPoints)
        PaintSquares(dc);
    if (DrawControlPointsText)
        PaintTexts(dc);
}

// t is accumulated in a float, so the last sample lies at about 0.9999993 and the drawn curve
// ends just short of the last control point.
void CBSpline::PaintCurve(CDC& dc) const {
    const CPen previous = dc.SelectPen({PenStyle::Solid, SplinePenWidth, ColorSpline});
    const float step = dc.IsPrinting() ? 0.02f : 0.01f;
    const FPoint start = Evaluate(0.0f);
    dc.MoveTo(RoundHalfAway(start.x), RoundHalfAway(start.y));
    for (float t = 0.0f; t <= 1.0f; t += step) {
        const FPoint p = Evaluate(t);
        dc.LineTo(RoundHalfAway(p.x), RoundHalfAway(p.y));
    }
    dc.SelectPen(previous);
}

void CBSpline::PaintPolygon(CDC& dc) const {
    const CPen previous = dc.SelectPen(kHairline);
    dc.MoveTo(TruncToInt(ControlPoints[0].x), TruncToInt(ControlPoints[0].y));
    for (size_t i = 1; i < ControlPoints.size(); ++i)
        dc.LineTo(TruncToInt(ControlPoints[i].x), TruncToInt(ControlPoints[i].y));
    dc.SelectPen(previous);
}

// Squares of four device pixels (at 96 dpi) each side of the point, whatever the mapping.
void CBSpline::PaintSquares(CDC& dc) const {
    const CSize window = dc.GetWindowExt();
    const CSize viewport = dc.GetViewportExt();
    const int a =
        TruncToInt(LogicalUnits(4.0f, window.cx, viewport.cx, dc.GetDeviceCaps(LOGPIXELSX)) + 0.5);
    const int b =
        TruncToInt(LogicalUnits(-4.0f, window.cy, viewport.cy, dc.GetDeviceCaps(LOGPIXELSY)) + 0.5);
    const CPen previousPen = dc.SelectPen(kHairline);
    const ColorRef fill = dc.IsPrinting() ? RGB(255, 255, 255) : RGB(255, 255, 0);
    const CBrush previousBrush = dc.SelectBrush({BrushStyle::Solid, fill});
    for (const FPoint& p : ControlPoints) {
        const int x = TruncToInt(p.x);
        const int y = TruncToInt(p.y);
        dc.Rectangle(Offset(x, -a), Offset(y, -b), Offset(x, a), Offset(y, b));
    }
    dc.SelectBrush(previousBrush);
    dc.SelectPen(previousPen);
}

// Coordinates centred above each point, 10 pixels high at 96 dpi; h has the sign of the y
// mapping, so the offset 1.3 h points up on the device either way.
void CBSpline::PaintTexts(CDC& dc) const {
    const float h = LogicalUnits(10.0f, dc.GetWindowExt().cy, dc.GetViewportExt().cy,
                                 dc.GetDeviceCaps(LOGPIXELSY));
    CFont font;
    font.height = TruncToInt(h);
    font.weight = FW_NORMAL;
    font.pitchAndFamily = FF_SWISS;
    font.faceName = "Arial";
    const CFont previousFont = dc.SelectFont(font);
    const ColorRef previousColor = dc.SetTextColor(RGB(0, 0, 0));
    const unsigned previousAlign = dc.SetTextAlign(TA_BASELINE | TA_CENTER);
    for (const FPoint& p : ControlPoints) {
        const int y = TruncToInt(p.y);
        dc.TextOut(TruncToInt(p.x), TruncToInt(y - 1.3 * h), CoordinateText(p));
    }
    dc.SetTextAlign(previousAlign);
    dc.SetTextColor(previousColor);
    dc.SelectFont(previousFont);
}
