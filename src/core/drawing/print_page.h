#pragma once

#include "platform/gdi_types.h"

#include <string_view>

class CDC;

// What the print loop tells a picture about the page it prints.
struct CPrintPageInfo {
    int currentPage = 1;
    int fromPage = 1; // first page of the chosen range
    int toPage = 0;   // last page of the chosen range; 0 while the range is open
    int maxPage = 1;

    int LastPage() const { return toPage > 0 ? toPage : maxPage; }
    // The "of" number of the footer.
    int PageCount() const { return LastPage() - fromPage + 1; }
};

// The printable area of the device (0, 0, HORZRES, VERTRES) in the current logical units.
CRect LogicalPageRect(const CDC& dc);
// A logical rectangle in device units, corner by corner.
CRect DeviceRect(const CDC& dc, const CRect& logical);

// The title at (left, top - 100) in the current font and alignment, a rule under it at
// top - 2 * text height - 100; the rule becomes the rectangle's top.
void DrawPageHeader(CDC& dc, CRect& rect, std::string_view title);
// A rule at bottom + 2 * text height + 100 with "Page %d of %d" centred under it in the current
// font; the rule becomes the rectangle's bottom.
void DrawPageFooter(CDC& dc, CRect& rect, const CPrintPageInfo& page);
