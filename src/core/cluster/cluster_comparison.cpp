#include "cluster/cluster_comparison.h"

#include "cluster/cluster_data.h"
#include "cluster/spline_areas.h"
#include "model/approx_specimen.h"
#include "platform/parallel_for.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Member minus reference at every index both curves hold.
std::vector<FPoint> Deltas(const std::vector<FPoint>& member,
                           const std::vector<FPoint>& reference) {
    const size_t count = std::min(member.size(), reference.size());
    std::vector<FPoint> deltas(count);
    for (size_t i = 0; i < count; ++i)
        deltas[i] = member[i] - reference[i];
    return deltas;
}

// The points each shared end would otherwise bring in twice: all but the last.
size_t DistinctCount(const std::vector<FPoint>& deltas) {
    return deltas.empty() ? 0 : deltas.size() - 1;
}

float SumOfLengths(const std::vector<FPoint>& lower, const std::vector<FPoint>& upper) {
    float sum = 0.0f;
    for (size_t i = 0; i < DistinctCount(lower); ++i)
        sum += lower[i].Length();
    for (size_t j = 0; j < DistinctCount(upper); ++j)
        sum += upper[j].Length();
    return sum;
}

float SumOfSquaredLengths(const std::vector<FPoint>& lower, const std::vector<FPoint>& upper) {
    float sum = 0.0f;
    for (size_t i = 0; i < DistinctCount(lower); ++i) {
        const float length = lower[i].Length();
        sum += length * length;
    }
    for (size_t j = 0; j < DistinctCount(upper); ++j) {
        const float length = upper[j].Length();
        sum += length * length;
    }
    return sum;
}

// Starts from the smallest normal float, so identical curves report that rather than 0.
float MaxLength(const std::vector<FPoint>& lower, const std::vector<FPoint>& upper) {
    float maximum = std::numeric_limits<float>::min();
    for (const std::vector<FPoint>* deltas : {&lower, &upper})
        for (const FPoint& d : *deltas) {
            const float length = d.Length();
            if (length > maximum)
                maximum = length;
        }
    return maximum;
}

// A comparison without distinct points has nothing to average.
float Mean(float sum, size_t count) {
    return count == 0 ? 0.0f : sum / static_cast<float>(count);
}

} // namespace

void ComputeClusterData(const CApproxSpecimen& member, const CApproxSpecimen& reference,
                        CClusterData& data) {
    const std::vector<FPoint> lower =
        Deltas(member.ApproxLower.ControlPoints, reference.ApproxLower.ControlPoints);
    const std::vector<FPoint> upper =
        Deltas(member.ApproxUpper.ControlPoints, reference.ApproxUpper.ControlPoints);
    const size_t distinct = DistinctCount(lower) + DistinctCount(upper);

    const float sumDelta = SumOfLengths(lower, upper);
    data.MeanDelta = Mean(sumDelta, distinct);
    data.MaxDelta = MaxLength(lower, upper);
    data.SumDelta = sumDelta;
    data.SumDeltaQuadrat = SumOfSquaredLengths(lower, upper);
    data.MeanDeltaQuadrat = std::sqrt(Mean(data.SumDeltaQuadrat, distinct));
    data.Areadorsal = DorsalAreaBetween(reference, member);
    data.Areaventral = VentralAreaBetween(reference, member);
    // What TotalAreaBetween gives, without measuring both sides again.
    data.Areatotal = data.Areadorsal >= 0.0f && data.Areaventral >= 0.0f
                         ? data.Areadorsal + data.Areaventral
                         : kTotalAreaNotComputable;
    data.DeltaVectorsLower = lower;
    data.DeltaVectorsUpper = upper;
}

namespace {

float SquaredDistanceSum(const CApproxSpecimen* row, const CApproxSpecimen* column, int n) {
    if (row == nullptr || column == nullptr)
        return 0.0f;
    const std::vector<FPoint>& rd = row->ApproxUpper.ControlPoints;
    const std::vector<FPoint>& rv = row->ApproxLower.ControlPoints;
    const std::vector<FPoint>& cd = column->ApproxUpper.ControlPoints;
    const std::vector<FPoint>& cv = column->ApproxLower.ControlPoints;
    const size_t count =
        std::min({static_cast<size_t>(n), rd.size(), rv.size(), cd.size(), cv.size()});
    float sum = 0.0f;
    for (size_t k = 0; k < count; ++k) {
        const FPoint d = rd[k] - cd[k];
        const FPoint v = rv[k] - cv[k];
        sum += d.x * d.x;
        sum += d.y * d.y;
        sum += v.x * v.x;
        sum += v.y * v.y;
    }
    return sum;
}

} // namespace

// (i, j) and (j, i) sum the same squares in the same order, so one computation fills both.
std::vector<float> PairwiseRmsMatrix(const std::vector<const CApproxSpecimen*>& approximations,
                                     int n) {
    const size_t count = approximations.size();
    std::vector<float> matrix(count * count, 0.0f);
    if (n <= 0)
        return matrix;
    const float divisor = 2.0f * static_cast<float>(n);
    ParallelFor(count, [&](size_t i) {
        for (size_t j = i; j < count; ++j) {
            const float v =
                std::sqrt(SquaredDistanceSum(approximations[i], approximations[j], n) / divisor);
            matrix[i * count + j] = v;
            matrix[j * count + i] = v;
        }
    });
    return matrix;
}

float PairwiseRms(const CApproxSpecimen* row, const CApproxSpecimen* column, int n) {
    if (n <= 0)
        return 0.0f;
    return std::sqrt(SquaredDistanceSum(row, column, n) / (2.0f * static_cast<float>(n)));
}
