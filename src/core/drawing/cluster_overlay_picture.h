#pragma once

#include "model/frect.h"
#include "platform/gdi_types.h"

class CCarinovaDoc;
class CDC;
class CSpecimenRecord;

// The cluster overlay: every cluster approximation on top of the others in its colour (the mean
// last, on top of all), a legend with the normalisation or a scale bar, and the delta vectors
// from the reference's control points to each member's. The view, the printed page and the batch
// tool all draw through these functions. Drawing never changes the document.

// The rectangle the picture is fitted to: the union of the control-point boxes of all cluster
// approximations, the mean included (all zero when there is none).
FRect OverlayBounds(const CCarinovaDoc& doc);

// The overlay's fonts: "Arial", swiss family, height hf truncated toward zero.
CFont OverlayFont(float hf, int weight);

// The mapping of a client area of the given size in device pixels: isotropic, y up, the
// bounding rectangle with margins and the legend under it fitted into the area from its
// top-left corner. With an empty cluster, the hint screen's 0.1 mm mapping with the origin at
// the top-left.
void PrepareOverlayMapping(CDC& dc, const CCarinovaDoc& doc, CSize clientSize);

// The picture (or the hints for an empty cluster) in the current mapping.
void DrawOverlayView(CDC& dc, const CCarinovaDoc& doc);

// Both of the above: what a window of that client size shows.
void DrawOverlayPicture(CDC& dc, const CCarinovaDoc& doc, CSize clientSize);

// The four hint lines with their bullets, in a 0.1 mm mapping with y up.
void DrawOverlayHints(CDC& dc);

// Whether the record's curves are part of the picture under the cluster's drawing settings.
bool IsDrawnInOverlay(const CCarinovaDoc& doc, const CSpecimenRecord* record);

// On screen the curves are hairlines. The interactive view keeps that pen width in the drawn
// cluster approximations (so a document saved afterwards holds it); batch drawing does not.
void KeepOverlayScreenPenWidth(CCarinovaDoc& doc);
