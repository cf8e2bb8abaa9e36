#include "qpainter_dc.h"

#include "gdi_to_qt.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int ToLogical(double devicePixels, double scale) {
    const double logical = devicePixels / std::fabs(scale);
    return logical < 2147483647.0 ? static_cast<int>(std::lround(logical)) : 2147483647;
}

} // namespace

CQPainterDC::CQPainterDC(QPainter& painter, bool printing)
    : painter_(painter), printing_(printing),
      rasterOps_(painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster) {
    painter_.resetTransform();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setBackgroundMode(Qt::TransparentMode);
}

int CQPainterDC::GetDeviceCaps(int index) const {
    if (auto it = caps_.find(index); it != caps_.end())
        return it->second;
    const QPaintDevice* device = painter_.device();
    if (!device)
        return 0;
    switch (index) {
    case LOGPIXELSX:
        return device->logicalDpiX();
    case LOGPIXELSY:
        return device->logicalDpiY();
    case HORZRES:
    case PHYSICALWIDTH:
        return device->width();
    case VERTRES:
    case PHYSICALHEIGHT:
        return device->height();
    case HORZSIZE:
        return device->widthMM();
    case VERTSIZE:
        return device->heightMM();
    default:
        return 0;
    }
}

bool CQPainterDC::SupportsRasterOps() const {
    return rasterOps_;
}

QFont CQPainterDC::CurrentFont() const {
    return ToQFont(GetFont(), ScaleY(), GetDeviceCaps(LOGPIXELSY));
}

CSize CQPainterDC::GetTextExtent(std::string_view text) const {
    const QFontMetricsF metrics(CurrentFont(), painter_.device());
    const double width = metrics.horizontalAdvance(ToQString(text));
    const double height = metrics.ascent() + metrics.descent();
    return {ToLogical(width, ScaleX()), ToLogical(height, ScaleY())};
}

QRect CQPainterDC::DeviceBox(const CRect& rect) const {
    const CPoint a = LPtoDP({rect.left, rect.top});
    const CPoint b = LPtoDP({rect.right, rect.bottom});
    // Saturated corners are pulled in to where QRect's int width cannot overflow; that is
    // still far outside any device.
    const int limit = 1 << 29;
    const int left = std::clamp(std::min(a.x, b.x), -limit, limit);
    const int right = std::clamp(std::max(a.x, b.x), -limit, limit);
    const int top = std::clamp(std::min(a.y, b.y), -limit, limit);
    const int bottom = std::clamp(std::max(a.y, b.y), -limit, limit);
    return QRect(left, top, right - left, bottom - top);
}

bool CQPainterDC::EmulatesNotXor() const {
    return GetROP2() == R2_NOTXORPEN && !rasterOps_;
}

int CQPainterDC::PenWidth() const {
    return GetPen().style == PenStyle::Null ? 0 : DevicePenWidth(GetPen(), ScaleX());
}

// Pen, brush and raster operation of lines and shapes. Without raster operations, white is what
// NOT-XOR leaves unchanged, so it is not drawn at all; other colours come out as on white paper.
void CQPainterDC::ApplyDrawingState() {
    if (!stale_)
        return;
    stale_ = false;
    const bool emulated = EmulatesNotXor();
    const bool whitePen = GetPen().color == RGB(255, 255, 255);
    const bool whiteBrush = GetBrush().color == RGB(255, 255, 255);
    painter_.setPen(emulated && whitePen ? QPen(Qt::NoPen) : ToQPen(GetPen(), ScaleX()));
    if (GetBrush().style == BrushStyle::Null || (emulated && whiteBrush))
        painter_.setBrush(Qt::NoBrush);
    else
        painter_.setBrush(ToQColor(GetBrush().color));
    const bool notXor = GetROP2() == R2_NOTXORPEN && rasterOps_;
    painter_.setCompositionMode(notXor ? QPainter::RasterOp_NotSourceXorDestination
                                       : QPainter::CompositionMode_SourceOver);
}

