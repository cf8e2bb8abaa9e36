#include "drawing/picture_fit.h"

#include "drawing/mapping_extent.h"
#include "model/int_round.h"
#include "platform/cdc.h"

#include <algorithm>
#include <cmath>

namespace {

// Pixels of the given logical extent at s units per pixel, at least one; hostile extents stop
// far outside any screen but well inside the int range.
int DevicePixels(int logical, double s) {
    const double pixels = std::fabs(static_cast<double>(logical)) / s + 0.5;
    return static_cast<int>(std::clamp(pixels, 1.0, 1.0e9));
}

} // namespace

// Every pair of a highest reach i and a lowest reach j must fit into the client's height:
// (y_i + above_i * s) - (y_j - below_j * s) <= height * s, so s >= (y_i - y_j) / (height -
// above_i - below_j). The box's own edges are two reaches without pixels.
double FittedUnitsPerPixel(const FRect& box, const std::vector<CTextBand>& bands,
                           CSize clientSize) {
    std::vector<CTextBand> reaches = bands;
    reaches.push_back({box.max.y, 0.0, 0.0});
    reaches.push_back({box.min.y, 0.0, 0.0});
    const double height = clientSize.cy;
    double s = clientSize.cx > 0 ? box.Width() / static_cast<double>(clientSize.cx) : 0.0;
    for (const CTextBand& high : reaches) {
        for (const CTextBand& low : reaches) {
            const double rise = high.anchorY - low.anchorY;
            const double room = height - high.above - low.below;
            if (rise > 0.0 && room > 0.0)
                s = std::max(s, rise / room);
        }
    }
    return s > 0.0 && std::isfinite(s) ? s : 1.0;
}

void PrepareFittedMapping(CDC& dc, const FRect& box, const std::vector<CTextBand>& bands,
                          CSize clientSize) {
    const double s = FittedUnitsPerPixel(box, bands, clientSize);
    double top = box.max.y;
    for (const CTextBand& band : bands)
        top = std::max(top, band.anchorY + band.above * s);
    const int extentX = MappingExtent(box.Width(), 1);
    const int extentY = MappingExtent(top - box.min.y, 1);
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(extentX, extentY);
    dc.SetWindowOrg(TruncToInt(box.min.x), TruncToInt(top));
    // The axis that sets the scale keeps its pixels; the other gets one more, which the
    // isotropic mapping then trims to the same scale (rounding cannot take the binding one).
    const bool widthBinds =
        clientSize.cx > 0 && s <= box.Width() / static_cast<double>(clientSize.cx);
    dc.SetViewportExt(DevicePixels(extentX, s) + (widthBinds ? 0 : 1),
                      -(DevicePixels(extentY, s) + (widthBinds ? 1 : 0)));
    dc.SetViewportOrg(0, 0);
}

double LabelPixels(const CDC& dc) {
    return 12.0 * dc.GetDeviceCaps(LOGPIXELSY) / 96.0;
}
