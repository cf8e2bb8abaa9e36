#include "model/specimen.h"

#include "model/int_round.h"
#include "model/numerics.h"
#include "platform/cdc.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <utility>

namespace {

bool IsFinite(FPoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// A vector in double precision: coordinates relative to the first contour point. Sums over an
// outline are taken this way, so that they do not depend on where the outline lies; a
// difference of two floats is exact in double.
struct DVec {
    double x = 0.0;
    double y = 0.0;
};

DVec Offset(FPoint p, FPoint origin) {
    return {static_cast<double>(p.x) - origin.x, static_cast<double>(p.y) - origin.y};
}

FPoint At(FPoint origin, DVec offset) {
    return {static_cast<float>(origin.x + offset.x), static_cast<float>(origin.y + offset.y)};
}

DVec MeanOffset(const std::vector<FPoint>& points) {
    DVec sum;
    for (const FPoint& p : points) {
        const DVec d = Offset(p, points[0]);
        sum.x += d.x;
        sum.y += d.y;
    }
    const double n = static_cast<double>(points.size());
    return {sum.x / n, sum.y / n};
}

bool InsideBoundsOf(FPoint c, const std::vector<FPoint>& points) {
    const auto [minX, maxX] = std::minmax_element(points.begin(), points.end(),
                                                  [](FPoint a, FPoint b) { return a.x < b.x; });
    const auto [minY, maxY] = std::minmax_element(points.begin(), points.end(),
                                                  [](FPoint a, FPoint b) { return a.y < b.y; });
    return c.x >= minX->x && c.x <= maxX->x && c.y >= minY->y && c.y <= maxY->y;
}

// Area centroid of the closed polygon, relative to its first point. A contour that encloses no
// area (fewer than three points, all points on one line) has none; it then gets the mean of its
// points, so that the statistics stay finite and the outline can still be shown and listed.
DVec CentroidOffset(const std::vector<FPoint>& contour) {
    const std::size_t n = contour.size();
    if (n == 0)
        return {};
    double sx = 0.0;
    double sy = 0.0;
    double t = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const DVec a = Offset(contour[i], contour[0]);
        const DVec b = Offset(contour[(i + 1) % n], contour[0]);
        sx += (b.x * b.x + b.x * a.x + a.x * a.x) * (a.y - b.y);
        sy += (b.y * b.y + b.y * a.y + a.y * a.y) * (b.x - a.x);
        t += (b.y + a.y) * (b.x - a.x);
    }
    const double k = 1.0 / (t * 0.5 * 6.0);
    const DVec centroid{k * sx, k * sy};
    const FPoint absolute = At(contour[0], centroid);
    if (t == 0.0 || !IsFinite(absolute) || !InsideBoundsOf(absolute, contour))
        return MeanOffset(contour);
    return centroid;
}

// e1 and e2 from the second moments of the area about the centroid c (relative to the first
// point). Each point's cubes serve as the following point's and as the preceding point's, so
// they are formed once and passed along.
std::pair<FPoint, FPoint> MainAxes(const std::vector<FPoint>& contour, DVec c) {
    const int n = static_cast<int>(contour.size());
    if (n == 0)
        numerics::nrerror("no points for the main axes");
    struct Cubed {
        double x, y, x3, y3;
    };
    auto cubed = [&](int k) {
        const DVec d = Offset(contour[(k + n) % n], contour[0]);
        const double x = d.x - c.x, y = d.y - c.y;
        return Cubed{x, y, std::pow(x, 3), std::pow(y, 3)};
    };
    double s1 = 0.0;
    double s2 = 0.0;
    double s3 = 0.0;
    Cubed f = cubed(-1);
    Cubed o = cubed(0);
    for (int k = 0; k < n; ++k) {
        const Cubed e = cubed(k + 1);
        const double xf = f.x, yf = f.y, xo = o.x, yo = o.y, xe = e.x, ye = e.y;
        s1 += xo * (f.y3 + std::pow(yo, 2) * yf + std::pow(yf, 2) * yo - std::pow(yo, 2) * ye -
                    std::pow(ye, 2) * yo - e.y3);
        s2 +=
            (ye * yo - 0.5 * std::pow(yf, 2) - yo * yf + 0.5 * std::pow(ye, 2)) * std::pow(xo, 2) +
            (std::pow(ye, 2) - std::pow(yo, 2)) * xe * xo;
        s3 += yo * (std::pow(xe, 2) * xo + std::pow(xo, 2) * xe + e.x3 - f.x3 -
                    std::pow(xo, 2) * xf - std::pow(xf, 2) * xo);
        f = o;
        o = e;
    }
    numerics::Matrix a(1, 2, 1, 2);
    numerics::Vector dg(1, 2);
    numerics::Vector od(1, 2);
    a[1][1] = static_cast<float>(s1);
    a[1][2] = static_cast<float>(s2);
    a[2][1] = static_cast<float>(s2);
    a[2][2] = static_cast<float>(s3);
    numerics::tridiag_reduce(a.get(), 2, dg.get(), od.get());
    numerics::tqli(dg.get(), od.get(), 2, a.get());
    FPoint e1(a[1][1], a[2][1]);
    FPoint e2(a[1][2], a[2][2]);
    if (!IsFinite(e1) || !IsFinite(e2))
        numerics::nrerror("main axes are not finite");
    if (e1.x < 0.0f) {
        e1 = -e1;
        e2 = -e2;
    }
    return {e1, e2};
}

} // namespace

