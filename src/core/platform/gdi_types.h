#pragma once

#include <cstdint>
#include <string>

// The small value types of the drawing interface, modelled on the Windows GDI the pictures
// were designed for, so that layouts carry over unchanged.

// Packed RGB: red in the low byte, green in the second, blue in the third.
using ColorRef = std::uint32_t;

constexpr ColorRef RGB(int r, int g, int b) {
    return static_cast<ColorRef>(r & 0xff) | (static_cast<ColorRef>(g & 0xff) << 8) |
           (static_cast<ColorRef>(b & 0xff) << 16);
}
constexpr int GetRValue(ColorRef c) {
    return static_cast<int>(c & 0xff);
}
constexpr int GetGValue(ColorRef c) {
    return static_cast<int>((c >> 8) & 0xff);
}
constexpr int GetBValue(ColorRef c) {
    return static_cast<int>((c >> 16) & 0xff);
}

struct CPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const CSize&, const CSize&) = default;
};

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const CRect&, const CRect&) = default;
};

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null };

// Width 0 draws one device pixel wide whatever the mapping.
struct CPen {
    PenStyle style = PenStyle::Solid;
    int width = 0;
    ColorRef color = 0;
    friend bool operator==(const CPen&, const CPen&) = default;
};

enum class BrushStyle { Solid, Null };

struct CBrush {
    BrushStyle style = BrushStyle::Solid;
    ColorRef color = RGB(255, 255, 255);
    friend bool operator==(const CBrush&, const CBrush&) = default;
};

// Height in logical units: negative asks for that character height, positive for that cell
// height, 0 for the device's default.
struct CFont {
    int height = 0;
    int width = 0;
    int escapement = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    int pitchAndFamily = 0;
    std::string faceName = "Arial";
    friend bool operator==(const CFont&, const CFont&) = default;
};

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr int FF_SWISS = 32;

enum MapMode {
    MM_TEXT = 1,
    MM_LOMETRIC = 2,
    MM_HIMETRIC = 3,
    MM_LOENGLISH = 4,
    MM_HIENGLISH = 5,
    MM_TWIPS = 6,
    MM_ISOTROPIC = 7,
    MM_ANISOTROPIC = 8
};

// Text alignment flags (combine one horizontal and one vertical value).
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;
constexpr unsigned TA_HORZ_MASK = 6;
constexpr unsigned TA_VERT_MASK = 24;

// DrawText flags.
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;

// Raster operations.
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_COPYPEN = 13;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// GetDeviceCaps indices.
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;
