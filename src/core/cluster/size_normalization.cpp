#include "cluster/size_normalization.h"

#include "cluster/cluster_parameter.h"
#include "model/approx_specimen.h"
#include "model/specimen.h"

#include <cmath>

namespace {

// P' = (scale.x * P.x + offset, scale.y * P.y), the one form all modes share.
struct CAffine {
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float offsetX = 0.0f;
};

bool Finite(const CAffine& f) {
    return std::isfinite(f.scaleX) && std::isfinite(f.scaleY) && std::isfinite(f.offsetX);
}

// The reason alone; the public function names the specimen in front of it.
std::string Refusal(const std::string& reason) {
    return reason;
}

bool HasConsistentCurves(const CApproxSpecimen& approx, std::string& error) {
    if (approx.ApproxUpper.ControlPoints.empty() || approx.ApproxLower.ControlPoints.empty()) {
        error = Refusal("its approximation has no control points.");
        return false;
    }
    const long long expected = static_cast<long long>(approx.ControlPointsCnt) + 1;
    if (static_cast<long long>(approx.ApproxUpper.ControlPoints.size()) != expected ||
        static_cast<long long>(approx.ApproxLower.ControlPoints.size()) != expected) {
        error = Refusal("its curves do not hold the expected number of control points.");
        return false;
    }
    return true;
}

bool OuterPointsFactors(const CApproxSpecimen& approx, CAffine& f, std::string& error) {
    const FPoint m2 = approx.ApproxLower.ControlPoints[0];
    const FPoint m1 =
        approx.ApproxLower.ControlPoints[static_cast<size_t>(approx.ControlPointsCnt)];
    if (m1.x == m2.x) {
        error = Refusal("its outer control points m1 and m2 lie at the same x.");
        return false;
    }
    const float a = 2.0f / (m1.x - m2.x) * 1000.0f;
    const float b = (m2.x + m1.x) / (m2.x - m1.x) * 1000.0f;
    f = {a, a, b};
    return true;
}

bool AreaFactors(const CSpecimen& specimen, CAffine& f, std::string& error) {
    const float area = specimen.GetArea();
    // Truncation toward zero; held wider than 32 bits so that huge outlines cannot overflow.
    const double truncated = std::trunc(std::fabs(static_cast<double>(area)));
    if (!std::isfinite(truncated) || truncated == 0.0) {
        error = Refusal("the area of its outline is smaller than 1 or not a number.");
        return false;
    }
    const float k = static_cast<float>(1000.0 / std::sqrt(truncated));
    f = {k, k, 0.0f};
    return true;
}

bool CentroidSizeFactors(const CSpecimen& specimen, CAffine& f, std::string& error) {
    const float s = specimen.GetMeanSquaredCentroidDistance();
    if (!(s > 0.0f) || !std::isfinite(s)) {
        error = Refusal("the centroid size of its outline is zero or not a number.");
        return false;
    }
    const float k = static_cast<float>(1000.0 / std::sqrt(static_cast<double>(s)));
    f = {k, k, 0.0f};
    return true;
}

bool Factors(const CApproxSpecimen& approx, const CSpecimen& specimen, int mode, CAffine& f,
             std::string& error) {
    switch (mode) {
    case CClusterParameter::NormalizeNone:
        return true;
    case CClusterParameter::NormalizeOuterPoints:
        return OuterPointsFactors(approx, f, error);
    case CClusterParameter::NormalizeArea:
        return AreaFactors(specimen, f, error);
    case CClusterParameter::NormalizeCentroidSize:
        return CentroidSizeFactors(specimen, f, error);
    default:
        error = Refusal("the size normalisation mode " + std::to_string(mode) + " is unknown.");
        return false;
    }
}

void Apply(const CAffine& f, FPoint& p) {
    p.x = f.scaleX * p.x + f.offsetX;
    p.y = f.scaleY * p.y;
}

} // namespace

std::unique_ptr<CApproxSpecimen> MakeClusterApproximation(const CClusterParameter& parameter) {
    auto approx = std::make_unique<CApproxSpecimen>();
    approx->ControlPointsCnt = parameter.ControlPointsCnt;
    approx->ApplyParamIteration = parameter.ApplyParamIteration;
    approx->ParamIterCount = parameter.ParamIterCount;
    approx->DrawError = false;
    approx->MarkMaxError = false;
    approx->DrawIndex = false;
    for (CBSpline* curve : {&approx->ApproxUpper, &approx->ApproxLower}) {
        curve->DrawControlPoints = false;
        curve->DrawControlPolygon = false;
    }
    approx->SetColor(parameter.SpecimenColor);
    return approx;
}

namespace {

bool Normalize(CApproxSpecimen& approx, const CSpecimen& specimen, int mode, std::string& error) {
    if (!HasConsistentCurves(approx, error))
        return false;
    CAffine f;
    if (!Factors(approx, specimen, mode, f, error))
        return false;
    if (!Finite(f)) {
        error = Refusal("its size factor is not a finite number.");
        return false;
    }
    if (mode == CClusterParameter::NormalizeNone)
        return true;
    for (int i = 0; i <= approx.ControlPointsCnt; ++i) {
        Apply(f, approx.ApproxUpper.ControlPoints[static_cast<size_t>(i)]);
        Apply(f, approx.ApproxLower.ControlPoints[static_cast<size_t>(i)]);
    }
    return true;
}

} // namespace

bool NormalizeClusterApproximation(CApproxSpecimen& approx, const CSpecimen& specimen, int mode,
                                   std::string& error) {
    std::string reason;
    if (Normalize(approx, specimen, mode, reason))
        return true;
    error = "The specimen \"" + specimen.ShortPathName + "\" cannot be normalised: " + reason;
    return false;
}
