#include "cluster/mean_specimen.h"

#include "cluster/cluster_parameter.h"
#include "cluster/specimen_record.h"

#include <algorithm>

namespace {

// Adds weight * source[i] to target[i] for the indices both hold; the scaled point and the
// running sum are each rounded to float, so the result does not depend on wider registers.
void AccumulateScaled(std::vector<FPoint>& target, const std::vector<FPoint>& source, size_t i,
                      float weight) {
    if (i >= source.size() || i >= target.size())
        return;
    const FPoint scaled = weight * source[i];
    target[i] = target[i] + scaled;
}

bool HasScale(const CSpecimenRecord* record) {
    return record != nullptr && record->HasSpecimen() && record->GetSpecimen()->ScaleSpecified;
}

void ApplyMeanDrawing(CApproxSpecimen& approx, ColorRef color) {
    approx.SetSplinePenWidth(1);
    approx.SetColor(color);
    for (CBSpline* curve : {&approx.ApproxUpper, &approx.ApproxLower}) {
        curve->DrawControlPoints = false;
        curve->DrawControlPointsText = false;
        curve->DrawControlPolygon = false;
    }
    approx.DrawError = false;
    approx.MarkMaxError = false;
    approx.DrawIndex = false;
}

} // namespace

std::unique_ptr<CSpecimenRecord>
MakeMeanSpecimenRecord(const std::vector<CSpecimenRecord*>& cluster,
                       const CClusterParameter& parameter) {
    auto specimen = std::make_unique<CSpecimen>();
    specimen->ShortPathName = "<Mean Specimen>";
    auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));

    // Only the point arrays follow the cluster; the fitting settings keep their defaults.
    auto mean = std::make_unique<CApproxSpecimen>();
    const size_t count = static_cast<size_t>(std::max(parameter.ControlPointsCnt + 1, 0));
    mean->ApproxUpper.ControlPoints.assign(count, FPoint());
    mean->ApproxLower.ControlPoints.assign(count, FPoint());

    bool scaleSpecified = true;
    const float weight = cluster.empty() ? 0.0f : 1.0f / static_cast<float>(cluster.size());
    for (const CSpecimenRecord* member : cluster) {
        const CApproxSpecimen* approx = member ? member->GetClusterApproximation() : nullptr;
        for (size_t i = 0; approx != nullptr && i < count; ++i) {
            AccumulateScaled(mean->ApproxUpper.ControlPoints, approx->ApproxUpper.ControlPoints, i,
                             weight);
            AccumulateScaled(mean->ApproxLower.ControlPoints, approx->ApproxLower.ControlPoints, i,
                             weight);
        }
        if (!HasScale(member))
            scaleSpecified = false;
    }
    record->GetSpecimen()->ScaleSpecified = scaleSpecified;

    ApplyMeanDrawing(*mean, parameter.MeanSpecimenColor);
    record->SetClusterApproximation(std::move(mean));
    record->SetClusterData(std::make_unique<CClusterData>());
    return record;
}