// Text, pixels and solid fills ignore the raster operation, as in GDI.
void CQPainterDC::PreparePlainDrawing() {
    stale_ = true;
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void CQPainterDC::DoLine(CPoint from, CPoint to) {
    const CPoint a = LPtoDP(from);
    const CPoint b = LPtoDP(to);
    if (a == b)
        return; // the end point is left out, so nothing remains
    ApplyDrawingState();
    painter_.drawLine(QPointF(a.x, a.y), QPointF(b.x, b.y));
}

// Fills what lies inside the outline separately, so that NOT-XOR touches each pixel once.
void CQPainterDC::FillInterior(const QRect& interior) {
    if (painter_.brush().style() == Qt::NoBrush || interior.isEmpty())
        return;
    painter_.fillRect(interior, painter_.brush());
}

void CQPainterDC::DoRectangle(const CRect& rect) {
    const QRect box = DeviceBox(rect);
    if (box.width() < 1 || box.height() < 1)
        return;
    ApplyDrawingState();
    const int pen = painter_.pen().style() == Qt::NoPen ? 0 : PenWidth();
    if (pen == 0) {
        // Without a pen GDI fills one pixel less to the right and to the bottom.
        FillInterior(box.adjusted(0, 0, -1, -1));
        return;
    }
    FillInterior(box.adjusted(pen, pen, -pen, -pen));
    const QBrush brush = painter_.brush();
    painter_.setBrush(Qt::NoBrush);
    // The pen lies inside the box: its centre line runs half a width in from the edges.
    const double inset = (pen - 1) / 2.0;
    painter_.drawRect(QRectF(box.left() + inset, box.top() + inset,
                             std::max(0.0, box.width() - 1 - 2 * inset),
                             std::max(0.0, box.height() - 1 - 2 * inset)));
    painter_.setBrush(brush);
}

void CQPainterDC::DoEllipse(const CRect& rect) {
    const QRect box = DeviceBox(rect);
    if (box.width() < 1 || box.height() < 1)
        return;
    ApplyDrawingState();
    const int pen = painter_.pen().style() == Qt::NoPen ? 0 : PenWidth();
    const double inset = pen > 1 ? (pen - 1) / 2.0 : 0.0;
    const QRectF path(box.left() + inset, box.top() + inset,
                      std::max(0.0, box.width() - 1 - 2 * inset),
                      std::max(0.0, box.height() - 1 - 2 * inset));
    const QPen outline = painter_.pen();
    if (painter_.brush().style() != Qt::NoBrush) {
        painter_.setPen(Qt::NoPen);
        painter_.drawEllipse(path);
        painter_.setPen(outline);
    }
    if (pen > 0) {
        const QBrush brush = painter_.brush();
        painter_.setBrush(Qt::NoBrush);
        painter_.drawEllipse(path);
        painter_.setBrush(brush);
    }
}

void CQPainterDC::DoFillSolidRect(const CRect& rect, ColorRef color) {
    const QRect box = DeviceBox(rect);
    if (box.isEmpty())
        return;
    PreparePlainDrawing();
    painter_.fillRect(box, ToQColor(color));
}

void CQPainterDC::DoSetPixel(CPoint p, ColorRef color) {
    const CPoint d = LPtoDP(p);
    PreparePlainDrawing();
    painter_.fillRect(QRect(d.x, d.y, 1, 1), ToQColor(color));
}

// The reference point is placed by the text alignment on the text's cell: left, centre or
// right of the advance width; top, baseline or bottom of ascent plus descent.
void CQPainterDC::DoTextOut(CPoint p, std::string_view text) {
    const QString string = ToQString(text);
    const QFont font = CurrentFont();
    const QFontMetricsF metrics(font, painter_.device());
    const double width = metrics.horizontalAdvance(string);
    const double ascent = metrics.ascent();
    const double cell = ascent + metrics.descent();
    const CPoint d = LPtoDP(p);
    const unsigned align = GetTextAlign();
    double left = d.x;
    if ((align & TA_HORZ_MASK) == TA_CENTER)
        left -= width / 2.0;
    else if ((align & TA_HORZ_MASK) == TA_RIGHT)
        left -= width;
    double top = d.y;
    if ((align & TA_VERT_MASK) == TA_BASELINE)
        top -= ascent;
    else if ((align & TA_VERT_MASK) == TA_BOTTOM)
        top -= cell;
    PreparePlainDrawing();
    if (GetBkMode() == OPAQUE)
        painter_.fillRect(QRectF(left, top, width, cell), ToQColor(GetBkColor()));
    painter_.setFont(font);
    painter_.setPen(ToQColor(GetTextColor()));
    painter_.drawText(QPointF(left, top + ascent), string);
}
