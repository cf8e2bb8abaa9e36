#include "drawing/morphospace_plot.h"

#include "cluster/specimen_record.h"
#include "drawing/morphospace_scene.h"
#include "platform/c_format.h"
#include "platform/cdc.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The smallest of 1, 2 and 5 times a power of ten that is not below `rough`.
double NiceStep(double rough) {
    if (!(rough > 0.0) || !std::isfinite(rough))
        return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= rough)
            return m * power;
    return 10.0 * power;
}

// xmin, xmax, ymin, ymax of every point and every group ellipse on the scene's axes.
void ScoreBounds(const CMorphospaceScene& scene, double b[4]) {
    const CMorphospace& space = *scene.space;
    b[0] = b[2] = std::numeric_limits<double>::infinity();
    b[1] = b[3] = -std::numeric_limits<double>::infinity();
    auto add = [b](double x, double y) {
        b[0] = std::min(b[0], x);
        b[1] = std::max(b[1], x);
        b[2] = std::min(b[2], y);
        b[3] = std::max(b[3], y);
    };
    for (int p = 0; p < space.PointCount(); ++p)
        add(space.Score(p, scene.xComponent), space.Score(p, scene.yComponent));
    for (const CMorphospaceGroup& group : scene.groups)
        for (const CScorePoint& q :
             ConfidenceEllipse(GroupSpread(space, group, scene.xComponent, scene.yComponent)))
            add(q.x, q.y);
}

std::string CountText(std::size_t count) {
    return FormatC(" (%zu)", count);
}

} // namespace

std::vector<CLegendEntry> MorphospaceLegend(const CMorphospaceScene& scene) {
    std::vector<CLegendEntry> entries;
    if (!scene.space)
        return entries;
    for (const CMorphospaceGroup& group : scene.groups)
        entries.push_back({CLegendEntry::Group,
                           group.Label(scene.groupBy) + CountText(group.points.size()), group.color,
                           group.marker});
    if (scene.referencePoint >= 0)
        entries.push_back({CLegendEntry::Reference, "Reference", scene.referenceColor,
                           CMorphospaceGroup::Circle});
    if (const int mean = scene.space->MeanPoint(); mean >= 0) {
        const CSpecimen* specimen = scene.space->Record(mean)->GetSpecimen();
        entries.push_back({CLegendEntry::Mean, specimen ? specimen->ShortPathName : "Mean",
                           scene.meanColor, CMorphospaceGroup::Diamond});
    }
    return entries;
}

CMorphospacePlot CMorphospacePlot::Layout(const CDC& dc, const CMorphospaceScene& scene,
                                          const CRect& area) {
    CMorphospacePlot plot;
    if (!scene.space)
        return plot;
    const double u = std::max(dc.GetDeviceCaps(LOGPIXELSY), 1) / 96.0;
    plot.unit_ = u;
    auto px = [u](double v) { return static_cast<int>(std::lround(v * u)); };
    const int th = std::max(dc.GetTextExtent("Ag").cy, 1);
    const int pad = px(8);
    const int gap = px(6);
    const int tick = px(4);
    const int shapeW = px(120);
    const int shapeH = px(64) + th;
    int legendW = 0;
    for (const CLegendEntry& entry : MorphospaceLegend(scene))
        legendW = std::max(legendW, dc.GetTextExtent(entry.text).cx);
    legendW = std::min(legendW + px(28), area.Width() * 35 / 100);

    double bounds[4];
    ScoreBounds(scene, bounds);
    // The tick labels' width decides where the frame starts; measured once more when the
    // first guess was too narrow.
    int labelW = dc.GetTextExtent("-000.0").cx;
    for (int pass = 0; pass < 2; ++pass) {
        CRect& f = plot.frame_;
        f.left = area.left + pad + shapeW + gap + labelW + tick;
        f.top = area.top + pad + th + gap;
        f.right = std::max(area.right - pad - legendW - gap, f.left + 1);
        f.bottom = std::max(area.bottom - pad - shapeH - gap - th - tick, f.top + 1);
        plot.Fit(bounds);
        int widest = 0;
        const double step = plot.tickStep_;
        for (double v = std::ceil(plot.YMin() / step) * step; v <= plot.YMax(); v += step)
            widest = std::max(widest, dc.GetTextExtent(plot.TickLabel(v)).cx);
        if (widest <= labelW)
            break;
        labelW = widest;
    }

    const CRect& f = plot.frame_;
    const int row = f.bottom + tick + th + gap;
    plot.shapes_[XMinus] = {f.left, row, f.left + shapeW, row + shapeH};
    plot.shapes_[XPlus] = {f.right - shapeW, row, f.right, row + shapeH};
    const int left = area.left + pad;
    plot.shapes_[YPlus] = {left, f.top, left + shapeW, f.top + shapeH};
    plot.shapes_[YMinus] = {left, f.bottom - shapeH, left + shapeW, f.bottom};
    plot.xTitleBaseline_ = row + shapeH / 2;
    plot.legend_ = {area.right - pad - legendW, f.top, area.right - pad, area.bottom - pad};
    return plot;
}

// Centres the bounds, with a margin of 6 % each side, in the frame at one scale for both axes.
void CMorphospacePlot::Fit(const double b[4]) {
    double xRange = b[1] - b[0];
    double yRange = b[3] - b[2];
    const double largest = std::max(xRange, yRange);
    if (!(largest > 0.0) || !std::isfinite(largest))
        xRange = yRange = 1.0;
    xRange = std::max(xRange, largest * 1e-3) * 1.12;
    yRange = std::max(yRange, largest * 1e-3) * 1.12;
    scale_ = std::min(frame_.Width() / xRange, frame_.Height() / yRange);
    xMin_ = 0.5 * (b[0] + b[1]) - 0.5 * frame_.Width() / scale_;
    yMin_ = 0.5 * (b[2] + b[3]) - 0.5 * frame_.Height() / scale_;
    tickStep_ = NiceStep(70.0 * unit_ / scale_);
}

std::string CMorphospacePlot::TickLabel(double value) const {
    const int decimals =
        tickStep_ >= 1.0 ? 0
                         : std::min(9, static_cast<int>(std::ceil(-std::log10(tickStep_) - 1e-9)));
    if (std::fabs(value) < tickStep_ * 1e-6)
        value = 0.0;
    return FormatC("%.*f", decimals, value);
}

int CMorphospacePlot::HitTest(const CMorphospaceScene& scene, double x, double y,
                              double radius) const {
    if (IsEmpty() || !scene.space)
        return -1;
    const CMorphospace& space = *scene.space;
    int best = -1;
    double bestDistance = radius * radius;
    for (int p = 0; p < space.PointCount(); ++p) {
        const double dx = DeviceX(space.Score(p, scene.xComponent)) - x;
        const double dy = DeviceY(space.Score(p, scene.yComponent)) - y;
        const double distance = dx * dx + dy * dy;
        if (distance <= bestDistance) {
            best = p;
            bestDistance = distance;
        }
    }
    return best;
}
