#include "cluster/cluster_member_fit.h"
#include "cluster/cluster_parameter.h"
#include "cluster/mean_specimen.h"
#include "cluster/morphospace.h"
#include "cluster/morphospace_test_support.h"
#include "formats/reader_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace morphospace_test;

constexpr int kNone = CClusterParameter::NormalizeNone;
constexpr int kOuter = CClusterParameter::NormalizeOuterPoints;
constexpr int kArea = CClusterParameter::NormalizeArea;

CMorphospace Analyse(const std::vector<CSpecimenRecord*>& list, int n, int normalize,
                     const CSpecimenRecord* mean = nullptr) {
    std::string error;
    std::optional<CMorphospace> space = CMorphospace::Compute(list, mean, n, normalize, error);
    EXPECT_TRUE(space.has_value()) << error;
    return space ? std::move(*space) : throw std::runtime_error(error);
}

// Components whose variance stands apart from its neighbours are determined up to the sign,
// which the rule fixes; only those are compared.
bool WellSeparated(const std::vector<double>& values, std::size_t k) {
    const double gap = 1e-3 * values.front();
    return (k == 0 || values[k - 1] - values[k] > gap) &&
           (k + 1 >= values.size() || values[k] - values[k + 1] > gap);
}

struct CAgreementCase {
    const char* name;
    int members;
    int intervals;
    int normalize;
};

void PrintTo(const CAgreementCase& c, std::ostream* os) {
    *os << c.name;
}

class MorphospaceAgreement : public ::testing::TestWithParam<CAgreementCase> {};

