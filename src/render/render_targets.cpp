#include "render_targets.h"

#include "platform/atomic_file.h"
#include "qpainter_dc.h"

#include <QBuffer>
#include <QByteArray>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>
#include <string_view>

namespace {

// Pictures larger than this many pixels are refused rather than risked.
constexpr long long kMaxImagePixels = 1LL << 28;

bool Fail(const std::filesystem::path& file, const std::string& reason, std::string& error) {
    error = "Could not write " + file.string() + ": " + reason;
    return false;
}

bool WriteAtomically(const std::filesystem::path& file, const QByteArray& bytes,
                     std::string& error) {
    CAtomicFile out;
    if (out.Open(file) &&
        out.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))) &&
        out.Commit())
        return true;
    error = out.ErrorMessage();
    return false;
}

int MmToPixels(double mm, int dotsPerInch) {
    return static_cast<int>(std::lround(mm * dotsPerInch / 25.4));
}

bool ValidLayout(const CPdfLayout& layout) {
    return layout.dotsPerInch > 0 && layout.dotsPerInch <= 2400 && layout.marginMm >= 0.0 &&
           layout.pageWidthMm > 2.0 * layout.marginMm &&
           layout.pageHeightMm > 2.0 * layout.marginMm && layout.pageWidthMm <= 5000.0 &&
           layout.pageHeightMm <= 5000.0;
}

// What a printer driver reports: the whole sheet and where the printable area begins.
void SetPhysicalPage(CQPainterDC& dc, const CPdfLayout& layout) {
    dc.SetDeviceCaps(PHYSICALWIDTH, MmToPixels(layout.pageWidthMm, layout.dotsPerInch));
    dc.SetDeviceCaps(PHYSICALHEIGHT, MmToPixels(layout.pageHeightMm, layout.dotsPerInch));
    dc.SetDeviceCaps(PHYSICALOFFSETX, MmToPixels(layout.marginMm, layout.dotsPerInch));
    dc.SetDeviceCaps(PHYSICALOFFSETY, MmToPixels(layout.marginMm, layout.dotsPerInch));
}

void DrawPage(QPainter& painter, const CPdfLayout& layout, const PageFunction& drawPage, int page) {
    painter.save();
    CQPainterDC dc(painter, true);
    SetPhysicalPage(dc, layout);
    drawPage(dc, page);
    painter.restore();
}

bool PaintPdf(QPdfWriter& writer, int pageCount, const PageFunction& drawPage,
              const CPdfLayout& layout) {
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int page = 1; page <= pageCount; ++page) {
        if (page > 1 && !writer.newPage())
            return false;
        DrawPage(painter, layout, drawPage, page);
    }
    return painter.end();
}

} // namespace

QImage RenderImage(int width, int height, const DrawFunction& draw, int dotsPerInch) {
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxImagePixels ||
        dotsPerInch <= 0)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const int dotsPerMeter = static_cast<int>(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        CQPainterDC dc(painter);
        draw(dc);
    }
    return image;
}

bool SaveImage(const QImage& image, const std::filesystem::path& file, ImageFormat format,
               std::string& error) {
    if (image.isNull())
        return Fail(file, "the image is empty or too large", error);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Qt writes 32-bit images as 24-bit BMP files without a colour table.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    if (!rgb.save(&buffer, format == ImageFormat::Png ? "PNG" : "BMP"))
        return Fail(file, "the image could not be encoded", error);
    return WriteAtomically(file, bytes, error);
}

bool RenderImageFile(const std::filesystem::path& file, ImageFormat format, int width, int height,
                     const DrawFunction& draw, std::string& error) {
    return SaveImage(RenderImage(width, height, draw), file, format, error);
}

bool RenderPdfFile(const std::filesystem::path& file, int pageCount, const PageFunction& drawPage,
                   const CPdfLayout& layout, std::string& error) {
    if (pageCount < 1)
        return Fail(file, "there are no pages to print", error);
    if (!ValidLayout(layout))
        return Fail(file, "the page layout is not usable", error);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator("Carinova");
    writer.setTitle(QString::fromStdString(layout.title));
    writer.setResolution(layout.dotsPerInch);
    const QPageSize size(QSizeF(layout.pageWidthMm, layout.pageHeightMm), QPageSize::Millimeter);
    const double m = layout.marginMm;
    if (!writer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(m, m, m, m),
                                          QPageLayout::Millimeter)))
        return Fail(file, "the page layout is not usable", error);
    if (!PaintPdf(writer, pageCount, drawPage, layout))
        return Fail(file, "the pages could not be printed", error);
    return WriteAtomically(file, bytes, error);
}

bool RenderSvgFile(const std::filesystem::path& file, int width, int height,
                   const DrawFunction& draw, const std::string& title, std::string& error) {
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxImagePixels)
        return Fail(file, "the picture size is not usable", error);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(width, height));
    generator.setViewBox(QRect(0, 0, width, height));
    generator.setResolution(kScreenDotsPerInch);
    generator.setTitle(QString::fromStdString(title));
    QPainter painter;
    if (!painter.begin(&generator))
        return Fail(file, "the picture could not be drawn", error);
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    {
        CQPainterDC dc(painter);
        draw(dc);
    }
    if (!painter.end())
        return Fail(file, "the picture could not be drawn", error);
    return WriteAtomically(file, bytes, error);
}

bool RenderPicturePdfFile(const std::filesystem::path& file, int width, int height,
                          const DrawFunction& draw, const std::string& title, std::string& error) {
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxImagePixels)
        return Fail(file, "the picture size is not usable", error);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator("Carinova");
    writer.setTitle(QString::fromStdString(title));
    writer.setResolution(kScreenDotsPerInch);
    const QPageSize size(QSizeF(width, height) * (72.0 / kScreenDotsPerInch), QPageSize::Point,
                         QString(), QPageSize::ExactMatch);
    if (!writer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF())))
        return Fail(file, "the page layout is not usable", error);
    QPainter painter;
    if (!painter.begin(&writer))
        return Fail(file, "the picture could not be drawn", error);
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    {
        CQPainterDC dc(painter);
        draw(dc);
    }
    if (!painter.end())
        return Fail(file, "the picture could not be drawn", error);
    return WriteAtomically(file, bytes, error);
}
