#pragma once

#include "drawing/print_page.h"
#include "platform/gdi_types.h"

class CCarinovaDoc;
class CDC;

// The printed overlay: page 1 holds the picture, the pages after it (when the cluster prints
// its specimen list) the members, a fixed number of lines a page.

// Member lines a page on this printer, from its paper height: (millimetres - 21) * 0.189,
// at least one.
int OverlayListLinesPerPage(const CDC& printer);

// 1 for an empty cluster or without the specimen list; otherwise the picture page plus the
// list pages.
int OverlayPrintPageCount(const CDC& printer, const CCarinovaDoc& doc);

// One page: header, footer and a frame, then the picture (page 1) or the page's members. The
// header, footer and list are placed in the mapping of a view window of `viewClientSize`, as
// the screen prepares it.
void PrintOverlayPage(CDC& dc, const CCarinovaDoc& doc, CSize viewClientSize,
                      const CPrintPageInfo& page);