// Variances, scores and the total variance of the SVD route against the covariance matrix's
// eigen-decomposition; clusters with fewer members than coordinates and with more.
TEST_P(MorphospaceAgreement, MatchesCovarianceEigenDecomposition) {
    const CAgreementCase& c = GetParam();
    const bool outerFixed = c.normalize == kOuter;
    const CTestCluster cluster = RandomCluster(c.members, c.intervals, outerFixed, 17u + c.members);
    const CMorphospace space = Analyse(cluster.list, c.intervals, c.normalize);
    const CReferencePca ref = ReferencePca(cluster.list, outerFixed);

    const int p = 4 * c.intervals - (outerFixed ? 4 : 2);
    ASSERT_EQ(space.Layout().Size(), p);
    ASSERT_EQ(space.ComponentCount(), std::min(c.members - 1, p));
    EXPECT_NEAR(space.TotalVariance(), ref.total, 1e-9 * ref.total);
    for (int k = 0; k < space.ComponentCount(); ++k) {
        EXPECT_NEAR(space.Variance(k), ref.eigen.values[k], 1e-9 * ref.total) << "PC" << k + 1;
        if (!WellSeparated(ref.eigen.values, static_cast<std::size_t>(k)))
            continue;
        for (int i = 0; i < c.members; ++i)
            EXPECT_NEAR(space.Score(i, k), ref.scores[i][k], 1e-6 * std::sqrt(ref.total))
                << "PC" << k + 1 << " member " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Clusters, MorphospaceAgreement,
    ::testing::Values(CAgreementCase{"three_members", 3, 8, kArea},
                      CAgreementCase{"fewer_members_than_coordinates", 12, 8, kArea},
                      CAgreementCase{"many_members_m1m2", 60, 8, kOuter},
                      CAgreementCase{"few_intervals_unnormalised", 40, 3, kNone},
                      CAgreementCase{"thirty_intervals", 25, 30, kArea}),
    [](const auto& info) { return std::string(info.param.name); });

// Total variance = sum over the members of the squared distance from the mean shape over all
// distinct control points, divided by n - 1; worked out from the control points directly.
TEST(Morphospace, TotalVarianceIsTheMeanSquaredDistance) {
    const CTestCluster cluster = RandomCluster(30, 8, false, 5);
    const CMorphospace space = Analyse(cluster.list, 8, kArea);
    std::vector<double> mean(2 * 18, 0.0);
    auto points = [](const CSpecimenRecord* r) {
        std::vector<double> v;
        for (const auto* curve : {&r->GetClusterApproximation()->ApproxUpper,
                                  &r->GetClusterApproximation()->ApproxLower})
            for (const FPoint& q : curve->ControlPoints) {
                v.push_back(q.x);
                v.push_back(q.y);
            }
        return v;
    };
    for (const CSpecimenRecord* r : cluster.list) {
        const std::vector<double> v = points(r);
        for (std::size_t i = 0; i < v.size(); ++i)
            mean[i] += v[i] / 30.0;
    }
    double squares = 0.0;
    for (const CSpecimenRecord* r : cluster.list) {
        const std::vector<double> v = points(r);
        // Each curve's last point repeats the other curve's first: counted once.
        for (std::size_t i = 0; i < v.size(); ++i)
            if (i % 18 < 16)
                squares += (v[i] - mean[i]) * (v[i] - mean[i]);
    }
    EXPECT_NEAR(space.TotalVariance(), squares / 29.0, 1e-9 * space.TotalVariance());
    double sum = 0.0;
    for (int k = 0; k < space.ComponentCount(); ++k)
        sum += space.Variance(k);
    EXPECT_NEAR(sum, space.TotalVariance(), 1e-9 * space.TotalVariance());
    EXPECT_NEAR(space.CumulativeShare(space.ComponentCount() - 1), 1.0, 1e-12);
}

// A mean shape plus large steps along one chosen direction and a little noise: PC1 is that
// direction (positive by the sign rule) with nearly all the variance, and one component is
// enough for the scores table.
TEST(Morphospace, VariationAlongOneDirectionGivesPc1) {
    std::mt19937 rng(3);
    const CApproxSpecimen base = RandomValve(rng, 8, false, 0.0);
    // Direction: the dorsal inner points move up, the ventral ones down (a higher valve).
    std::vector<double> direction;
    CTestCluster cluster;
    std::normal_distribution<double> step(0.0, 60.0), noise(0.0, 0.5);
    for (int m = 0; m < 50; ++m) {
        CApproxSpecimen a = base;
        const double t = step(rng);
        for (int i = 1; i < 8; ++i) {
            const double lift = std::sin(std::numbers::pi * i / 8);
            a.ApproxUpper.ControlPoints[i].y += static_cast<float>(t * lift + noise(rng));
            a.ApproxLower.ControlPoints[i].y -= static_cast<float>(t * lift + noise(rng));
            a.ApproxUpper.ControlPoints[i].x += static_cast<float>(noise(rng));
            a.ApproxLower.ControlPoints[i].x += static_cast<float>(noise(rng));
        }
        cluster.Add(a);
    }
    const CMorphospace space = Analyse(cluster.list, 8, kArea);
    EXPECT_GT(space.Share(0), 0.99);
    EXPECT_EQ(space.ComponentsFor(0.99, 10), 1);
    // The expected direction in the analysis' own coordinates: compare the loadings through
    // the shape they describe, point by point.
    const CApproxSpecimen mean = space.MeanShape();
    const CApproxSpecimen plus = space.Shape(0, 1.0);
    double dot = 0.0, norm = 0.0;
    for (int i = 1; i < 8; ++i) {
        const double lift = std::sin(std::numbers::pi * i / 8);
        const double dy = plus.ApproxUpper.ControlPoints[i].y - mean.ApproxUpper.ControlPoints[i].y;
        const double vy = plus.ApproxLower.ControlPoints[i].y - mean.ApproxLower.ControlPoints[i].y;
        dot += dy * lift - vy * lift;
        norm += 2 * lift * lift;
    }
    const double sd = std::sqrt(space.Variance(0));
    EXPECT_NEAR(std::fabs(dot) / (sd * std::sqrt(norm)), 1.0, 1e-3);
}

// The shapes at -2 and +2 sd: the members' mean plus 2 sd times the eigenvector, in every
// control point of both curves, the shared and fixed points included.
TEST(Morphospace, ShapesAtTwoStandardDeviations) {
    for (const int normalize : {kArea, kOuter}) {
        const bool outerFixed = normalize == kOuter;
        const CTestCluster cluster = RandomCluster(20, 6, outerFixed, 29);
        const CMorphospace space = Analyse(cluster.list, 6, normalize);
        const CReferencePca ref = ReferencePca(cluster.list, outerFixed);
        for (const double s : {-2.0, 2.0}) {
            for (int k = 0; k < 2; ++k) {
                const CApproxSpecimen shape = space.Shape(k, s);
                ASSERT_EQ(shape.ApproxUpper.ControlPoints.size(), 7u);
                ASSERT_EQ(shape.ApproxLower.ControlPoints.size(), 7u);
                std::vector<double> expected = ref.mean;
                for (std::size_t j = 0; j < expected.size(); ++j)
                    expected[j] += s * std::sqrt(ref.eigen.values[k]) * ref.eigen.vectors[k][j];
                std::size_t j = 0;
                for (int i = 1; i < 6; ++i)
                    for (const FPoint& q :
                         {shape.ApproxUpper.ControlPoints[i], shape.ApproxLower.ControlPoints[i]}) {
                        EXPECT_NEAR(q.x, expected[j++], 1e-3);
                        EXPECT_NEAR(q.y, expected[j++], 1e-3);
                    }
                const double m1x = outerFixed ? 1000.0 : expected[j++];
                const double m2x = outerFixed ? -1000.0 : expected[j++];
                for (const FPoint& m1 :
                     {shape.ApproxUpper.ControlPoints[0], shape.ApproxLower.ControlPoints[6]})
                    EXPECT_EQ(m1, FPoint(static_cast<float>(m1x), 0.0f));
                for (const FPoint& m2 :
                     {shape.ApproxLower.ControlPoints[0], shape.ApproxUpper.ControlPoints[6]})
                    EXPECT_EQ(m2, FPoint(static_cast<float>(m2x), 0.0f));
            }
        }
    }
}

// Moving every member by the same offset, or listing the members in another order, changes
// neither the variances nor any member's scores.
TEST(Morphospace, IndependentOfTranslationAndOrder) {
    const CTestCluster cluster = RandomCluster(25, 8, false, 41);
    const CMorphospace space = Analyse(cluster.list, 8, kNone);

    CTestCluster shifted;
    for (const CSpecimenRecord* r : cluster.list) {
        CApproxSpecimen a = *r->GetClusterApproximation();
        for (auto* curve : {&a.ApproxUpper, &a.ApproxLower})
            for (FPoint& q : curve->ControlPoints)
                q = q + FPoint(5000.0f, -3000.0f);
        shifted.Add(a);
    }
    std::vector<CSpecimenRecord*> reordered(cluster.list.rbegin(), cluster.list.rend());
    std::rotate(reordered.begin(), reordered.begin() + 7, reordered.end());

    const CMorphospace moved = Analyse(shifted.list, 8, kNone);
    const CMorphospace shuffled = Analyse(reordered, 8, kNone);
    // The moved coordinates are rounded to float: half an ulp at 8192 is 0.0005.
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(moved.Variance(k), space.Variance(k), 1e-5 * space.Variance(k));
        EXPECT_NEAR(shuffled.Variance(k), space.Variance(k), 1e-9 * space.Variance(k));
        for (int i = 0; i < 25; ++i) {
            const double expected = space.Score(i, k);
            EXPECT_NEAR(moved.Score(i, k), expected, 5e-3);
            EXPECT_NEAR(shuffled.Score(shuffled.PointOf(cluster.list[i]), k), expected, 1e-9);
        }
    }
}

