#include "drawing/hint_bullet.h"

#include "drawing/dc_state_guard.h"

namespace {

// A round blue dot inset three pixels of the 16 pixel cell, with a small light highlight.
constexpr ColorRef kDotColor = RGB(0, 64, 160);
constexpr ColorRef kHighlightColor = RGB(150, 190, 255);

} // namespace

void DrawHintBullet(CDC& dc, int left, int top) {
    // Downward on the device is negative logical y when the mapping's y axis points up.
    const int down = dc.ScaleY() < 0 ? -1 : 1;
    auto cell = [&](int px) { return 3 * px; };
    CDCStateGuard guard(dc);
    dc.SelectPen({PenStyle::Solid, 0, kDotColor});
    dc.SelectBrush({BrushStyle::Solid, kDotColor});
    dc.Ellipse(left + cell(3), top + down * cell(3), left + cell(13), top + down * cell(13));
    dc.SelectPen({PenStyle::Solid, 0, kHighlightColor});
    dc.SelectBrush({BrushStyle::Solid, kHighlightColor});
    dc.Ellipse(left + cell(5), top + down * cell(5), left + cell(8), top + down * cell(8));
}
