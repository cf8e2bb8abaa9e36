#pragma once

#include <memory>
#include <string>
#include <vector>

class CApproxSpecimen;
class CClusterParameter;
class CSpecimen;

// The cluster approximation of one specimen, made without asking the user: fitted with the
// cluster's settings and normalised. `approximation` is set when both steps succeeded;
// otherwise `fitted` tells which step failed and `error` why.
struct CClusterMemberFit {
    std::unique_ptr<CApproxSpecimen> approximation;
    bool fitted = false;
    std::string error;
};

// The cluster approximations of specimens that are in normal position, spread over the cores
// (0: one thread per core); entry i belongs to specimens[i] and does not depend on the number
// of threads.
// The cluster approximation of a specimen that `fitted` approximates with the cluster's own
// fitting settings, made from that fit: the same control points and errors a fresh fit gives,
// with the cluster's drawing settings, normalised. When `fitted` holds no fit or was made with
// other settings, the specimen is fitted afresh.
CClusterMemberFit ClusterMemberFromFit(const CApproxSpecimen& fitted, const CSpecimen& specimen,
                                       const CClusterParameter& parameter);

std::vector<CClusterMemberFit> FitClusterMembers(const std::vector<const CSpecimen*>& specimens,
                                                 const CClusterParameter& parameter,
                                                 unsigned threads = 0);
