#include "cluster/sector_walk.h"

#include <cmath>

namespace {

CWalkPoint Point(FPoint p) {
    return {p.x, p.y};
}

// The left end's ray comes first, the right end's last, inner samples by their cotangent x / y.
int RankOf(int k) {
    return k == 0 ? 0 : (k == kLastSample ? 2 : 1);
}

// -1, 0 or +1 as the ray of sample k of one row comes before, with or after that of sample m of
// the other.
int RayOrder(const CRays& r, int k, const CRays& s, int m) {
    return r[k] < s[m] ? -1 : (r[k] > s[m] ? 1 : 0);
}

// Positive when p lies left of the line's direction. The rows run clockwise about the origin,
// so left of a segment is away from the origin.
double Side(const CWalkLine& line, FPoint p) {
    return line.a * p.x + line.b * p.y + line.c;
}

// |shoelace| / 2 with the points taken relative to a point inside the polygon.
double PolygonArea(const std::vector<CWalkPoint>& l) {
    const std::size_t m = l.size();
    if (m < 3)
        return 0.0;
    const double cx = (l[0].x + l[m / 2 + 1].x) * 0.5;
    const double cy = (l[0].y + l[m / 2 + 1].y) * 0.5;
    double d = 0.0;
    for (std::size_t i = 0; i < m; ++i) {
        const CWalkPoint p = l[i];
        const CWalkPoint q = l[i + 1 == m ? 0 : i + 1];
        d += (p.x - cx) * (q.y - cy) - (q.x - cx) * (p.y - cy);
    }
    return std::fabs(d) * 0.5;
}

} // namespace

void CSectorWalk::Run(std::vector<double>& pieces) {
    l_.clear();
    l_.push_back(Point(b_.S[0]));
    l_.push_back(Point(a_.S[0]));
    outside_ = OutsideOnRay(0, 0);
    for (int p = 0; p < kLastSample; ++p)
        Sector(p, pieces);
    CloseLast(pieces);
}

// The segments of B whose rays overlap sector p of A, in ascending order: F moves on to the first
// sample of B not before the sector's end, and the search back from it stops at the last sample
// not after the sector's start. Segment j of B shares with the sector the rays from the later
// of the two starts to the earlier of the two ends; so each range starts where the one before
// it ended, in this sector or the one before, and the side at that ray is carried over.
void CSectorWalk::Sector(int p, std::vector<double>& pieces) {
    while (f_ < kLastSample && RayOrder(raysB_, f_, raysA_, p + 1) < 0)
        ++f_;
    int first = f_ - 1;
    while (first > 0 && RayOrder(raysB_, first, raysA_, p) > 0)
        --first;
    for (int j = first; j <= f_ - 1; ++j) {
        const bool outsideAtEnd = OutsideAtEnd(p, j);
        CWalkPoint x;
        if (Crosses(p, j, outsideAtEnd, x))
            ClosePiece(p, j, x, pieces);
        outside_ = outsideAtEnd;
    }
}

// B crosses A in the shared range when A is outside B at one end of it and not at the other;
// the lines meet at the crossing. No tolerance is needed: segments that run together on one
// line cross only where the side changes, and the pieces between such crossings enclose nothing.
bool CSectorWalk::Crosses(int p, int j, bool outsideAtEnd, CWalkPoint& x) const {
    if (outside_ == outsideAtEnd)
        return false;
    const CWalkLine& la = a_.line[p];
    const CWalkLine& lb = b_.line[j];
    const double det = la.a * lb.b - lb.a * la.b;
    x = {(lb.c * la.b - la.c * lb.b) / det, (la.c * lb.a - lb.c * la.a) / det};
    // Lines that are parallel to the last bit meet nowhere; they run together where the shared
    // range starts.
    if (!std::isfinite(x.x) || !std::isfinite(x.y))
        x = Point(RayOrder(raysA_, p, raysB_, j) >= 0 ? a_.S[p] : b_.S[j]);
    return true;
}

// Whether A lies strictly outside B on the ray where the shared range of segment p of A and
// segment j of B ends: the ray of A's sample p + 1 (judged against the segment of B that it
// meets), of B's sample j + 1 (judged against A's segment) or of both.
bool CSectorWalk::OutsideAtEnd(int p, int j) const {
    const int order = RayOrder(raysA_, p + 1, raysB_, j + 1);
    if (order < 0)
        return Side(b_.line[j], a_.S[p + 1]) > 0.0;
    if (order > 0)
        return Side(a_.line[p], b_.S[j + 1]) < 0.0;
    return OutsideOnRay(p + 1, j + 1);
}

// Samples of both rows on one ray: the further from the origin is outside.
bool CSectorWalk::OutsideOnRay(int k, int m) const {
    const FPoint pa = a_.S[k];
    const FPoint pb = b_.S[m];
    switch (RankOf(k)) {
    case 0:
        return pa.x < pb.x;
    case 2:
        return pa.x > pb.x;
    default:
        return pa.y > pb.y;
    }
}

// The piece from the previous crossing along A to x and back along B.
void CSectorWalk::ClosePiece(int p, int j, CWalkPoint x, std::vector<double>& pieces) {
    for (int k = s_; k <= p; ++k)
        l_.push_back(Point(a_.S[k]));
    l_.push_back(x);
    for (int k = j; k > g_; --k)
        l_.push_back(Point(b_.S[k]));
    pieces.push_back(PolygonArea(l_));
    l_.clear();
    l_.push_back(x);
    s_ = p + 1;
    g_ = j;
}

void CSectorWalk::CloseLast(std::vector<double>& pieces) {
    for (int k = s_; k < kLastSample; ++k)
        l_.push_back(Point(a_.S[k]));
    l_.push_back(Point(a_.S[kLastSample]));
    l_.push_back(Point(b_.S[kLastSample]));
    for (int k = kLastSample - 1; k > g_; --k)
        l_.push_back(Point(b_.S[k]));
    pieces.push_back(PolygonArea(l_));
}
