#include "cluster/cluster_member_fit.h"

#include "cluster/cluster_parameter.h"
#include "cluster/size_normalization.h"
#include "model/approx_specimen.h"
#include "platform/parallel_for.h"

namespace {

CClusterMemberFit FitMember(const CSpecimen& specimen, const CClusterParameter& parameter) {
    CClusterMemberFit result;
    std::unique_ptr<CApproxSpecimen> approx = MakeClusterApproximation(parameter);
    if (!approx->Fit(specimen, result.error))
        return result;
    result.fitted = true;
    if (NormalizeClusterApproximation(*approx, specimen, parameter.Normalize, result.error))
        result.approximation = std::move(approx);
    return result;
}

} // namespace

std::vector<CClusterMemberFit> FitClusterMembers(const std::vector<const CSpecimen*>& specimens,
                                                 const CClusterParameter& parameter,
                                                 unsigned threads) {
    std::vector<CClusterMemberFit> fits(specimens.size());
    ParallelFor(
        specimens.size(), [&](std::size_t i) { fits[i] = FitMember(*specimens[i], parameter); },
        threads);
    return fits;
}
