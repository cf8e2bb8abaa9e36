#pragma once

#include "platform/gdi_types.h"

#include <string>
#include <string_view>
#include <vector>

// A device context in the manner of GDI: drawing happens in logical coordinates that the
// mapping mode, the window and the viewport turn into device pixels. The base class keeps the
// whole state (mapping, pen, brush, font, colours, alignment, raster operation, current
// position) so that every backend maps exactly alike; backends implement the primitives.
class CDC {
public:
    virtual ~CDC() = default;

    // --- device ----------------------------------------------------------------------------
    virtual bool IsPrinting() const { return false; }
    virtual int GetDeviceCaps(int index) const = 0;
    // Whether the raster operations other than copying are honoured by this device.
    virtual bool SupportsRasterOps() const { return true; }

    // --- mapping ---------------------------------------------------------------------------
    int SetMapMode(int mode);
    int GetMapMode() const { return mapMode_; }
    CPoint SetWindowOrg(int x, int y);
    CPoint GetWindowOrg() const { return windowOrg_; }
    CSize SetWindowExt(int cx, int cy);
    CSize GetWindowExt() const { return windowExt_; }
    CPoint SetViewportOrg(int x, int y);
    CPoint GetViewportOrg() const { return viewportOrg_; }
    CSize SetViewportExt(int cx, int cy);
    CSize GetViewportExt() const { return viewportExt_; }

    // Logical to device and back, in double precision for the backends.
    double LPtoDPx(double x) const;
    double LPtoDPy(double y) const;
    double DPtoLPx(double x) const;
    double DPtoLPy(double y) const;
    CPoint LPtoDP(CPoint p) const;
    CPoint DPtoLP(CPoint p) const;
    // Device pixels per logical unit along each axis (signed).
    double ScaleX() const { return static_cast<double>(viewportExt_.cx) / windowExt_.cx; }
    double ScaleY() const { return static_cast<double>(viewportExt_.cy) / windowExt_.cy; }

    // --- drawing objects: each Select returns what was selected before -----------------------
    CPen SelectPen(const CPen& pen);
    const CPen& GetPen() const { return pen_; }
    CBrush SelectBrush(const CBrush& brush);
    const CBrush& GetBrush() const { return brush_; }
    CFont SelectFont(const CFont& font);
    const CFont& GetFont() const { return font_; }

    ColorRef SetTextColor(ColorRef color);
    ColorRef GetTextColor() const { return textColor_; }
    ColorRef SetBkColor(ColorRef color);
    ColorRef GetBkColor() const { return bkColor_; }
    int SetBkMode(int mode);
    int GetBkMode() const { return bkMode_; }
    unsigned SetTextAlign(unsigned align);
    unsigned GetTextAlign() const { return textAlign_; }
    int SetROP2(int rop);
    int GetROP2() const { return rop2_; }

    // --- primitives, in logical coordinates -------------------------------------------------
    CPoint MoveTo(int x, int y);
    CPoint GetCurrentPosition() const { return current_; }
    void LineTo(int x, int y);
    void Polyline(const std::vector<CPoint>& points);
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    void FillSolidRect(const CRect& rect, ColorRef color);
    void SetPixel(int x, int y, ColorRef color);
    void TextOut(int x, int y, std::string_view text);
    // Writes text into a box (or, with DT_CALCRECT, only measures it into rect); returns the
    // height of the text in logical units.
    int DrawText(std::string_view text, CRect& rect, unsigned format);
    // Extent of a single line of text in the current font, in logical units (positive).
    virtual CSize GetTextExtent(std::string_view text) const = 0;

protected:
    virtual void DoLine(CPoint from, CPoint to) = 0;
    virtual void DoRectangle(const CRect& rect) = 0;
    virtual void DoEllipse(const CRect& rect) = 0;
    virtual void DoFillSolidRect(const CRect& rect, ColorRef color) = 0;
    virtual void DoSetPixel(CPoint p, ColorRef color) = 0;
    virtual void DoTextOut(CPoint p, std::string_view text) = 0;
    // Called after the state changed, for backends that cache native objects.
    virtual void OnStateChanged() {}

private:
    void FixIsotropic();

    int mapMode_ = MM_TEXT;
    CPoint windowOrg_;
    CSize windowExt_{1, 1};
    CPoint viewportOrg_;
    CSize viewportExt_{1, 1};

    CPen pen_;
    CBrush brush_;
    CFont font_;
    ColorRef textColor_ = 0;
    ColorRef bkColor_ = RGB(255, 255, 255);
    int bkMode_ = OPAQUE;
    unsigned textAlign_ = TA_LEFT | TA_TOP;
    int rop2_ = R2_COPYPEN;
    CPoint current_;
};
