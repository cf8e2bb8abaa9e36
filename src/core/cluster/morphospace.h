#pragma once

#include "cluster/shape_layout.h"
#include "model/approx_specimen.h"

#include <optional>
#include <string>
#include <vector>

class CSpecimenRecord;

// The morphospace of a cluster: a principal component analysis of the members' shape vectors
// (their size-normalised cluster control points, see CShapeLayout), in double precision. The
// mean specimen record is left out of the fit and projected like the members. Variances have
// the denominator n - 1. Results are recomputed from the cluster, never stored.
//
// Sign rule: each component's loading of largest magnitude (the first of equal ones) is
// positive, so the same cluster always gives the same axes, whatever the member order.
class CMorphospace {
public:
    // The records of the analysis: the members in cluster order, then the mean specimen when
    // `meanRecord` is in the cluster. Members whose control points do not fit the cluster's
    // settings (n + 1 finite points a curve) are left out and listed in Skipped(). No result,
    // and `error` says why, with fewer than three usable members or when all of them have the
    // same shape.
    static std::optional<CMorphospace> Compute(const std::vector<CSpecimenRecord*>& cluster,
                                               const CSpecimenRecord* meanRecord,
                                               int controlPointsCnt, int normalize,
                                               std::string& error);

    const CShapeLayout& Layout() const { return layout_; }

    // Points of the scatter: the fitted members first, then the projected mean (if any).
    int PointCount() const { return static_cast<int>(records_.size()); }
    int MemberCount() const { return members_; }
    const CSpecimenRecord* Record(int point) const { return records_[point]; }
    // The point of the mean specimen, or -1.
    int MeanPoint() const { return PointCount() > members_ ? members_ : -1; }
    // The index of a record's point, or -1.
    int PointOf(const CSpecimenRecord* record) const;
    const std::vector<const CSpecimenRecord*>& Skipped() const { return skipped_; }

    // Components with a variance above rounding noise, largest first; at most n - 1.
    int ComponentCount() const { return static_cast<int>(variances_.size()); }
    double Variance(int k) const { return variances_[k]; }
    double TotalVariance() const { return total_; }
    double Share(int k) const { return variances_[k] / total_; }
    double CumulativeShare(int k) const;
    // The smallest number of components whose cumulative share reaches `share`, at most
    // `limit` (and at most ComponentCount()).
    int ComponentsFor(double share, int limit) const;

    double Score(int point, int k) const { return scores_[Index(point, k)]; }
    // Component k as a unit vector over the shape coordinates.
    const std::vector<double>& Loadings(int k) const { return loadings_[k]; }

    // mean + s * sd_k * v_k (sd_k the square root of the variance) as the control points of a
    // cluster approximation, the coordinates fixed by construction taken from the members'
    // mean; with s = 0 the mean shape. Drawn in the cluster's curve style (no points, no
    // polygon, no texts).
    CApproxSpecimen Shape(int k, double s) const;
    CApproxSpecimen MeanShape() const { return Shape(0, 0.0); }

private:
    explicit CMorphospace(CShapeLayout layout) : layout_(std::move(layout)) {}
    std::size_t Index(int point, int k) const {
        return static_cast<std::size_t>(point) * variances_.size() + static_cast<std::size_t>(k);
    }

    CShapeLayout layout_;
    std::vector<const CSpecimenRecord*> records_;
    int members_ = 0;
    std::vector<const CSpecimenRecord*> skipped_;
    std::vector<double> meanFull_; // the members' mean of all distinct coordinates
    std::vector<double> variances_;
    std::vector<std::vector<double>> loadings_; // one unit vector per component
    std::vector<double> scores_;                // point-major, ComponentCount() per point
    double total_ = 0.0;
};
