#pragma once

#include "model/fpoint.h"
#include "platform/object.h"

#include <vector>

// One cluster member compared with the reference: the delta vectors of corresponding control
// points (member minus reference) and the measures derived from them. Negative areas mark
// areas that could not be computed. Empty (all zero) while the cluster has no reference.
struct CClusterData : CObject {
    std::vector<FPoint> DeltaVectorsUpper;
    std::vector<FPoint> DeltaVectorsLower;
    float MaxDelta = 0.0f;
    float MeanDelta = 0.0f;
    float SumDelta = 0.0f;
    float SumDeltaQuadrat = 0.0f;
    float MeanDeltaQuadrat = 0.0f;
    float Areadorsal = 0.0f;
    float Areaventral = 0.0f;
    float Areatotal = 0.0f;
};
