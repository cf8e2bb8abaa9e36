#include "model/quadratic_basis.h"

#include "model/bspline.h"

#include <algorithm>
#include <cmath>

namespace {

bool AllFinite(const std::vector<FPoint>& points) {
    return std::all_of(points.begin(), points.end(),
                       [](const FPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); });
}

} // namespace

CQuadraticBasis::CQuadraticBasis(int n) : n_(n) {
    knots_.resize(static_cast<std::size_t>(std::max(n, -1)) + 4);
    for (std::size_t i = 0; i < knots_.size(); ++i)
        knots_[i] = CBSpline::Knot(CBSpline::Degree, n, static_cast<int>(i));
    // The same products CBSpline forms at every call, so the quotients stay bit for bit equal.
    denominators_.resize(static_cast<std::size_t>(std::max(n, -1)) + 1);
    for (std::size_t c = 0; c < denominators_.size(); ++c) {
        const float* k = &knots_[c];
        denominators_[c] = {(k[1] - k[0]) * (k[2] - k[0]), (k[2] - k[0]) * (k[2] - k[1]),
                            (k[3] - k[1]) * (k[2] - k[1]), (k[3] - k[1]) * (k[3] - k[2])};
    }
    reciprocals_.resize(denominators_.size());
    for (std::size_t c = 0; c < denominators_.size(); ++c) {
        const Denominators& d = denominators_[c];
        reciprocals_[c] = {1.0f / d.rising, 1.0f / d.middleLeft, 1.0f / d.middleRight,
                           1.0f / d.falling};
    }
}

// The indices c with t_c <= t <= t_(c+3); empty (last < first) outside [0, 1].
void CQuadraticBasis::Support(float t, int& first, int& last) const {
    if (n_ < 0 || !(t >= 0.0f && t <= 1.0f)) {
        first = 0;
        last = -1;
        return;
    }
    const int span = n_ >= 2 ? static_cast<int>(t * static_cast<float>(n_ - 1)) : 0;
    last = std::min(span + 2, n_);
    while (last < n_ && knots_[last + 1] <= t)
        ++last;
    while (last > 0 && knots_[last] > t)
        --last;
    first = std::min(span, n_);
    while (first > 0 && knots_[first + 2] >= t)
        --first;
    while (first < n_ && knots_[first + 3] < t)
        ++first;
}

// The piece tests of CBSpline::Basis on closed intervals, left piece first.
struct CQuadraticBasis::Piece {
    float t0, t1, t2, t3;
    int which = 0; // 0 none, 1 rising, 2 middle, 3 falling

    Piece(const float* k, float x) : t0(k[0]), t1(k[1]), t2(k[2]), t3(k[3]) {
        if (x < t0 || x > t3)
            which = 0;
        else if (t0 <= x && x <= t1 && t1 - t0 > 0.0f)
            which = 1;
        else if (t1 <= x && x <= t2 && t2 - t1 > 0.0f)
            which = 2;
        else if (t2 <= x && x <= t3 && t3 - t2 > 0.0f)
            which = 3;
    }
};

float CQuadraticBasis::Value(int c, float x) const {
    switch (Piece(&knots_[c], x).which) {
    case 1:
        return Rising(c, x);
    case 2:
        return Middle(c, x);
    case 3:
        return Falling(c, x);
    default:
        return 0.0f;
    }
}

float CQuadraticBasis::Derivative(int c, float x) const {
    switch (Piece(&knots_[c], x).which) {
    case 1:
        return RisingSlope(c, x);
    case 2:
        return MiddleSlope(c, x);
    case 3:
        return FallingSlope(c, x);
    default:
        return 0.0f;
    }
}

void CQuadraticBasis::SupportValues(float t, Active& active) const {
    int last = 0;
    Support(t, active.first, last);
    active.count = std::max(0, std::min(last - active.first + 1, kMaxActive));
    for (int i = 0; i < active.count; ++i)
        active.value[i] = Value(active.first + i, t);
}

void CQuadraticBasis::SupportDerivatives(float t, Active& active) const {
    int last = 0;
    Support(t, active.first, last);
    active.count = std::max(0, std::min(last - active.first + 1, kMaxActive));
    for (int i = 0; i < active.count; ++i)
        active.value[i] = Derivative(active.first + i, t);
}

// Terms outside the support are exactly zero and leave the running sums unchanged, unless a
// point is not finite: then, as in CBSpline, every term is summed.
template <typename F>
FPoint CQuadraticBasis::Combine(const std::vector<FPoint>& points, float t, F f) const {
    int first = 0;
    int last = n_;
    if (AllFinite(points))
        Support(t, first, last);
    float x = 0.0f;
    float y = 0.0f;
    for (int c = first; c <= last; ++c) {
        const float b = f(c, t);
        x += b * points[c].x;
        y += b * points[c].y;
    }
    return {x, y};
}

FPoint CQuadraticBasis::Evaluate(const std::vector<FPoint>& points, float t) const {
    return Combine(points, t, [this](int c, float x) { return Value(c, x); });
}

FPoint CQuadraticBasis::EvaluateDerivative(const std::vector<FPoint>& points, float t) const {
    return Combine(points, t, [this](int c, float x) { return Derivative(c, x); });
}

void CQuadraticBasis::EvaluateFinite(const std::vector<FPoint>& points, float t, FPoint& point,
                                     FPoint& derivative) const {
    Active values;
    Active slopes;
    Values(t, values);
    Derivatives(t, slopes);
    point = Sum(values, points);
    derivative = Sum(slopes, points);
}
