#pragma once

#include <QImage>

#include <algorithm>
#include <functional>

// Reading rendered images back: which pixels carry ink and where.
struct CInkBox {
    int left = 0;
    int top = 0;
    int right = -1; // inclusive
    int bottom = -1;
    int count = 0;
    bool Empty() const { return count == 0; }
};

// Dark pixels: black and the darker half of anti-aliased edges, not saturated colours.
inline bool IsInk(QRgb pixel) {
    return qRed(pixel) < 128 && qGreen(pixel) < 128 && qBlue(pixel) < 128;
}
inline bool IsWhite(QRgb pixel) {
    return (pixel & 0xffffff) == 0xffffff;
}

inline CInkBox FindPixels(const QImage& image, const std::function<bool(QRgb)>& wanted) {
    CInkBox box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (!wanted(image.pixel(x, y)))
                continue;
            if (box.count == 0)
                box = {x, y, x, y, 0};
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
            ++box.count;
        }
    return box;
}

inline CInkBox InkBox(const QImage& image) {
    return FindPixels(image, IsInk);
}

inline int InkInRow(const QImage& image, int y) {
    int n = 0;
    for (int x = 0; x < image.width(); ++x)
        n += IsInk(image.pixel(x, y)) ? 1 : 0;
    return n;
}

inline int InkInColumn(const QImage& image, int x) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        n += IsInk(image.pixel(x, y)) ? 1 : 0;
    return n;
}