// The mean specimen is projected, not fitted: the members' analysis is the same with it, and
// its point lies where the members' mean shape does: at the origin, but for the float sums of
// the mean specimen (about 1e-4 a coordinate).
TEST(Morphospace, MeanSpecimenIsProjected) {
    CTestCluster cluster = RandomCluster(15, 8, false, 43);
    const CMorphospace without = Analyse(cluster.list, 8, kArea);
    std::unique_ptr<CSpecimenRecord> mean =
        MakeMeanSpecimenRecord(cluster.list, CClusterParameter());
    std::vector<CSpecimenRecord*> list = cluster.list;
    list.insert(list.begin() + 4, mean.get());
    const CMorphospace with = Analyse(list, 8, kArea, mean.get());
    ASSERT_EQ(with.MemberCount(), 15);
    ASSERT_EQ(with.PointCount(), 16);
    EXPECT_EQ(with.MeanPoint(), 15);
    EXPECT_EQ(with.Record(15), mean.get());
    for (int k = 0; k < with.ComponentCount(); ++k) {
        EXPECT_DOUBLE_EQ(with.Variance(k), without.Variance(k));
        EXPECT_NEAR(with.Score(15, k), 0.0, 1e-2);
    }
}

struct CRefusalCase {
    const char* name;
    int members;
    bool identical;
    const char* message;
};

