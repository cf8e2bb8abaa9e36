#pragma once

#include "model/frect.h"
#include "platform/gdi_types.h"

#include <vector>

class CDC;

// Text that belongs to a picture but whose size is fixed in device pixels, not in logical
// units: it reaches `above` pixels over and `below` pixels under the logical height `anchorY`.
struct CTextBand {
    double anchorY = 0.0;
    double above = 0.0;
    double below = 0.0;
};

// Logical units per device pixel at which `box` (y up) and every band fit into a client area
// of that size. Fitting the box alone pushes the texts under and over it out of the window
// whenever the height limits the scale; here their pixels are reserved at the scale chosen.
// A band that cannot fit at any scale (a client lower than the text) is left out of the fit.
double FittedUnitsPerPixel(const FRect& box, const std::vector<CTextBand>& bands, CSize clientSize);

// An isotropic mapping, y up, with the box and the bands fitted into the client area from its
// top-left corner. The window's extent ends at the box's bottom edge (texts placed under the
// window, as the approximation's error lines are, land in the room reserved for them) and
// reaches up to the highest band.
void PrepareFittedMapping(CDC& dc, const FRect& box, const std::vector<CTextBand>& bands,
                          CSize clientSize);

// The height in device pixels of the pictures' label font: 12 pixels of a 96 dpi screen.
double LabelPixels(const CDC& dc);
