#include "cluster/morphospace.h"

#include "cluster/cluster_parameter.h"
#include "cluster/specimen_record.h"
#include "platform/c_format.h"

#include <Eigen/Dense>
#include <Eigen/SVD>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kMinimumMembers = 3;

using RowMatrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;

bool AllRowsEqual(const RowMatrix& rows) {
    for (Eigen::Index r = 1; r < rows.rows(); ++r)
        if (rows.row(r) != rows.row(0))
            return false;
    return true;
}

std::string TooFewMessage(int usable, int members, int intervals) {
    if (usable == members)
        return FormatC("The morphospace needs at least %d cluster members; the cluster has %d.",
                       kMinimumMembers, members);
    return FormatC("The morphospace needs at least %d cluster members with %d control-point "
                   "intervals a curve; %d of the %d members have them.",
                   kMinimumMembers, intervals, usable, members);
}

// The index of the largest magnitude; the first of equal ones.
Eigen::Index LargestMagnitude(const Eigen::VectorXd& v) {
    Eigen::Index best = 0;
    for (Eigen::Index i = 1; i < v.size(); ++i)
        if (std::fabs(v[i]) > std::fabs(v[best]))
            best = i;
    return best;
}

// All distinct coordinates of each usable member, one row after the other, and of the mean
// specimen (empty when it is not in the cluster or unusable).
struct CShapeRows {
    std::vector<double> full;
    std::vector<double> meanFull;
    std::vector<const CSpecimenRecord*> records;
    std::vector<const CSpecimenRecord*> skipped;
    int members = 0;
};

CShapeRows ReadShapes(const std::vector<CSpecimenRecord*>& cluster,
                      const CSpecimenRecord* meanRecord, const CShapeLayout& layout) {
    const auto fullSize = static_cast<std::size_t>(layout.FullSize());
    CShapeRows rows;
    std::vector<double> row(fullSize);
    for (const CSpecimenRecord* record : cluster) {
        const CApproxSpecimen* approx = record ? record->GetClusterApproximation() : nullptr;
        const bool usable = approx && layout.ReadFull(*approx, row.data());
        if (record != nullptr && record == meanRecord) {
            if (usable)
                rows.meanFull = row;
            continue;
        }
        ++rows.members;
        if (usable) {
            rows.full.insert(rows.full.end(), row.begin(), row.end());
            rows.records.push_back(record);
        } else {
            rows.skipped.push_back(record);
        }
    }
    return rows;
}

// Thin SVD of the centred data, X = U S V^T: the columns of V are the components (the scores
// X V = U S, the variances S^2 / (n - 1)), each turned so that its largest loading is positive.
// Singular values at rounding level carry no shape and are dropped.
Eigen::MatrixXd Components(const RowMatrix& x) {
    const Eigen::Index n = x.rows();
    const Eigen::BDCSVD<Eigen::MatrixXd> svd(x, Eigen::ComputeThinV);
    const Eigen::VectorXd& s = svd.singularValues();
    const double tolerance = s.size() > 0 ? s[0] * static_cast<double>(std::max(n, x.cols())) *
                                                std::numeric_limits<double>::epsilon()
                                          : 0.0;
    Eigen::Index components = 0;
    while (components < s.size() && components < n - 1 && s[components] > tolerance)
        ++components;
    Eigen::MatrixXd v = svd.matrixV().leftCols(components);
    for (Eigen::Index k = 0; k < components; ++k)
        if (v(LargestMagnitude(v.col(k)), k) < 0.0)
            v.col(k) = -v.col(k);
    return v;
}

} // namespace

