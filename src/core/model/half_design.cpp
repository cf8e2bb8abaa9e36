#include "model/half_design.h"

#include <algorithm>

CHalfDesign::CHalfDesign(const std::vector<FPoint>& points) {
    const std::size_t m = points.size();
    px_.resize(m);
    py_.resize(m);
    x_.resize(m);
    y_.resize(m);
    for (std::size_t k = 0; k < m; ++k) {
        px_[k] = points[k].x;
        py_[k] = points[k].y;
        x_[k] = points[k].x;
        y_[k] = points[k].y;
    }
    for (int i = 0; i < 3; ++i) {
        values_[i].resize(m);
        slopes_[i].resize(m);
    }
    general_.resize(m);
    generalSlopes_.resize(m);
    runs_.reserve(m);
}

namespace {

// Element by element into separate arrays, so the compiler can work on several points at once.
// Not inlined: the compiler keeps the promise of distinct arrays only at a call.
[[gnu::noinline]] void EvaluateSpan(const CQuadraticBasis::Span span, const float* __restrict t,
                                    std::size_t count, float* __restrict v0, float* __restrict v1,
                                    float* __restrict v2, float* __restrict s0,
                                    float* __restrict s1, float* __restrict s2) {
    for (std::size_t k = 0; k < count; ++k)
        span.At(t[k], v0[k], v1[k], v2[k], s0[k], s1[k], s2[k]);
}

} // namespace

void CHalfDesign::EvaluateRun(const CQuadraticBasis::Span& span, const float* t, std::size_t begin,
                              std::size_t end) {
    EvaluateSpan(span, t + begin, end - begin, &values_[0][begin], &values_[1][begin],
                 &values_[2][begin], &slopes_[0][begin], &slopes_[1][begin], &slopes_[2][begin]);
}

// A run lasts while the parameters stay strictly between the span's knots, which is exactly
// where InnerSpanOf gives that span; the search runs only where a run begins.
void CHalfDesign::Evaluate(const CQuadraticBasis& basis, const std::vector<float>& t) {
    const std::size_t m = px_.size();
    const float* param = t.data();
    runs_.clear();
    std::size_t k = 0;
    while (k < m) {
        const int span = basis.InnerSpanOf(param[k]);
        if (span < 0) {
            basis.ValuesAndSlopes(param[k], general_[k], generalSlopes_[k]);
            runs_.push_back({k, k + 1, -1});
            ++k;
            continue;
        }
        const CQuadraticBasis::Span pieces = basis.SpanPieces(span);
        const std::size_t begin = k++;
        while (k < m && pieces.k1 < param[k] && param[k] < pieces.k2)
            ++k;
        EvaluateRun(pieces, param, begin, k);
        runs_.push_back({begin, k, pieces.first});
    }
}

void CHalfDesign::CurvePoints(const std::vector<FPoint>& controlPoints,
                              std::vector<FPoint>& curve) const {
    curve.resize(px_.size());
    for (const Run& run : runs_) {
        if (run.first < 0) {
            curve[run.begin] = CQuadraticBasis::Sum(general_[run.begin], controlPoints);
            continue;
        }
        const FPoint* q = &controlPoints[static_cast<std::size_t>(run.first)];
        for (std::size_t k = run.begin; k < run.end; ++k) {
            const float v0 = values_[0][k];
            const float v1 = values_[1][k];
            const float v2 = values_[2][k];
            curve[k].x = ((0.0f + v0 * q[0].x) + v1 * q[1].x) + v2 * q[2].x;
            curve[k].y = ((0.0f + v0 * q[0].y) + v1 * q[1].y) + v2 * q[2].y;
        }
    }
}

namespace {

// The step of one parameter from the curve point c and tangent d at it; a step that leaves
// [0, 1] or is not a number ends on the nearer bound (0 for not a number).
inline float Corrected(float t, float px, float py, float cx, float cy, float dx, float dy) {
    const float norm = dy * dy + dx * dx;
    const float u = t + ((py - cy) * dy + (px - cx) * dx) / norm;
    return u >= 0.0f ? (u > 1.0f ? 1.0f : u) : 0.0f;
}

// The points of one run with its three control points q: element by element, not inlined,
// like EvaluateSpan.
[[gnu::noinline]] void CorrectSpan(const FPoint* q, const float* __restrict v0,
                                   const float* __restrict v1, const float* __restrict v2,
                                   const float* __restrict s0, const float* __restrict s1,
                                   const float* __restrict s2, const float* __restrict px,
                                   const float* __restrict py, float* __restrict t,
                                   std::size_t count) {
    const float qx0 = q[0].x, qx1 = q[1].x, qx2 = q[2].x;
    const float qy0 = q[0].y, qy1 = q[1].y, qy2 = q[2].y;
    for (std::size_t k = 0; k < count; ++k) {
        const float cx = ((0.0f + v0[k] * qx0) + v1[k] * qx1) + v2[k] * qx2;
        const float cy = ((0.0f + v0[k] * qy0) + v1[k] * qy1) + v2[k] * qy2;
        const float dx = ((0.0f + s0[k] * qx0) + s1[k] * qx1) + s2[k] * qx2;
        const float dy = ((0.0f + s0[k] * qy0) + s1[k] * qy1) + s2[k] * qy2;
        t[k] = Corrected(t[k], px[k], py[k], cx, cy, dx, dy);
    }
}

} // namespace

void CHalfDesign::CorrectParameters(const std::vector<FPoint>& controlPoints,
                                    std::vector<float>& t) const {
    const std::size_t m = t.size();
    if (m == 0)
        return;
    for (const Run& run : runs_) {
        const std::size_t begin = std::max<std::size_t>(run.begin, 1);
        const std::size_t end = std::min(run.end, m - 1);
        if (begin >= end)
            continue;
        if (run.first < 0) {
            const FPoint c = CQuadraticBasis::Sum(general_[begin], controlPoints);
            const FPoint d = CQuadraticBasis::Sum(generalSlopes_[begin], controlPoints);
            t[begin] = Corrected(t[begin], px_[begin], py_[begin], c.x, c.y, d.x, d.y);
            continue;
        }
        CorrectSpan(&controlPoints[static_cast<std::size_t>(run.first)], &values_[0][begin],
                    &values_[1][begin], &values_[2][begin], &slopes_[0][begin], &slopes_[1][begin],
                    &slopes_[2][begin], &px_[begin], &py_[begin], &t[begin], end - begin);
    }
    t[0] = 0.0f;
    t[m - 1] = 1.0f;
}
