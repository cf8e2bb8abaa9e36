#pragma once

#include "platform/cdc.h"

#include <string>

// Twelve device pixels of a 96 dpi screen, in the logical units of the current mapping. The
// value carries the sign of the y mapping (negative when y points up), so a font made from it
// asks for a character height and texts keep their size on screen and on paper.
inline float PictureFontHeight(const CDC& dc) {
    return static_cast<float>(dc.GetWindowExt().cy) * 12.0f /
           static_cast<float>(dc.GetViewportExt().cy) *
           static_cast<float>(dc.GetDeviceCaps(LOGPIXELSY)) / 96.0f;
}

// An "Arial" font of the given height (truncated toward zero), weight and pitch-and-family.
CFont MakePictureFont(float height, int weight, int pitchAndFamily);