std::optional<CMorphospace> CMorphospace::Compute(const std::vector<CSpecimenRecord*>& cluster,
                                                  const CSpecimenRecord* meanRecord,
                                                  int controlPointsCnt, int normalize,
                                                  std::string& error) {
    CMorphospace space(
        CShapeLayout(controlPointsCnt, normalize == CClusterParameter::NormalizeOuterPoints));
    const CShapeLayout& layout = space.layout_;
    const CShapeRows rows = ReadShapes(cluster, meanRecord, layout);
    const auto n = static_cast<Eigen::Index>(rows.records.size());
    const Eigen::Index p = layout.Size();
    if (n < kMinimumMembers || p == 0) {
        error = TooFewMessage(static_cast<int>(n), rows.members, controlPointsCnt);
        return std::nullopt;
    }
    const auto fullSize = static_cast<std::size_t>(layout.FullSize());
    RowMatrix x(n, p);
    for (Eigen::Index r = 0; r < n; ++r)
        layout.Keep(rows.full.data() + static_cast<std::size_t>(r) * fullSize, x.row(r).data());
    if (AllRowsEqual(x)) {
        error = "The morphospace cannot be computed: all cluster members have the same shape.";
        return std::nullopt;
    }

    space.records_ = rows.records;
    space.skipped_ = rows.skipped;
    space.members_ = static_cast<int>(n);
    space.meanFull_.assign(fullSize, 0.0);
    for (std::size_t i = 0; i < rows.full.size(); ++i)
        space.meanFull_[i % fullSize] += rows.full[i];
    for (double& m : space.meanFull_)
        m /= static_cast<double>(n);
    Eigen::RowVectorXd centre(p);
    layout.Keep(space.meanFull_.data(), centre.data());
    x.rowwise() -= centre;
    space.total_ = x.squaredNorm() / static_cast<double>(n - 1);

    const Eigen::MatrixXd v = Components(x);
    Eigen::MatrixXd scores = x * v;
    for (Eigen::Index k = 0; k < v.cols(); ++k) {
        space.variances_.push_back(scores.col(k).squaredNorm() / static_cast<double>(n - 1));
        space.loadings_.emplace_back(v.col(k).data(), v.col(k).data() + p);
    }
    if (!rows.meanFull.empty()) {
        Eigen::RowVectorXd row(p);
        layout.Keep(rows.meanFull.data(), row.data());
        scores.conservativeResize(n + 1, Eigen::NoChange);
        scores.row(n) = (row - centre) * v;
        space.records_.push_back(meanRecord);
    }
    space.scores_.resize(static_cast<std::size_t>(scores.size()));
    Eigen::Map<RowMatrix>(space.scores_.data(), scores.rows(), scores.cols()) = scores;
    return space;
}

int CMorphospace::PointOf(const CSpecimenRecord* record) const {
    const auto it = std::find(records_.begin(), records_.end(), record);
    return it == records_.end() ? -1 : static_cast<int>(it - records_.begin());
}

double CMorphospace::CumulativeShare(int k) const {
    double sum = 0.0;
    for (int i = 0; i <= k && i < ComponentCount(); ++i)
        sum += variances_[static_cast<std::size_t>(i)];
    return sum / total_;
}

int CMorphospace::ComponentsFor(double share, int limit) const {
    const int most = std::min(limit, ComponentCount());
    int k = 1;
    while (k < most && CumulativeShare(k - 1) < share)
        ++k;
    return std::min(k, most);
}

CApproxSpecimen CMorphospace::Shape(int k, double s) const {
    const auto fullSize = static_cast<std::size_t>(layout_.FullSize());
    std::vector<double> full = meanFull_;
    full.resize(fullSize);
    if (k >= 0 && k < ComponentCount() && s != 0.0) {
        std::vector<double> shape(static_cast<std::size_t>(layout_.Size()));
        layout_.Keep(full.data(), shape.data());
        const double step = s * std::sqrt(Variance(k));
        const std::vector<double>& v = Loadings(k);
        for (std::size_t i = 0; i < shape.size(); ++i)
            shape[i] += step * v[i];
        layout_.Scatter(shape.data(), full.data());
    }
    CApproxSpecimen approx;
    approx.ControlPointsCnt = layout_.Intervals();
    layout_.ToCurves(full.data(), approx.ApproxUpper.ControlPoints,
                     approx.ApproxLower.ControlPoints);
    approx.DrawError = false;
    approx.MarkMaxError = false;
    approx.DrawIndex = false;
    for (CBSpline* curve : {&approx.ApproxUpper, &approx.ApproxLower}) {
        curve->DrawControlPoints = false;
        curve->DrawControlPointsText = false;
        curve->DrawControlPolygon = false;
    }
    approx.SetSplinePenWidth(0);
    approx.SetColor(RGB(0, 0, 0));
    return approx;
}