void PrintTo(const CRefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class MorphospaceRefusal : public ::testing::TestWithParam<CRefusalCase> {};

TEST_P(MorphospaceRefusal, GivesAMessageAndNoResult) {
    const CRefusalCase& c = GetParam();
    std::mt19937 rng(7);
    CTestCluster cluster;
    const CApproxSpecimen one = RandomValve(rng, 8, false);
    for (int i = 0; i < c.members; ++i)
        cluster.Add(c.identical ? one : RandomValve(rng, 8, false));
    std::string error;
    EXPECT_FALSE(CMorphospace::Compute(cluster.list, nullptr, 8, kArea, error).has_value());
    EXPECT_EQ(error, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Clusters, MorphospaceRefusal,
    ::testing::Values(
        CRefusalCase{"empty", 0, false,
                     "The morphospace needs at least 3 cluster members; the cluster has 0."},
        CRefusalCase{"two", 2, false,
                     "The morphospace needs at least 3 cluster members; the cluster has 2."},
        CRefusalCase{"identical", 40, true,
                     "The morphospace cannot be computed: all cluster members have the same "
                     "shape."}),
    [](const auto& info) { return std::string(info.param.name); });

// Members whose control points do not fit the cluster's settings (another count, a value that
// is not a number, none at all) are left out and named; the others are analysed.
TEST(Morphospace, LeavesOutMembersThatDoNotFit) {
    CTestCluster cluster = RandomCluster(6, 8, false, 47);
    std::mt19937 rng(1);
    CSpecimenRecord* otherCount = cluster.Add(RandomValve(rng, 7, false));
    CApproxSpecimen broken = RandomValve(rng, 8, false);
    broken.ApproxLower.ControlPoints[3].y = std::nanf("");
    CSpecimenRecord* notANumber = cluster.Add(broken);
    CSpecimenRecord* empty = cluster.Add(CApproxSpecimen());
    const CMorphospace space = Analyse(cluster.list, 8, kArea);
    EXPECT_EQ(space.MemberCount(), 6);
    EXPECT_EQ(space.Skipped(),
              (std::vector<const CSpecimenRecord*>{otherCount, notANumber, empty}));
    EXPECT_EQ(space.PointOf(notANumber), -1);

    std::string error;
    const std::vector<CSpecimenRecord*> mostlyBad = {cluster.list[0], cluster.list[1], otherCount,
                                                     empty};
    EXPECT_FALSE(CMorphospace::Compute(mostlyBad, nullptr, 8, kArea, error));
    EXPECT_EQ(error, "The morphospace needs at least 3 cluster members with 8 control-point "
                     "intervals a curve; 2 of the 4 members have them.");
}

// A damaged caller's interval count finds no member that fits; coordinates near the float
// limit still give finite results (the analysis runs in double).
TEST(Morphospace, HostileSettingsAndCoordinates) {
    const CTestCluster cluster = RandomCluster(6, 8, false, 53);
    for (const int intervals : {0, -5, 31, 1 << 30}) {
        std::string error;
        EXPECT_FALSE(CMorphospace::Compute(cluster.list, nullptr, intervals, kArea, error));
        EXPECT_EQ(error, "The morphospace needs at least 3 cluster members with " +
                             std::to_string(intervals) +
                             " control-point intervals a curve; 0 of the 6 members have them.");
    }
    CTestCluster huge;
    for (const CSpecimenRecord* r : cluster.list) {
        CApproxSpecimen a = *r->GetClusterApproximation();
        for (auto* curve : {&a.ApproxUpper, &a.ApproxLower})
            for (FPoint& q : curve->ControlPoints)
                q = 1e35f * q;
        huge.Add(a);
    }
    const CMorphospace space = Analyse(huge.list, 8, kArea);
    for (int k = 0; k < space.ComponentCount(); ++k) {
        EXPECT_TRUE(std::isfinite(space.Variance(k)));
        for (int i = 0; i < 6; ++i)
            EXPECT_TRUE(std::isfinite(space.Score(i, k)));
    }
    EXPECT_NEAR(space.Share(0), Analyse(cluster.list, 8, kArea).Share(0), 1e-6);
}

// The 119 real outlines, fitted and normalised as the cluster does, against the plain
// covariance route on their control points.
TEST(Morphospace, RealOutlinesAgreeWithTheCovarianceRoute) {
    REAL_SPECIMENS_OR_SKIP(specimens, "momitvb_allrapanui.tps");
    ASSERT_EQ(specimens.size(), 119u);
    std::vector<const CSpecimen*> pointers;
    for (const auto& s : specimens)
        pointers.push_back(s.get());
    const CClusterParameter parameter;
    std::vector<CClusterMemberFit> fits = FitClusterMembers(pointers, parameter);
    CTestCluster cluster;
    for (CClusterMemberFit& fit : fits) {
        ASSERT_TRUE(fit.approximation) << fit.error;
        cluster.Add(*fit.approximation);
    }
    const CMorphospace space =
        Analyse(cluster.list, parameter.ControlPointsCnt, parameter.Normalize);
    const CReferencePca ref = ReferencePca(cluster.list, false);
    ASSERT_EQ(space.ComponentCount(), 30);
    EXPECT_NEAR(space.TotalVariance(), ref.total, 1e-9 * ref.total);
    for (std::size_t k = 0; k < 30; ++k) {
        EXPECT_NEAR(space.Variance(static_cast<int>(k)), ref.eigen.values[k], 1e-9 * ref.total);
        if (k >= 6 || !WellSeparated(ref.eigen.values, k))
            continue;
        for (int i = 0; i < 119; ++i)
            EXPECT_NEAR(space.Score(i, static_cast<int>(k)), ref.scores[i][k],
                        1e-6 * std::sqrt(ref.total));
    }
}

} // namespace
