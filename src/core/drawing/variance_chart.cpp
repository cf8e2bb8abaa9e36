#include "drawing/variance_chart.h"

#include "cluster/morphospace.h"
#include "drawing/dc_state_guard.h"
#include "drawing/picture_font.h"
#include "platform/c_format.h"
#include "platform/cdc.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr ColorRef kBlack = RGB(0, 0, 0);
constexpr ColorRef kBar = RGB(0, 114, 178);
constexpr ColorRef kCumulative = RGB(213, 94, 0);
constexpr int kMaxBars = 10;

int Round(double v) {
    return static_cast<int>(std::lround(std::clamp(v, -1e9, 1e9)));
}

} // namespace

void DrawVarianceChart(CDC& dc, const CMorphospace& space, const CRect& area) {
    CDCStateGuard guard(dc);
    dc.SetMapMode(MM_TEXT);
    dc.SetWindowOrg(0, 0);
    dc.SetViewportOrg(0, 0);
    const double unit = std::max(dc.GetDeviceCaps(LOGPIXELSY), 1) / 96.0;
    auto px = [unit](double v) { return std::max(1, Round(v * unit)); };
    dc.SelectFont(MakePictureFont(static_cast<float>(-12.0 * unit), FW_NORMAL, FF_SWISS));
    dc.SetTextColor(kBlack);
    dc.SetBkMode(TRANSPARENT);
    const int th = dc.GetTextExtent("Ag").cy;
    const int pad = px(8);
    const int tick = px(4);

    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.TextOut(area.left + pad, area.top + pad, "Explained variance");
    const CRect f{area.left + pad + dc.GetTextExtent("100 %").cx + tick + px(4),
                  area.top + pad + 2 * th + px(6), area.right - pad, area.bottom - pad - th - tick};
    if (f.Width() < 1 || f.Height() < 1)
        return;
    auto y = [&f](double share) { return Round(f.bottom - share * f.Height()); };

    // Scale and frame.
    dc.SelectPen({PenStyle::Solid, 0, kBlack});
    dc.SelectBrush({BrushStyle::Null, kBlack});
    dc.Rectangle(f.left, f.top, f.right + 1, f.bottom + 1);
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    for (int percent = 0; percent <= 100; percent += 25) {
        const int ty = y(percent / 100.0);
        dc.MoveTo(f.left - tick, ty);
        dc.LineTo(f.left, ty);
        dc.TextOut(f.left - tick - px(2), ty - th / 2, FormatC("%d %%", percent));
    }

    const int bars = std::min(space.ComponentCount(), kMaxBars);
    if (bars == 0)
        return;
    const double slot = static_cast<double>(f.Width()) / bars;
    const int half = std::max(1, Round(0.3 * slot));
    std::vector<CPoint> cumulative;
    for (int k = 0; k < bars; ++k) {
        const int cx = Round(f.left + (k + 0.5) * slot);
        const int top = y(space.Share(k));
        dc.SelectPen({PenStyle::Null, 0, kBar});
        dc.SelectBrush({BrushStyle::Solid, kBar});
        dc.Rectangle(cx - half, top, cx + half, f.bottom);
        dc.SetTextAlign(TA_CENTER | TA_BOTTOM);
        dc.TextOut(cx, top - px(2), FormatC("%.1f %%", 100.0 * space.Share(k)));
        dc.SetTextAlign(TA_CENTER | TA_TOP);
        dc.TextOut(cx, f.bottom + tick, FormatC("PC%d", k + 1));
        cumulative.push_back({cx, y(space.CumulativeShare(k))});
    }
    dc.SelectPen({PenStyle::Solid, px(2), kCumulative});
    dc.Polyline(cumulative);
    dc.SelectBrush({BrushStyle::Solid, kCumulative});
    const int r = px(3);
    for (const CPoint& p : cumulative)
        dc.Ellipse(p.x - r, p.y - r, p.x + r + 1, p.y + r + 1);

    // Key, right-aligned above the frame.
    const int keyY = f.top - th - px(4);
    const std::string line = "cumulative";
    const std::string bar = "share";
    int x = f.right - dc.GetTextExtent(line).cx;
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.TextOut(x, keyY, line);
    x -= px(24);
    dc.MoveTo(x, keyY + th / 2);
    dc.LineTo(x + px(18), keyY + th / 2);
    x -= px(12) + dc.GetTextExtent(bar).cx;
    dc.TextOut(x, keyY, bar);
    x -= px(16);
    dc.SelectPen({PenStyle::Null, 0, kBar});
    dc.SelectBrush({BrushStyle::Solid, kBar});
    dc.Rectangle(x, keyY + th / 2 - px(5), x + px(10), keyY + th / 2 + px(5));
}
