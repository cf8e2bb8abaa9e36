#pragma once

#include "drawing/print_page.h"
#include "drawing/specimen_view_settings.h"
#include "platform/gdi_types.h"

class CDC;
class CSpecimenRecord;

// The picture of one specimen record: outline, approximation, coordinate axes, bounding box,
// main axes, centroid, a 100-unit scale bar and the name, fitted into a client area. The view,
// the printed page and the batch tool all draw through these functions. A null record (or one
// without a specimen) gives the hint screen. The mean specimen, which has no outline, is drawn
// from its cluster approximation: both curves with their control points, in its colour.

// The mapping of a client area of the given size in device pixels: isotropic, y up, the
// widened bounding box of specimen and approximation fitted into the area from its top-left
// corner together with the texts around it (name, scale bar, error lines), so that they stay
// visible whatever the window's shape. Without a specimen, the hint screen's 0.1 mm mapping
// with the origin at the top-left.
void PrepareSpecimenMapping(CDC& dc, const CSpecimenRecord* record, CSize clientSize);

// The picture (or the hints) in the current mapping.
void DrawSpecimenView(CDC& dc, const CSpecimenRecord* record,
                      const CSpecimenViewSettings& settings);

// Both of the above: what a window of that client size shows.
void DrawSpecimenPicture(CDC& dc, const CSpecimenRecord* record,
                         const CSpecimenViewSettings& settings, CSize clientSize);

// The three hint lines with their bullets, in a 0.1 mm mapping with y up.
void DrawSpecimenHints(CDC& dc);

// A specimen prints on exactly one page.
constexpr int kSpecimenPrintPageCount = 1;

// The printed page on a printer context: header with the path name, footer with the page
// number, the picture fitted into the rest. The header and footer are placed in the mapping of
// a view window of `viewClientSize`, as the screen prepares it.
void PrintSpecimenPage(CDC& dc, const CSpecimenRecord* record,
                       const CSpecimenViewSettings& settings, CSize viewClientSize,
                       const CPrintPageInfo& page);
