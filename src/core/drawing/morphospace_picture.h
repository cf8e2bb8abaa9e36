#pragma once

#include "drawing/morphospace_plot.h"
#include "platform/gdi_types.h"

#include <string>

class CDC;
class CMorphospace;
struct CMorphospaceScene;

// The morphospace picture: the scores of two components as a scatter (one scale for both
// axes), points coloured and shaped by group with their 95 % ellipses and group means, the
// reference ringed, the projected mean specimen as a diamond, the cluster selection circled,
// and at the ends of each axis the shapes at -2 and +2 standard deviations drawn small over
// the mean shape. The view, the printed page and the batch tool all draw through this.

// Draws into `area`, given in device pixels, with a mapping of its own (device units, y down),
// and returns the layout it used, for hit tests. Without an analysis the scene's message
// stands in the middle of the area.
CMorphospacePlot DrawMorphospacePicture(CDC& dc, const CMorphospaceScene& scene, const CRect& area);

// "PC1 (45.2 %)": the component and its share of the total variance.
std::string ComponentTitle(const CMorphospace& space, int k);

// The hover text of a point: the specimen's name and its scores on the scene's two axes.
std::string PointDescription(const CMorphospaceScene& scene, int point);

// Lines of `text` broken at spaces to fit the width of `rect`, from its top, centred or not.
void DrawWrappedText(CDC& dc, const std::string& text, const CRect& rect, bool centred);
