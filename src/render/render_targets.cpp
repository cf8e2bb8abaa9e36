#include "render_targets.h"

#include "platform/atomic_file.h"
#include "qpainter_dc.h"
#include "svg_stream_device.h"

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <array>
#include <cmath>
#include <string_view>

namespace {

// Qt maps a PNG "quality" of 80 to deflate level 1.
constexpr int kPngQuality = 80;
// Pictures larger than this many pixels are refused rather than risked.
constexpr long long kMaxImagePixels = 1LL << 28;

bool Fail(const std::filesystem::path& file, const std::string& reason, std::string& error) {
    error = "Could not write " + file.string() + ": " + reason;
    return false;
}

// A device that streams what is written to it into an atomic file, in large pieces, so that a
// long PDF or SVG is never held in memory whole.
class CAtomicFileDevice : public QIODevice {
public:
    explicit CAtomicFileDevice(const std::filesystem::path& file) {
        if (file_.Open(file))
            open(QIODevice::WriteOnly);
    }
    // Writes what is buffered and puts the file in place.
    bool Commit(std::string& error) {
        if (isOpen() && Flush() && file_.Commit())
            return true;
        error = file_.ErrorMessage();
        return false;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        buffer_.append(data, static_cast<std::size_t>(size));
        if (buffer_.size() >= kPiece && !Flush())
            return -1;
        return size;
    }

private:
    static constexpr std::size_t kPiece = 1 << 20;
    bool Flush() {
        const bool ok = file_.Write(buffer_);
        buffer_.clear();
        return ok;
    }

    CAtomicFile file_;
    std::string buffer_;
};

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

// A picture of at most 256 colours as the same pixels with a colour table: a PNG encoder needs
// a fraction of the time for it and writes half the bytes. Other pictures stay as they are.
// `rgb` is Format_RGB32; the colours are numbered as they first appear, so the result does not
// depend on anything but the pixels.
QImage WithPalette(const QImage& rgb) {
    constexpr int kSlots = 1024; // open addressing, at most 257 entries before giving up
    std::array<QRgb, kSlots> keys{};
    std::array<int, kSlots> index;
    index.fill(-1);
    QList<QRgb> table;
    QImage indexed(rgb.size(), QImage::Format_Indexed8);
    if (indexed.isNull())
        return rgb;
    QRgb last = 0;
    int lastIndex = -1;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = in[x] | 0xff000000u;
            if (c != last || lastIndex < 0) {
                std::size_t slot = (c * 2654435761u) >> 22;
                while (index[slot] >= 0 && keys[slot] != c)
                    slot = (slot + 1) % kSlots;
                if (index[slot] < 0) {
                    if (table.size() == 256)
                        return rgb;
                    keys[slot] = c;
                    index[slot] = static_cast<int>(table.size());
                    table.append(c);
                }
                last = c;
                lastIndex = index[slot];
            }
            out[x] = static_cast<uchar>(lastIndex);
        }
    }
    indexed.setColorTable(table);
    indexed.setDotsPerMeterX(rgb.dotsPerMeterX());
    indexed.setDotsPerMeterY(rgb.dotsPerMeterY());
    return indexed;
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

bool EncodeImage(const QImage& image, ImageFormat format, QByteArray& bytes) {
    if (image.isNull())
        return false;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Qt writes 32-bit images as 24-bit BMP files without a colour table.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    if (format == ImageFormat::Bmp)
        return rgb.save(&buffer, "BMP");
    // The fastest deflate level: the pictures are mostly white and shrink well at any level.
    return WithPalette(rgb).save(&buffer, "PNG", kPngQuality);
}

bool SaveImage(const QImage& image, const std::filesystem::path& file, ImageFormat format,
               std::string& error) {
    if (image.isNull())
        return Fail(file, "the image is empty or too large", error);
    QByteArray bytes;
    if (!EncodeImage(image, format, bytes))
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
    CAtomicFileDevice device(file);
    if (!device.isOpen())
        return device.Commit(error);
    QPdfWriter writer(&device);
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
    return device.Commit(error);
}

bool RenderSvgFile(const std::filesystem::path& file, int width, int height,
                   const DrawFunction& draw, const std::string& title, std::string& error) {
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxImagePixels)
        return Fail(file, "the picture size is not usable", error);
    CAtomicFileDevice device(file);
    if (!device.isOpen())
        return device.Commit(error);
    CSvgStreamDevice svg(device, width, height, QString::fromStdString(title));
    QPainter painter;
    if (!painter.begin(&svg))
        return Fail(file, "the picture could not be drawn", error);
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    {
        CQPainterDC dc(painter);
        draw(dc);
    }
    if (!painter.end())
        return Fail(file, "the picture could not be drawn", error);
    return device.Commit(error);
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