void CSpecimen::NormalizeOrientation() {
    if (!IsCounterClockwise())
        std::reverse(Contour.begin(), Contour.end());
}

// The main axes need a finite centroid and converging eigenvectors. When the outline is too
// degenerate for them (the eigen-solver gives up), the specimen keeps the axes of its own
// coordinate system, so that it stays usable instead of holding undefined numbers.
void CSpecimen::CalculateStatistics() {
    const DVec c = CentroidOffset(Contour);
    Centroid = Contour.empty() ? FPoint() : At(Contour[0], c);
    centroidX_ = c.x;
    centroidY_ = c.y;
    try {
        std::tie(FirstEigenvect, SecondEigenvect) = MainAxes(Contour, c);
    } catch (const numerics::CNumericalError&) {
        FirstEigenvect = FPoint(1.0f, 0.0f);
        SecondEigenvect = FPoint(0.0f, 1.0f);
    }
    SplitOutline();
}

// Positions are taken relative to the centroid as computed, before it was rounded for storage,
// so that moving an outline by whole units moves nothing in normal position. A centroid that
// was loaded or set since does not round from it; it is taken as it is.
CSpecimen::CRelative CSpecimen::CentroidFromFirstPoint() const {
    const FPoint origin = Contour[0];
    if (At(origin, {centroidX_, centroidY_}) == Centroid)
        return {centroidX_, centroidY_};
    const DVec c = Offset(Centroid, origin);
    return {c.x, c.y};
}

CSpecimen::CRelative CSpecimen::RelativeToCentroid(FPoint point, CRelative centroid) const {
    if (Contour.empty())
        return {static_cast<double>(point.x) - Centroid.x,
                static_cast<double>(point.y) - Centroid.y};
    const DVec d = Offset(point, Contour[0]);
    return {d.x - centroid.x, d.y - centroid.y};
}

FPoint CSpecimen::AlongAxes(CRelative v) const {
    return {static_cast<float>(v.x * FirstEigenvect.x + v.y * FirstEigenvect.y),
            static_cast<float>(v.x * SecondEigenvect.x + v.y * SecondEigenvect.y)};
}

// Closed shoelace sum: the pair (last, first) belongs to the polygon, so the area does not
// depend on where the outline lies.
float CSpecimen::GetArea() const {
    const std::size_t n = Contour.size();
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const DVec a = Offset(Contour[i], Contour[0]);
        const DVec b = Offset(Contour[(i + 1) % n], Contour[0]);
        sum += a.x * b.y - b.x * a.y;
    }
    return static_cast<float>(0.5 * sum);
}

// Every point counts, and the sum is divided by their number.
float CSpecimen::GetMeanSquaredCentroidDistance() const {
    if (Contour.empty())
        return 0.0f;
    const DVec c = CentroidOffset(Contour);
    double sum = 0.0;
    for (const FPoint& p : Contour) {
        const DVec d = Offset(p, Contour[0]);
        sum += (d.x - c.x) * (d.x - c.x) + (d.y - c.y) * (d.y - c.y);
    }
    return static_cast<float>(sum / static_cast<double>(Contour.size()));
}

FPoint CSpecimen::TransformPoint(FPoint point, bool isDirection) const {
    if (!ApplyTransformation)
        return point;
    if (isDirection)
        return AlongAxes({point.x, point.y});
    return AlongAxes(
        RelativeToCentroid(point, Contour.empty() ? CRelative{} : CentroidFromFirstPoint()));
}

void CSpecimen::GetTransformedAxes(FPoint& first, FPoint& second) const {
    first = TransformPoint(FirstEigenvect, true);
    second = TransformPoint(SecondEigenvect, true);
}

