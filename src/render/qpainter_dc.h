#pragma once

#include "platform/cdc.h"

#include <QFont>
#include <QRect>

#include <map>

class QPainter;
class QString;

// The device context over a QPainter, for any paint device (image, PDF, SVG, screen). Every
// logical coordinate goes through the base class's mapping; the painter draws in device pixels
// with an identity transform, so the GDI pixel conventions hold: lines leave out their end
// point, rectangles and ellipses leave out their right and bottom edge, pen width 0 is one
// device pixel.
class CQPainterDC : public CDC {
public:
    // The painter must stay active on its device while this context draws. `printing` tells
    // the drawing code it draws a printed page.
    explicit CQPainterDC(QPainter& painter, bool printing = false);

    bool IsPrinting() const override { return printing_; }
    int GetDeviceCaps(int index) const override;
    // Replaces what the device reports, for what it cannot know (the physical page of a PDF).
    void SetDeviceCaps(int index, int value) { caps_[index] = value; }
    // Only the raster engine (images, the screen) combines colours bit by bit; vector devices
    // draw R2_NOTXORPEN as plain colour.
    bool SupportsRasterOps() const override;
    CSize GetTextExtent(std::string_view text) const override;

protected:
    void DoLine(CPoint from, CPoint to) override;
    void DoRectangle(const CRect& rect) override;
    void DoEllipse(const CRect& rect) override;
    void DoFillSolidRect(const CRect& rect, ColorRef color) override;
    void DoSetPixel(CPoint p, ColorRef color) override;
    void DoTextOut(CPoint p, std::string_view text) override;
    void OnStateChanged() override { stale_ = true; }

private:
    // Device rectangle of the pixels a GDI box covers (right and bottom edges excluded).
    QRect DeviceBox(const CRect& rect) const;
    QFont CurrentFont() const;
    void ApplyDrawingState();
    void PreparePlainDrawing();
    bool EmulatesNotXor() const;
    int PenWidth() const;
    void FillInterior(const QRect& interior);

    QPainter& painter_;
    bool printing_;
    bool rasterOps_;
    bool stale_ = true;
    std::map<int, int> caps_;
};
