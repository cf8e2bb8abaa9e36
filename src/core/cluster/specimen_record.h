#pragma once

#include "cluster/cluster_data.h"
#include "model/approx_specimen.h"
#include "model/specimen.h"
#include "platform/object.h"

#include <memory>

// One entry of the document: the specimen, the user's approximation (or none), and while the
// record is a cluster member its cluster approximation and its comparison with the reference.
class CSpecimenRecord : public CObject {
public:
    explicit CSpecimenRecord(std::unique_ptr<CSpecimen> specimen)
        : specimen_(std::move(specimen)) {}

    CSpecimen* GetSpecimen() const { return specimen_.get(); }
    bool HasSpecimen() const { return specimen_ != nullptr; }

    CApproxSpecimen* GetApproximation() const { return approximation_.get(); }
    bool HasApproximation() const { return approximation_ != nullptr; }
    void SetApproximation(std::unique_ptr<CApproxSpecimen> a) { approximation_ = std::move(a); }
    std::unique_ptr<CApproxSpecimen> TakeApproximation() { return std::move(approximation_); }

    CApproxSpecimen* GetClusterApproximation() const { return clusterApproximation_.get(); }
    bool HasClusterApproximation() const { return clusterApproximation_ != nullptr; }
    void SetClusterApproximation(std::unique_ptr<CApproxSpecimen> a) {
        clusterApproximation_ = std::move(a);
    }
    std::unique_ptr<CApproxSpecimen> TakeClusterApproximation() {
        return std::move(clusterApproximation_);
    }

    CClusterData* GetClusterData() const { return clusterData_.get(); }
    bool HasClusterData() const { return clusterData_ != nullptr; }
    void SetClusterData(std::unique_ptr<CClusterData> d) { clusterData_ = std::move(d); }
    std::unique_ptr<CClusterData> TakeClusterData() { return std::move(clusterData_); }

private:
    std::unique_ptr<CSpecimen> specimen_;
    std::unique_ptr<CApproxSpecimen> approximation_;
    std::unique_ptr<CApproxSpecimen> clusterApproximation_;
    std::unique_ptr<CClusterData> clusterData_;
};
