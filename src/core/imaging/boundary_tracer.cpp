#include "imaging/boundary_tracer.h"

#include <algorithm>
#include <cstdint>

namespace {

enum EEdge { kTop, kRight, kBottom, kLeft };

// The component as a mask over its bounds with one pixel of background around it.
class CComponentMask {
public:
    CComponentMask(const CFilledComponents& components, const CFilledComponent& c)
        : left_(c.left - 1), top_(c.top - 1), width_(c.right - c.left + 2),
          bits_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(c.bottom - c.top + 2),
                0) {
        const CPixelRuns& runs = components.filled;
        int y = c.top;
        for (std::size_t k = 0; k < c.runCount; ++k) {
            const std::size_t i = components.componentRuns[c.firstRun + k];
            while (runs.RowStart(y + 1) <= i)
                ++y;
            std::uint8_t* row = bits_.data() + Offset(runs[i].begin, y);
            std::fill(row, row + runs[i].Length(), std::uint8_t{1});
        }
    }
    // Whether the image pixel (x, y) belongs to the component; pixels beyond the bounds do not.
    bool Inside(int x, int y) const { return bits_[Offset(x, y)] != 0; }
    int Left() const { return left_; }
    int Top() const { return top_; }

private:
    std::size_t Offset(int x, int y) const {
        return static_cast<std::size_t>(y - top_) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x - left_);
    }
    int left_;
    int top_;
    int width_;
    std::vector<std::uint8_t> bits_;
};

class CBoundaryWalk {
public:
    CBoundaryWalk(const CComponentMask& mask, const CGreyImage& image, int threshold,
                  bool lightValves)
        : mask_(mask), image_(image), threshold_(threshold), light_(lightValves) {}

    // The point on the link between the component pixel `in` and the outside pixel `out`.
    DPoint LinkPoint(int inX, int inY, int outX, int outY) const {
        double f = 0.5;
        if (outX >= 0 && outY >= 0 && outX < image_.width && outY < image_.height) {
            const int a = image_.Level(inX, inY);
            const int b = image_.Level(outX, outY);
            if (OnValveSide(a) && !OnValveSide(b))
                f = (threshold_ + 0.5 - a) / static_cast<double>(b - a);
        }
        return {inX + 0.5 + f * (outX - inX), inY + 0.5 + f * (outY - inY)};
    }

    // The point on edge `e` of the cell whose top-left pixel is (x, y).
    DPoint EdgePoint(int x, int y, EEdge e) const {
        int ax = x, ay = y, bx = x, by = y;
        switch (e) {
        case kTop: bx = x + 1; break;
        case kRight: ax = bx = x + 1; by = y + 1; break;
        case kBottom: ay = by = y + 1; bx = x + 1; break;
        case kLeft: by = y + 1; break;
        }
        if (mask_.Inside(ax, ay))
            return LinkPoint(ax, ay, bx, by);
        return LinkPoint(bx, by, ax, ay);
    }

    // The edge through which the boundary leaves the cell it entered through `entry`.
    EEdge Exit(int x, int y, EEdge entry) const {
        const bool tl = mask_.Inside(x, y);
        const bool tr = mask_.Inside(x + 1, y);
        const bool br = mask_.Inside(x + 1, y + 1);
        const bool bl = mask_.Inside(x, y + 1);
        if (tl == br && tr == bl && tl != tr) {
            // A saddle: the diagonal of component pixels stays joined.
            if (tl)
                return Pair(entry, kTop, kRight, kLeft, kBottom);
            return Pair(entry, kTop, kLeft, kRight, kBottom);
        }
        const bool crossed[4] = {tl != tr, tr != br, bl != br, tl != bl};
        for (int e = 0; e < 4; ++e) {
            if (e != entry && crossed[e])
                return static_cast<EEdge>(e);
        }
        return entry; // not reached: a crossed cell has two crossed edges
    }

private:
    bool OnValveSide(int level) const { return light_ ? level > threshold_ : level <= threshold_; }
    static EEdge Pair(EEdge entry, EEdge a1, EEdge a2, EEdge b1, EEdge b2) {
        if (entry == a1)
            return a2;
        if (entry == a2)
            return a1;
        return entry == b1 ? b2 : b1;
    }

    const CComponentMask& mask_;
    const CGreyImage& image_;
    int threshold_;
    bool light_;
};

} // namespace

std::vector<DPoint> TraceOuterBoundary(const CFilledComponents& components, std::size_t index,
                                       const CGreyImage& image, int threshold, bool lightValves) {
    const CFilledComponent& c = components.components[index];
    const CComponentMask mask(components, c);
    const CBoundaryWalk walk(mask, image, threshold, lightValves);

    // The first pixel of the top row has background above it: start on that link, entering
    // the cell whose bottom-left pixel it is.
    const int startX = components.filled[components.componentRuns[c.firstRun]].begin;
    const int startY = c.top - 1;
    int x = startX;
    int y = startY;
    EEdge entry = kLeft;
    std::vector<DPoint> outline;
    // Every boundary link is passed once; the cap only guards against a broken mask.
    const std::size_t cap = 4 * static_cast<std::size_t>(c.area) + 4;
    do {
        outline.push_back(walk.EdgePoint(x, y, entry));
        switch (walk.Exit(x, y, entry)) {
        case kTop: --y; entry = kBottom; break;
        case kRight: ++x; entry = kLeft; break;
        case kBottom: ++y; entry = kTop; break;
        case kLeft: --x; entry = kRight; break;
        }
    } while ((x != startX || y != startY || entry != kLeft) && outline.size() < cap);
    return outline;
}
