#include "model/approx_fit.h"

#include "model/bspline.h"
#include "model/numerics.h"
#include "model/sparse_halves_solver.h"

#include <cmath>
#include <memory>

namespace {

// Chord-length parameters in [0, 1]; false when the points do not span a length.
bool ChordParameters(const std::vector<FPoint>& points, std::vector<float>& t) {
    t.assign(points.size(), 0.0f);
    float length = 0.0f; // t[k] holds the running sum until it is divided
    for (std::size_t a = 1; a < points.size(); ++a) {
        length += (points[a] - points[a - 1]).Length();
        t[a] = length;
    }
    if (!(length > 0.0f) || !std::isfinite(length))
        return false;
    for (std::size_t k = 1; k < points.size(); ++k)
        t[k] /= length;
    return true;
}

// The basis functions of a curve with g + 1 control points.
CBSpline BasisCurve(int g) {
    CBSpline curve;
    curve.ControlPoints.assign(static_cast<std::size_t>(g) + 1, FPoint());
    return curve;
}

class CHalvesSolver {
public:
    CHalvesSolver(const std::vector<FPoint>& ventral, const std::vector<FPoint>& dorsal, int g)
        : ventral_(ventral), dorsal_(dorsal), g_(g), basis_(BasisCurve(g)),
          rows_(static_cast<int>(ventral.size() + dorsal.size())) {}

    // Q[1..2g] from the current parameters: x of all points, y of the inner ones.
    void Solve(const std::vector<float>& tv, const std::vector<float>& td, std::vector<FPoint>& q) {
        const int cols = 2 * g_;
        numerics::Matrix ax(1, rows_, 1, cols);
        numerics::Matrix ay(1, rows_, 1, cols);
        for (int r = 1; r <= rows_; ++r)
            for (int j = 1; j <= cols; ++j)
                ax[r][j] = ay[r][j] = 0.0f;
        const int nv = static_cast<int>(ventral_.size());
        for (int r = 1; r <= nv; ++r) {
            const float t = tv[r - 1];
            ax[r][1] = basis_.Basis(0, t);
            for (int j = 2; j <= g_ + 1; ++j)
                ax[r][j] = basis_.Basis(j - 1, t);
            for (int j = 2; j <= g_; ++j)
                ay[r][j] = basis_.Basis(j - 1, t);
        }
        for (int r = nv + 1; r <= rows_; ++r) {
            const float t = td[r - nv - 1];
            ax[r][1] = basis_.Basis(g_, t);
            for (int j = g_ + 1; j <= cols; ++j)
                ax[r][j] = basis_.Basis(j - g_ - 1, t);
            for (int j = g_ + 2; j <= cols; ++j)
                ay[r][j] = basis_.Basis(j - g_ - 1, t);
        }
        q.assign(static_cast<std::size_t>(cols) + 1, FPoint());
        SolveCoordinate(
            ax, cols, [](FPoint p) { return p.x; }, q, &FPoint::x);
        SolveCoordinate(
            ay, cols, [](FPoint p) { return p.y; }, q, &FPoint::y);
        // The zero columns of Ay pin the end points to the axis. In single precision a nearly
        // singular system can leave a tiny singular value there instead of an exact zero, so the
        // pin is made explicit.
        q[1].y = 0.0f;
        q[g_ + 1].y = 0.0f;
    }

private:
    template <typename Coordinate>
    void SolveCoordinate(numerics::Matrix& a, int cols, Coordinate coordinate,
                         std::vector<FPoint>& q, float FPoint::*member) {
        numerics::Matrix p(1, cols, 1, rows_);
        numerics::pseudo_inverse(a.get(), rows_, cols, p.get());
        for (int j = 1; j <= cols; ++j) {
            float sum = 0.0f;
            for (int r = 1; r <= rows_; ++r)
                sum += p[j][r] * coordinate(Row(r));
            q[j].*member = sum;
        }
    }

    const FPoint& Row(int r) const {
        const int nv = static_cast<int>(ventral_.size());
        return r <= nv ? ventral_[r - 1] : dorsal_[r - nv - 1];
    }

    const std::vector<FPoint>& ventral_;
    const std::vector<FPoint>& dorsal_;
    int g_;
    CBSpline basis_;
    int rows_;
};

// Ventral control points Q_1 ... Q_(g+1); dorsal Q_(g+1) ... Q_2g, Q_1.
void LayOut(const std::vector<FPoint>& q, int g, std::vector<FPoint>& ventral,
            std::vector<FPoint>& dorsal) {
    ventral.assign(q.begin() + 1, q.begin() + g + 2);
    dorsal.assign(q.begin() + g + 1, q.end());
    dorsal.push_back(q[1]);
}

// One Newton-type step per inner data point towards the foot of its perpendicular on the curve.
// `curve(t, point, derivative)` gives the point and the tangent at parameter t.
template <typename Curve>
void CorrectParameters(const Curve& curve, const std::vector<FPoint>& points,
                       std::vector<float>& t) {
    const std::size_t m = points.size();
    if (m == 0)
        return;
    t[0] = 0.0f;
    for (std::size_t k = 1; k + 1 < m; ++k) {
        FPoint point;
        FPoint derivative;
        curve(t[k], point, derivative);
        const float length = derivative.Length();
        const float delta = ((points[k] - point) * derivative) / (length * length);
        t[k] += delta;
        if (!(t[k] >= 0.0f))
            t[k] = 0.0f;
        else if (t[k] > 1.0f)
            t[k] = 1.0f;
    }
    t[m - 1] = 1.0f;
}

CBSpline CurveOf(const std::vector<FPoint>& controlPoints) {
    CBSpline curve;
    curve.ControlPoints = controlPoints;
    return curve;
}

bool AllFinite(const std::vector<FPoint>& points) {
    for (const FPoint& p : points)
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return false;
    return true;
}

enum class CFitHalf { Ventral, Dorsal };

// The solves and curve evaluations of one fit, by the chosen method. The sparse solve hands
// every system it cannot trust to the pseudo-inverse, whose minimum-norm answer is then kept.
class CFitSystem {
public:
    CFitSystem(const std::vector<FPoint>& ventral, const std::vector<FPoint>& dorsal, int g,
               CFitSolver solver)
        : reference_(ventral, dorsal, g) {
        if (solver == CFitSolver::Sparse)
            sparse_ = std::make_unique<CSparseHalvesSolver>(ventral, dorsal, g);
    }

