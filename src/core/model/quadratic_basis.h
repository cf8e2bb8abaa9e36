#pragma once

#include "model/fpoint.h"

#include <algorithm>
#include <cmath>
#include <vector>

// The basis of a clamped uniform quadratic B-spline with n + 1 control points, with its knots
// computed once. At a parameter only the (at most four) functions whose closed support holds it
// are evaluated, each with the formulas of CBSpline, so every value, curve point and tangent is
// bit for bit the one CBSpline gives for the same control points.
class CQuadraticBasis {
public:
    static constexpr int kMaxActive = 4;

    // The functions N_first ... N_(first + count - 1) at one parameter.
    struct Active {
        int first = 0;
        int count = 0;
        float value[kMaxActive] = {};
    };

    explicit CQuadraticBasis(int n);

    int LastIndex() const { return n_; }
    void Values(float t, Active& active) const;
    void Derivatives(float t, Active& active) const;
    // Sum of active.value[i] * P_(first + i): the curve point for values, the tangent for
    // derivatives, summed in the order of CBSpline. The points must be finite.
    static FPoint Sum(const Active& active, const std::vector<FPoint>& points);

    // Sum of N_i(t) * P_i (derivatives for the tangent) over the points, which must number
    // n + 1. Non-finite points make every term count, as in CBSpline.
    FPoint Evaluate(const std::vector<FPoint>& points, float t) const;
    FPoint EvaluateDerivative(const std::vector<FPoint>& points, float t) const;
    // Both at once, for points the caller knows to be finite.
    void EvaluateFinite(const std::vector<FPoint>& points, float t, FPoint& point,
                        FPoint& derivative) const;
    // Values and slopes at one parameter together, for the fit's fast path. Strictly inside a
    // knot span the quotients are products with reciprocals formed once, so a value may differ
    // from CBSpline's in the last bit; on knots and at the ends the exact formulas are used.
    void ValuesAndSlopes(float t, Active& values, Active& slopes) const;
    // The same strictly inside a knot span, as scalars a caller can keep in registers; false on
    // a knot or outside (0, 1).
    struct Pieces {
        int first = 0;
        float v0 = 0.0f, v1 = 0.0f, v2 = 0.0f; // values of N_first ... N_(first + 2)
        float s0 = 0.0f, s1 = 0.0f, s2 = 0.0f; // their slopes
        void Store(Active& values, Active& slopes) const {
            values.first = slopes.first = first;
            values.count = slopes.count = 3;
            values.value[0] = v0;
            values.value[1] = v1;
            values.value[2] = v2;
            slopes.value[0] = s0;
            slopes.value[1] = s1;
            slopes.value[2] = s2;
        }
    };
    bool InnerValuesAndSlopes(float t, Pieces& pieces) const;

    // What the three pieces active inside one knot span need: the knots t_(k-1) ... t_(k+2)
    // and the reciprocals of their denominators. For many parameters of one span at a time.
    struct Span {
        int first = 0; // N_first ... N_(first + 2) are active
        // t_(k-1) ... t_(k+2); the span is (k1, k2).
        float k0 = 0.0f, k1 = 0.0f, k2 = 0.0f, k3 = 0.0f;
        float falling = 0.0f, left = 0.0f, right = 0.0f, rising = 0.0f;
        // The values and slopes at t, strictly inside the span, as InnerValuesAndSlopes gives
        // them.
        void At(float t, float& v0, float& v1, float& v2, float& s0, float& s1, float& s2) const {
            const float toEnd = t - k2;
            const float fromStart = t - k1;
            v0 = toEnd * toEnd * falling;
            v1 = (k2 - t) * (t - k0) * left + (k3 - t) * fromStart * right;
            v2 = fromStart * fromStart * rising;
            s0 = 2.0f * toEnd * falling;
            s1 = (k2 + k0 - 2.0f * t) * left + (k3 + k1 - 2.0f * t) * right;
            s2 = 2.0f * fromStart * rising;
        }
    };
    // The span k with t_k < t < t_(k+1) that InnerValuesAndSlopes uses; -1 on a knot or
    // outside (0, 1).
    int InnerSpanOf(float t) const;
    Span SpanPieces(int k) const;

private:
    struct Piece;
    // The products of knot differences that the formulas of N_c divide by.
    struct Denominators {
        float rising = 0.0f;
        float middleLeft = 0.0f;
        float middleRight = 0.0f;
        float falling = 0.0f;
    };
    int InnerSpan(float t) const;
    void Support(float t, int& first, int& last) const;
    void SupportValues(float t, Active& active) const;
    void SupportDerivatives(float t, Active& active) const;
    float Value(int c, float x) const;
    float Derivative(int c, float x) const;
    float Rising(int c, float x) const;
    float Middle(int c, float x) const;
    float Falling(int c, float x) const;
    float RisingSlope(int c, float x) const;
    float MiddleSlope(int c, float x) const;
    float FallingSlope(int c, float x) const;
    template <typename F> FPoint Combine(const std::vector<FPoint>& points, float t, F f) const;

    int n_;
    std::vector<float> knots_;               // t_0 ... t_(n+3)
    std::vector<Denominators> denominators_; // per function, where its knots allow
    std::vector<Denominators> reciprocals_;  // their reciprocals, used inside a span only
};

// The common case inline: a parameter strictly inside a knot span, where the three active
// pieces are known without the general search.

