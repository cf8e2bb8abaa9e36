#include "gdi_to_qt.h"

#include <QFontMetricsF>
#include <QList>

#include <algorithm>
#include <cmath>

namespace {

// Family bits of the pitch-and-family byte.
constexpr int kFamilyMask = 0xf0;
constexpr int kFamilyRoman = 16;
constexpr int kFamilySwiss = 32;
constexpr int kFamilyModern = 48;

// Glyphs beyond this size only cost memory; no page is that tall.
constexpr double kMaxPixelSize = 16384.0;
constexpr double kDefaultPoints = 12.0;

// Dash patterns of GDI's cosmetic pens, in pixels.
QList<qreal> DashPattern(PenStyle style) {
    switch (style) {
    case PenStyle::Dash:
        return {18, 6};
    case PenStyle::Dot:
        return {3, 3};
    case PenStyle::DashDot:
        return {9, 6, 3, 6};
    case PenStyle::DashDotDot:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

QFont::StyleHint FamilyHint(int pitchAndFamily) {
    switch (pitchAndFamily & kFamilyMask) {
    case kFamilyRoman:
        return QFont::Serif;
    case kFamilySwiss:
        return QFont::SansSerif;
    case kFamilyModern:
        return QFont::TypeWriter;
    default:
        return QFont::AnyStyle;
    }
}

// Em height per cell height of the face, to honour a positive (cell) font height.
double EmPerCell(const QFont& face) {
    QFont probe(face);
    probe.setPixelSize(1000);
    const QFontMetricsF metrics(probe);
    const double cell = metrics.ascent() + metrics.descent();
    return cell > 0.0 ? 1000.0 / cell : 1.0;
}

} // namespace

QColor ToQColor(ColorRef color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

int DevicePenWidth(const CPen& pen, double scale) {
    const double width = std::fabs(static_cast<double>(pen.width)) * std::fabs(scale);
    if (!(width > 1.0))
        return 1;
    return static_cast<int>(std::lround(std::min(width, kMaxPixelSize)));
}

QPen ToQPen(const CPen& pen, double scale) {
    if (pen.style == PenStyle::Null)
        return QPen(Qt::NoPen);
    QPen result(ToQColor(pen.color));
    const int width = DevicePenWidth(pen, scale);
    if (width == 1) {
        result.setCosmetic(true);
        result.setWidth(1);
        result.setCapStyle(Qt::FlatCap);
        result.setJoinStyle(Qt::MiterJoin);
        if (pen.style != PenStyle::Solid)
            result.setDashPattern(DashPattern(pen.style));
        return result;
    }
    result.setWidth(width);
    result.setCapStyle(Qt::RoundCap);
    result.setJoinStyle(Qt::RoundJoin);
    return result;
}

QFont ToQFont(const CFont& font, double scale, int dotsPerInch) {
    QFont result(QString::fromStdString(font.faceName.empty() ? "Arial" : font.faceName));
    result.setStyleHint(FamilyHint(font.pitchAndFamily));
    result.setWeight(font.weight <= 0
                         ? QFont::Normal
                         : static_cast<QFont::Weight>(std::clamp(font.weight, 1, 1000)));
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    double pixels = kDefaultPoints * dotsPerInch / 72.0;
    if (font.height != 0) {
        pixels = std::fabs(static_cast<double>(font.height)) * std::fabs(scale);
        if (font.height > 0)
            pixels *= EmPerCell(result);
    }
    result.setPixelSize(static_cast<int>(std::lround(std::clamp(pixels, 1.0, kMaxPixelSize))));
    return result;
}