    void Solve(const std::vector<float>& tv, const std::vector<float>& td, std::vector<FPoint>& q) {
        sparseSolved_ = sparse_ && sparse_->Solve(tv, td, q);
        if (!sparseSolved_)
            reference_.Solve(tv, td, q);
    }

    // The parameters of one half after a Solve with them. The sparse solver has the basis values
    // and slopes at these parameters already, and takes the squared tangent length as the dot
    // product instead of squaring the rounded root; both may move a step by an ulp. That matters
    // only where the pseudo-inverse gave huge control points that cancel: after such a solve the
    // curve is evaluated exactly.
    void Correct(CFitHalf half, const std::vector<FPoint>& controlPoints,
                 const std::vector<FPoint>& points, std::vector<float>& t) const {
        if (sparseSolved_ && AllFinite(controlPoints)) {
            Design(half).CorrectParameters(controlPoints, t);
            return;
        }
        if (sparse_) {
            const CQuadraticBasis& basis = sparse_->Basis();
            CorrectParameters(
                [&](float u, FPoint& p, FPoint& d) {
                    d = basis.EvaluateDerivative(controlPoints, u);
                    p = basis.Evaluate(controlPoints, u);
                },
                points, t);
            return;
        }
        const CBSpline curve = CurveOf(controlPoints);
        CorrectParameters(
            [&](float u, FPoint& p, FPoint& d) {
                d = curve.EvaluateDerivative(u);
                p = curve.Evaluate(u);
            },
            points, t);
    }

    // The curve point at each parameter of the last Solve, for finite control points.
    void CurvePoints(CFitHalf half, const std::vector<FPoint>& controlPoints,
                     const std::vector<float>& t, std::vector<FPoint>& curvePoints) const {
        if (sparseSolved_) {
            Design(half).CurvePoints(controlPoints, curvePoints);
            return;
        }
        curvePoints.resize(t.size());
        const CBSpline curve = CurveOf(controlPoints);
        for (std::size_t k = 0; k < t.size(); ++k)
            curvePoints[k] = curve.Evaluate(t[k]);
    }

private:
    const CHalfDesign& Design(CFitHalf half) const {
        return half == CFitHalf::Ventral ? sparse_->Ventral() : sparse_->Dorsal();
    }

    CHalvesSolver reference_;
    std::unique_ptr<CSparseHalvesSolver> sparse_;
    bool sparseSolved_ = false; // the last Solve was the sparse one
};

} // namespace

bool FitOutlineHalves(const std::vector<FPoint>& ventral, const std::vector<FPoint>& dorsal,
                      const CApproxFitSettings& settings, CApproxFitResult& result,
                      std::string& error) {
    const int g = settings.controlPoints;
    if (g < 3 || g > 30) {
        error = "The number of control points must lie between 3 and 30.";
        return false;
    }
    CApproxFitResult fit;
    if (!ChordParameters(ventral, fit.ventralParams) ||
        !ChordParameters(dorsal, fit.dorsalParams)) {
        error = "The outline cannot be approximated: one of its halves has no extent "
                "(too few distinct points on one side of the first main axis).";
        return false;
    }
    try {
        CFitSystem system(ventral, dorsal, g, settings.solver);
        std::vector<FPoint> q;
        if (settings.applyCorrection) {
            for (int i = 0; i < settings.iterations; ++i) {
                system.Solve(fit.ventralParams, fit.dorsalParams, q);
                LayOut(q, g, fit.ventral, fit.dorsal);
                system.Correct(CFitHalf::Ventral, fit.ventral, ventral, fit.ventralParams);
                system.Correct(CFitHalf::Dorsal, fit.dorsal, dorsal, fit.dorsalParams);
            }
        }
        system.Solve(fit.ventralParams, fit.dorsalParams, q);
        LayOut(q, g, fit.ventral, fit.dorsal);
        if (AllFinite(fit.ventral) && AllFinite(fit.dorsal)) {
            system.CurvePoints(CFitHalf::Ventral, fit.ventral, fit.ventralParams, fit.ventralCurve);
            system.CurvePoints(CFitHalf::Dorsal, fit.dorsal, fit.dorsalParams, fit.dorsalCurve);
        }
    } catch (const numerics::CNumericalError& e) {
        error = std::string("The approximation failed: ") + e.what();
        return false;
    }
    if (!AllFinite(fit.ventral) || !AllFinite(fit.dorsal)) {
        error = "The approximation failed: the fit gave control points that are not numbers.";
        return false;
    }
    result = std::move(fit);
    return true;
}