void CSpecimen::GetBoundingBox(FRect& rect) const {
    float minX = static_cast<float>(INT_MAX);
    float minY = static_cast<float>(INT_MAX);
    float maxX = static_cast<float>(INT_MIN);
    float maxY = static_cast<float>(INT_MIN);
    for (int i = 0; i < static_cast<int>(Contour.size()); ++i) {
        const FPoint p = GetTransformedPoint(i);
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    rect.min = FPoint(static_cast<float>(TruncToInt(minX)), static_cast<float>(TruncToInt(minY)));
    rect.max = FPoint(static_cast<float>(TruncToInt(maxX)), static_cast<float>(TruncToInt(maxY)));
}

bool CSpecimen::IsUpperSide(int i) const {
    return (Contour[i] - Centroid) * SecondEigenvect >= 0.0f;
}

void CSpecimen::SetApplyTransformation(bool flag) {
    if (flag == ApplyTransformation)
        return;
    ApplyTransformation = flag;
    CalculateStatistics();
}

namespace {

struct Extremes {
    int minIndex = -1;
    int maxIndex = -1;
};

// The crossing indices with the smallest and the largest projection onto the first axis; the
// first one met wins a tie.
template <typename Projection>
Extremes ExtremesAlongAxis(const std::vector<int>& indices, Projection projection) {
    Extremes result;
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -std::numeric_limits<double>::infinity();
    for (int i : indices) {
        const double g = projection(i);
        if (g < lowest) {
            lowest = g;
            result.minIndex = i;
        }
        if (g > highest) {
            highest = g;
            result.maxIndex = i;
        }
    }
    return result;
}

} // namespace

// Without crossings of the first axis (no points, or an outline on one side of it) there are
// no ends to walk between, and both halves stay empty.
void CSpecimen::SplitOutline() {
    upperHalf_.clear();
    lowerHalf_.clear();
    const int n = static_cast<int>(Contour.size());
    if (n == 0)
        return;
    const CRelative centroid = CentroidFromFirstPoint();
    auto along = [&](int i, FPoint axis) {
        const CRelative v = RelativeToCentroid(Contour[i], centroid);
        return v.x * axis.x + v.y * axis.y;
    };
    auto isUpper = [&](int i) { return along(i, SecondEigenvect) >= 0.0; };
    std::vector<int> upper;
    std::vector<int> lower;
    // Each point's side serves as the following pair's too; it is formed once.
    bool cUpper = isUpper(0);
    for (int c = 0; c < n; ++c) {
        const int d = (c + 1) % n;
        const bool dUpper = isUpper(d);
        if (dUpper && !cUpper) {
            upper.push_back(d);
            lower.push_back(c);
        } else if (!dUpper && cUpper) {
            lower.push_back(d);
            upper.push_back(c);
        }
        cUpper = dUpper;
    }
    auto projection = [&](int i) { return along(i, FirstEigenvect); };
    const Extremes u = ExtremesAlongAxis(upper, projection);
    const Extremes l = ExtremesAlongAxis(lower, projection);
    auto positioned = [&](int i) {
        if (!ApplyTransformation)
            return Contour[i];
        return AlongAxes(RelativeToCentroid(Contour[i], centroid));
    };
    auto walk = [&](int from, int to, std::vector<FPoint>& half) {
        if (from < 0 || to < 0)
            return;
        half.reserve(static_cast<std::size_t>((to - from + n) % n) + 1);
        for (int i = from;; i = (i + 1) % n) {
            half.push_back(positioned(i));
            if (i == to)
                break;
        }
    };
    walk(u.maxIndex, u.minIndex, upperHalf_);
    walk(l.minIndex, l.maxIndex, lowerHalf_);
}

void CSpecimen::Draw(CDC& dc) const {
    const int n = static_cast<int>(Contour.size());
    auto devicePoint = [&](int i) {
        const FPoint p = GetTransformedPoint(i);
        return CPoint{RoundHalfAway(p.x), RoundHalfAway(p.y)};
    };
    if (LineJoined) {
        if (n >= 2) {
            const CPen old = dc.SelectPen({PenStyle::Solid, dc.IsPrinting() ? 1 : 0, ColorContur});
            const CPoint first = devicePoint(0);
            dc.MoveTo(first.x, first.y);
            for (int i = 1; i < n; ++i) {
                const CPoint p = devicePoint(i);
                dc.LineTo(p.x, p.y);
            }
            dc.LineTo(first.x, first.y);
            dc.SelectPen(old);
        }
    } else {
        for (int i = 0; i < n; ++i) {
            const CPoint p = devicePoint(i);
            dc.SetPixel(p.x, p.y, ColorContur);
        }
    }
    if (NumeratePoints) {
        // A step below 1 would never advance; it numbers every point instead.
        const int step = std::max(1, NumerationStep);
        for (int k = 0; k < n; k += step) {
            const CPoint p = devicePoint(k);
            dc.TextOut(p.x, p.y, std::to_string(k));
            if (k > n - step)
                break; // k + step would overflow for huge steps
        }
    }
}
