#include "cluster/cluster_member_fit.h"

#include "cluster/cluster_parameter.h"
#include "cluster/size_normalization.h"
#include "model/approx_specimen.h"
#include "platform/parallel_for.h"

namespace {

CClusterMemberFit Normalized(std::unique_ptr<CApproxSpecimen> approx, const CSpecimen& specimen,
                             const CClusterParameter& parameter) {
    CClusterMemberFit result;
    result.fitted = true;
    if (NormalizeClusterApproximation(*approx, specimen, parameter.Normalize, result.error))
        result.approximation = std::move(approx);
    return result;
}

CClusterMemberFit FitMember(const CSpecimen& specimen, const CClusterParameter& parameter) {
    std::unique_ptr<CApproxSpecimen> approx = MakeClusterApproximation(parameter);
    CClusterMemberFit result;
    if (!approx->Fit(specimen, result.error))
        return result;
    return Normalized(std::move(approx), specimen, parameter);
}

// The settings the fit reads; everything else of an approximation only draws it.
bool FitsLikeCluster(const CApproxSpecimen& a, const CApproxSpecimen& cluster) {
    return a.ErrorValuesAreValid && a.ControlPointsCnt == cluster.ControlPointsCnt &&
           a.ApplyParamIteration == cluster.ApplyParamIteration &&
           a.ParamIterCount == cluster.ParamIterCount && a.Solver == cluster.Solver;
}

} // namespace

CClusterMemberFit ClusterMemberFromFit(const CApproxSpecimen& fitted, const CSpecimen& specimen,
                                       const CClusterParameter& parameter) {
    std::unique_ptr<CApproxSpecimen> approx = MakeClusterApproximation(parameter);
    if (!FitsLikeCluster(fitted, *approx))
        return FitMember(specimen, parameter);
    // What Fit stores: the control points of both curves and the error values.
    approx->ApproxLower.ControlPoints = fitted.ApproxLower.ControlPoints;
    approx->ApproxUpper.ControlPoints = fitted.ApproxUpper.ControlPoints;
    approx->ErrorValuesAreValid = true;
    approx->MaxDiffOben = fitted.MaxDiffOben;
    approx->MaxDiffUnten = fitted.MaxDiffUnten;
    approx->MeanDiffOben = fitted.MeanDiffOben;
    approx->MeanDiffUnten = fitted.MeanDiffUnten;
    approx->MaxDiffObenAtParam = fitted.MaxDiffObenAtParam;
    approx->MaxDiffUntenAtParam = fitted.MaxDiffUntenAtParam;
    return Normalized(std::move(approx), specimen, parameter);
}

std::vector<CClusterMemberFit> FitClusterMembers(const std::vector<const CSpecimen*>& specimens,
                                                 const CClusterParameter& parameter,
                                                 unsigned threads) {
    std::vector<CClusterMemberFit> fits(specimens.size());
    ParallelFor(
        specimens.size(), [&](std::size_t i) { fits[i] = FitMember(*specimens[i], parameter); },
        threads);
    return fits;
}
