#pragma once

#include "imaging/dpoint.h"
#include "imaging/grey_image.h"
#include "imaging/otsu_threshold.h"
#include "model/fpoint.h"

#include <cstdint>
#include <string>
#include <vector>

enum class EValvePolarity {
    FromBorder, // the valves have the colour that the image's border mostly lacks
    Dark,       // dark valves on a light ground
    Light,      // light valves on a dark ground
};

struct CTraceOptions {
    int threshold = -1; // pixels at or below this level are dark; -1 takes Otsu's threshold
    EValvePolarity polarity = EValvePolarity::FromBorder;
    std::int64_t minArea = -1; // smaller components are specks; -1 takes 0.1 % of the image
    int openingRadius = 0;     // removes spurs and bridges thinner than a disk of this radius
    int smoothing = 0;         // light smoothing passes, none by default
    int points = 0;            // resampled to this many equally spaced points; 0 keeps all
};

// One traced valve. The outline is in image coordinates (pixel (x, y) covers [x, x + 1) x
// [y, y + 1), y downwards), closed, without repeated points, anticlockwise as the image is
// seen, and starts where the horizontal line through its area centroid meets it furthest right.
struct CTracedValve {
    std::vector<FPoint> outline;
    double area = 0.0;          // enclosed by the outline, in square pixels
    DPoint centroid;            // of that area
    double perimeter = 0.0;     // length of the traced outline, before any resampling
    std::int64_t pixelArea = 0; // pixels of the component with its holes
    int left = 0;               // bounds of the component's pixels, [left, right) x [top, bottom)
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool touchesBorder = false;
};

struct CTraceResult {
    int threshold = 0; // the level used
    COtsuThreshold otsu;
    bool lightValves = false; // the polarity used
    std::int64_t minArea = 0; // the speck size used
    std::vector<CTracedValve> valves; // left to right, then row by row from the top
    std::vector<std::string> notes;   // what was left out and why; valves cut by the border
    std::string failure;              // why no valve was found; empty when one was
};

// Traces every valve of the image: threshold, polarity, components with their holes filled,
// specks left out, outer boundaries at sub-pixel precision. The same image and options give
// the same result, bit for bit.
CTraceResult TraceValves(const CGreyImage& image, const CTraceOptions& options);

// Whether the image is one this program traces: sizes within kMaxImagePixels, levels matching
// them and their depth. Otherwise `error` says why.
bool IsTraceableImage(const CGreyImage& image, std::string& error);
