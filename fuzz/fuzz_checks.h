#pragma once

#include "model/approx_specimen.h"
#include "model/specimen.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <vector>

// Findings that are no crash but still wrong: a stored value that is not a number. NaN is
// never a legitimate result of reading or fitting, so it aborts the run like a crash.
inline void FuzzRequire(bool condition) {
    if (!condition)
        std::abort();
}

inline void RequireNoNaN(FPoint p) {
    FuzzRequire(!std::isnan(p.x) && !std::isnan(p.y));
}

inline void RequireNoNaN(const std::vector<FPoint>& points) {
    for (const FPoint& p : points)
        RequireNoNaN(p);
}

inline void RequireNoNaN(const CSpecimen& specimen) {
    RequireNoNaN(specimen.Contour);
    RequireNoNaN(specimen.Centroid);
    RequireNoNaN(specimen.FirstEigenvect);
    RequireNoNaN(specimen.SecondEigenvect);
    RequireNoNaN(specimen.GetUpperHalf());
    RequireNoNaN(specimen.GetLowerHalf());
    FuzzRequire(!std::isnan(specimen.ScaleFactor));
}

inline void RequireNoNaN(const CApproxSpecimen& approx) {
    RequireNoNaN(approx.ApproxLower.ControlPoints);
    RequireNoNaN(approx.ApproxUpper.ControlPoints);
    for (const float v :
         {approx.MaxDiffOben, approx.MaxDiffUnten, approx.MeanDiffOben, approx.MeanDiffUnten,
          approx.MaxDiffObenAtParam, approx.MaxDiffUntenAtParam})
        FuzzRequire(!std::isnan(v));
}

// The document file's reader stores no value that is not finite: such a file is damaged.
inline void RequireFinite(FPoint p) {
    FuzzRequire(std::isfinite(p.x) && std::isfinite(p.y));
}

inline void RequireFinite(const std::vector<FPoint>& points) {
    for (const FPoint& p : points)
        RequireFinite(p);
}

inline void RequireFinite(std::initializer_list<float> values) {
    for (const float v : values)
        FuzzRequire(std::isfinite(v));
}
