#pragma once

#include "cluster/morphospace_groups.h"
#include "platform/gdi_types.h"

#include <string>
#include <vector>

class CDC;
struct CMorphospaceScene;

// One line of the morphospace legend: a group, the reference or the mean specimen.
struct CLegendEntry {
    enum Kind { Group, Reference, Mean, More };
    Kind kind = Group;
    std::string text;
    ColorRef color = 0;
    CMorphospaceGroup::Marker marker = CMorphospaceGroup::Circle;
};
std::vector<CLegendEntry> MorphospaceLegend(const CMorphospaceScene& scene);

// Where a morphospace picture puts its parts, in device pixels: the frame of the scatter with
// the scores it spans (one scale for both axes, so distances in the picture are distances in
// the shape space), the tick step, the legend column and the boxes of the four shapes at the
// axis ends. Sizes follow the device's resolution: a unit is one pixel of a 96 dpi screen.
class CMorphospacePlot {
public:
    enum ShapeBox { XMinus, XPlus, YMinus, YPlus };

    CMorphospacePlot() = default;
    // Lays out `area` for the scene, measuring texts in the device context's current font.
    static CMorphospacePlot Layout(const CDC& dc, const CMorphospaceScene& scene,
                                   const CRect& area);

    bool IsEmpty() const { return scale_ <= 0.0; }
    double Unit() const { return unit_; }
    const CRect& Frame() const { return frame_; }
    const CRect& Legend() const { return legend_; }
    const CRect& ShapeBoxOf(ShapeBox box) const { return shapes_[box]; }
    // The baseline of the horizontal axis title, centred under the frame.
    int XTitleBaseline() const { return xTitleBaseline_; }

    double DeviceX(double score) const { return frame_.left + (score - xMin_) * scale_; }
    double DeviceY(double score) const { return frame_.bottom - (score - yMin_) * scale_; }
    double XMin() const { return xMin_; }
    double XMax() const { return xMin_ + frame_.Width() / scale_; }
    double YMin() const { return yMin_; }
    double YMax() const { return yMin_ + frame_.Height() / scale_; }
    double TickStep() const { return tickStep_; }
    // A tick value as text, with as many decimals as the step needs.
    std::string TickLabel(double value) const;

    // The point under a device position: the nearest within `radius` device pixels, or -1.
    int HitTest(const CMorphospaceScene& scene, double x, double y, double radius) const;

private:
    void Fit(const double bounds[4]);

    double unit_ = 1.0;
    CRect frame_;
    CRect legend_;
    CRect shapes_[4];
    int xTitleBaseline_ = 0;
    double xMin_ = 0.0;
    double yMin_ = 0.0;
    double scale_ = 0.0; // device pixels per score unit
    double tickStep_ = 1.0;
};
