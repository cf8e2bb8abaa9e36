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
std::vector<CClusterMemberFit> FitClusterMembers(const std::vector<const CSpecimen*>& specimens,
                                                 const CClusterParameter& parameter,
                                                 unsigned threads = 0);