// The span k with t_k < t < t_(k+1) (2 <= k <= n). Inside it exactly N_(k-2), N_(k-1) and N_k
// are active, with their falling, middle and rising pieces. -1 on a knot or outside (0, 1),
// where the general search decides.
inline int CQuadraticBasis::InnerSpan(float t) const {
    if (n_ < 2 || !(t > 0.0f && t < 1.0f))
        return -1;
    int k = std::min(static_cast<int>(t * static_cast<float>(n_ - 1)) + 2, n_);
    if (!(knots_[k] < t))
        --k;
    else if (!(t < knots_[k + 1]))
        ++k;
    return k >= 2 && k <= n_ && knots_[k] < t && t < knots_[k + 1] ? k : -1;
}

// The formulas of CBSpline with the denominators formed once; a failed quotient counts as 0.
inline float CQuadraticBasis::Rising(int c, float x) const {
    const float t0 = knots_[c];
    const float v = (x - t0) * (x - t0) / denominators_[c].rising;
    return std::isfinite(v) ? v : 0.0f;
}

inline float CQuadraticBasis::Middle(int c, float x) const {
    const float* k = &knots_[c];
    const float v = (k[2] - x) * (x - k[0]) / denominators_[c].middleLeft +
                    (k[3] - x) * (x - k[1]) / denominators_[c].middleRight;
    return std::isfinite(v) ? v : 0.0f;
}

inline float CQuadraticBasis::Falling(int c, float x) const {
    const float t3 = knots_[c + 3];
    const float v = (x - t3) * (x - t3) / denominators_[c].falling;
    return std::isfinite(v) ? v : 0.0f;
}

inline float CQuadraticBasis::RisingSlope(int c, float x) const {
    const float v = 2.0f * (x - knots_[c]) / denominators_[c].rising;
    return std::isfinite(v) ? v : 0.0f;
}

inline float CQuadraticBasis::MiddleSlope(int c, float x) const {
    const float* k = &knots_[c];
    const float v = (k[2] + k[0] - 2.0f * x) / denominators_[c].middleLeft +
                    (k[3] + k[1] - 2.0f * x) / denominators_[c].middleRight;
    return std::isfinite(v) ? v : 0.0f;
}

inline float CQuadraticBasis::FallingSlope(int c, float x) const {
    const float v = 2.0f * (x - knots_[c + 3]) / denominators_[c].falling;
    return std::isfinite(v) ? v : 0.0f;
}

inline void CQuadraticBasis::Values(float t, Active& active) const {
    const int k = InnerSpan(t);
    if (k < 0) {
        SupportValues(t, active);
        return;
    }
    active.first = k - 2;
    active.count = 3;
    active.value[0] = Falling(k - 2, t);
    active.value[1] = Middle(k - 1, t);
    active.value[2] = Rising(k, t);
}

inline void CQuadraticBasis::Derivatives(float t, Active& active) const {
    const int k = InnerSpan(t);
    if (k < 0) {
        SupportDerivatives(t, active);
        return;
    }
    active.first = k - 2;
    active.count = 3;
    active.value[0] = FallingSlope(k - 2, t);
    active.value[1] = MiddleSlope(k - 1, t);
    active.value[2] = RisingSlope(k, t);
}

inline int CQuadraticBasis::InnerSpanOf(float t) const {
    // The span the uniform knots give is nearly always the one; the search settles the rest.
    const int k =
        n_ >= 2 && t > 0.0f && t < 1.0f ? static_cast<int>(t * static_cast<float>(n_ - 1)) + 2 : -1;
    if (k >= 2 && k <= n_ && knots_[k] < t && t < knots_[k + 1])
        return k;
    return InnerSpan(t);
}

inline CQuadraticBasis::Span CQuadraticBasis::SpanPieces(int k) const {
    const float* kn = &knots_[static_cast<std::size_t>(k) - 1]; // t_(k-1) ... t_(k+2)
    return {k - 2,
            kn[0],
            kn[1],
            kn[2],
            kn[3],
            reciprocals_[k - 2].falling,
            reciprocals_[k - 1].middleLeft,
            reciprocals_[k - 1].middleRight,
            reciprocals_[k].rising};
}

// Inside span k the three active pieces have non-zero denominators, so no quotient fails.
inline bool CQuadraticBasis::InnerValuesAndSlopes(float t, Pieces& pieces) const {
    const int k = InnerSpanOf(t);
    if (k < 0)
        return false;
    const Span span = SpanPieces(k);
    pieces.first = span.first;
    span.At(t, pieces.v0, pieces.v1, pieces.v2, pieces.s0, pieces.s1, pieces.s2);
    return true;
}

inline void CQuadraticBasis::ValuesAndSlopes(float t, Active& values, Active& slopes) const {
    Pieces p;
    if (!InnerValuesAndSlopes(t, p)) {
        SupportValues(t, values);
        SupportDerivatives(t, slopes);
        return;
    }
    p.Store(values, slopes);
}

inline FPoint CQuadraticBasis::Sum(const Active& active, const std::vector<FPoint>& points) {
    FPoint sum;
    if (active.count == 3) { // the common case, unrolled in the same order
        const FPoint* p = &points[static_cast<std::size_t>(active.first)];
        const float* v = active.value;
        sum.x = ((sum.x + v[0] * p[0].x) + v[1] * p[1].x) + v[2] * p[2].x;
        sum.y = ((sum.y + v[0] * p[0].y) + v[1] * p[1].y) + v[2] * p[2].y;
        return sum;
    }
    for (int i = 0; i < active.count; ++i) {
        const FPoint& p = points[static_cast<std::size_t>(active.first + i)];
        sum.x += active.value[i] * p.x;
        sum.y += active.value[i] * p.y;
    }
    return sum;
}
