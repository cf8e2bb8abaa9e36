#include "drawing/print_page.h"

#include "platform/c_format.h"
#include "platform/cdc.h"

#include <algorithm>
#include <climits>
#include <string>

CRect LogicalPageRect(const CDC& dc) {
    const CPoint topLeft = dc.DPtoLP({0, 0});
    const CPoint bottomRight = dc.DPtoLP({dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES)});
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

CRect DeviceRect(const CDC& dc, const CRect& logical) {
    const CPoint topLeft = dc.LPtoDP({logical.left, logical.top});
    const CPoint bottomRight = dc.LPtoDP({logical.right, logical.bottom});
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

namespace {

// A page of a hostile mapping may lie at the ends of the int range: offsets from its edges
// saturate rather than overflow.
int Offset(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

// Logical y grows upward in the pictures' mappings, so "below the top" is top minus a distance.
void DrawPageHeader(CDC& dc, CRect& rect, std::string_view title) {
    const long long th = dc.GetTextExtent(title).cy;
    dc.TextOut(rect.left, Offset(rect.top - 100LL), title);
    const int y = Offset(rect.top - 2 * th - 100);
    dc.MoveTo(rect.left, y);
    dc.LineTo(rect.right, y);
    rect.top = y;
}

void DrawPageFooter(CDC& dc, CRect& rect, const CPrintPageInfo& page) {
    const std::string text = FormatC("Page %d of %d", page.currentPage, page.PageCount());
    const long long th = dc.GetTextExtent(text).cy;
    const int y = Offset(rect.bottom + 2 * th + 100);
    dc.MoveTo(rect.left, y);
    dc.LineTo(rect.right, y);
    const unsigned align = dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.TextOut(Offset(rect.left + (static_cast<long long>(rect.right) - rect.left) / 2),
               Offset(y - th), text);
    dc.SetTextAlign(align);
    rect.bottom = y;
}
