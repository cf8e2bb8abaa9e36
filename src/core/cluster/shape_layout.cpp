#include "cluster/shape_layout.h"

#include "model/approx_specimen.h"
#include "model/fit_limits.h"

#include <cmath>

namespace {

// Full-coordinate index of x of point p (0 ... 2n - 1: dorsal, then ventral).
constexpr int X(int p) {
    return 2 * p;
}
constexpr int Y(int p) {
    return 2 * p + 1;
}

} // namespace

// A count outside what a cluster can have (a damaged caller) gives an empty layout, which no
// approximation fits.
CShapeLayout::CShapeLayout(int controlPointsCnt, bool outerXFixed)
    : intervals_(controlPointsCnt > 0 && controlPointsCnt <= kMaxControlPoints ? controlPointsCnt
                                                                               : 0) {
    const int m1 = 0;
    const int m2 = intervals_;
    for (int i = 0; i < FullSize(); ++i) {
        const bool pinnedY = i == Y(m1) || i == Y(m2);
        const bool pinnedX = outerXFixed && (i == X(m1) || i == X(m2));
        if (!pinnedY && !pinnedX)
            kept_.push_back(i);
    }
}

bool CShapeLayout::ReadFull(const CApproxSpecimen& approx, double* full) const {
    const auto& dorsal = approx.ApproxUpper.ControlPoints;
    const auto& ventral = approx.ApproxLower.ControlPoints;
    const auto count = static_cast<std::size_t>(intervals_) + 1;
    if (intervals_ == 0 || dorsal.size() != count || ventral.size() != count)
        return false;
    for (int i = 0; i < intervals_; ++i) {
        const FPoint d = dorsal[static_cast<std::size_t>(i)];
        const FPoint v = ventral[static_cast<std::size_t>(i)];
        full[X(i)] = d.x;
        full[Y(i)] = d.y;
        full[X(intervals_ + i)] = v.x;
        full[Y(intervals_ + i)] = v.y;
    }
    for (int i = 0; i < FullSize(); ++i)
        if (!std::isfinite(full[i]))
            return false;
    return true;
}

void CShapeLayout::Keep(const double* full, double* shape) const {
    for (std::size_t k = 0; k < kept_.size(); ++k)
        shape[k] = full[kept_[k]];
}

void CShapeLayout::Scatter(const double* shape, double* full) const {
    for (std::size_t k = 0; k < kept_.size(); ++k)
        full[kept_[k]] = shape[k];
}

void CShapeLayout::ToCurves(const double* full, std::vector<FPoint>& dorsal,
                            std::vector<FPoint>& ventral) const {
    auto point = [full](int p) {
        return FPoint(static_cast<float>(full[X(p)]), static_cast<float>(full[Y(p)]));
    };
    dorsal.clear();
    ventral.clear();
    for (int i = 0; i < intervals_; ++i) {
        dorsal.push_back(point(i));
        ventral.push_back(point(intervals_ + i));
    }
    if (intervals_ > 0) {
        dorsal.push_back(point(intervals_)); // m2
        ventral.push_back(point(0));         // m1
    }
}
