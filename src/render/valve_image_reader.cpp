#include "valve_image_reader.h"

#include "imaging/image_file_checks.h"

#include <QBuffer>
#include <QImageReader>
#include <QList>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <mutex>
#include <span>
#include <vector>

namespace {

constexpr std::array<const char*, 9> kRasterFormats = {"png", "jpeg", "tiff", "bmp", "gif",
                                                       "pbm", "pgm",  "ppm",  "webp"};
// Files beyond this are not read into memory: the largest image traced, 200 million pixels of
// four 16-bit channels, takes 1.6 GB uncompressed.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{2} << 30;

bool IsRasterFormat(const QByteArray& format) {
    return std::any_of(kRasterFormats.begin(), kRasterFormats.end(),
                       [&](const char* f) { return format == f; });
}

// What the decoders say while this thread decodes, kept instead of printed: a JPEG decoder's
// warning means damaged data, and a failure is reported with the decoder's own words. The
// handler is installed while any thread decodes; other threads' messages pass on.
class CDecoderMessages {
public:
    CDecoderMessages() {
        const std::lock_guard lock(mutex_);
        if (users_++ == 0)
            previous_ = qInstallMessageHandler(&Handle);
        sink_ = &messages_;
    }
    ~CDecoderMessages() {
        sink_ = nullptr;
        const std::lock_guard lock(mutex_);
        if (--users_ == 0)
            qInstallMessageHandler(previous_);
    }
    CDecoderMessages(const CDecoderMessages&) = delete;
    CDecoderMessages& operator=(const CDecoderMessages&) = delete;

    const std::vector<std::string>& Messages() const { return messages_; }
    std::string First() const { return messages_.empty() ? std::string() : messages_.front(); }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (sink_) {
            sink_->push_back(text.toStdString());
            return;
        }
        if (previous_)
            previous_(type, context, text);
    }

    std::vector<std::string> messages_;
    static inline thread_local std::vector<std::string>* sink_ = nullptr;
    static inline std::mutex mutex_;
    static inline int users_ = 0;
    static inline QtMessageHandler previous_ = nullptr;
};

std::uint16_t Luminance(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a,
                        std::uint32_t max) {
    const std::uint64_t y = (299u * r + 587u * g + 114u * b + 500u) / 1000u;
    // Transparent parts show the white under them.
    return static_cast<std::uint16_t>((y * a + std::uint64_t{max} * (max - a) + max / 2) / max);
}

CGreyImage ToGrey(const QImage& image) {
    CGreyImage grey;
    grey.width = image.width();
    grey.height = image.height();
    const QImage::Format format = image.format();
    const bool deep = format == QImage::Format_Grayscale16 || image.depth() > 32;
    grey.bitDepth = deep ? 16 : 8;
    grey.levels.resize(static_cast<std::size_t>(grey.PixelCount()));
    const std::size_t width = static_cast<std::size_t>(grey.width);
    for (int y = 0; y < grey.height; ++y) {
        std::uint16_t* out = grey.levels.data() + static_cast<std::size_t>(y) * width;
        if (format == QImage::Format_Grayscale8) {
            const uchar* in = image.constScanLine(y);
            std::copy(in, in + width, out);
        } else if (format == QImage::Format_Grayscale16) {
            const auto* in = reinterpret_cast<const std::uint16_t*>(image.constScanLine(y));
            std::copy(in, in + width, out);
        } else if (deep) {
            // One row at a time, so that no second copy of a large image is made.
            const QImage row = image.copy(0, y, grey.width, 1).convertToFormat(QImage::Format_RGBA64);
            const auto* in = reinterpret_cast<const std::uint16_t*>(row.constScanLine(0));
            for (std::size_t x = 0; x < width; ++x)
                out[x] = Luminance(in[4 * x], in[4 * x + 1], in[4 * x + 2], in[4 * x + 3], 65535);
        } else {
            const QImage row = image.copy(0, y, grey.width, 1).convertToFormat(QImage::Format_RGBA8888);
            const uchar* in = row.constScanLine(0);
            for (std::size_t x = 0; x < width; ++x)
                out[x] = Luminance(in[4 * x], in[4 * x + 1], in[4 * x + 2], in[4 * x + 3], 255);
        }
    }
    return grey;
}

std::string TooLarge(std::int64_t pixels) {
    return "the image has " + std::to_string(pixels) +
           " pixels, more than the 200 million this program traces";
}

std::string WithDetail(std::string text, const std::string& detail) {
    if (!detail.empty())
        text += " (" + detail + ")";
    return text;
}

} // namespace

bool IsValveImageFile(const std::filesystem::path& path) {
    QImageReader reader(QString::fromStdString(path.string()));
    reader.setDecideFormatFromContent(true);
    return IsRasterFormat(reader.format());
}

bool DecodeValveImage(const QByteArray& bytes, CValveImage& image, std::string& error) {
    QByteArray data = bytes; // shared, not copied
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    CDecoderMessages messages;
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    if (!IsRasterFormat(format)) {
        error = "not an image in a format read here (PNG, JPEG, TIFF, BMP, GIF, PBM/PGM/PPM)";
        return false;
    }
    const QSize size = reader.size();
    if (size.isValid() && static_cast<std::int64_t>(size.width()) * size.height() > kMaxImagePixels) {
        error = TooLarge(static_cast<std::int64_t>(size.width()) * size.height());
        return false;
    }
    const std::span<const std::uint8_t> raw(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                            static_cast<std::size_t>(bytes.size()));
    if (IsImageDataCut(raw)) {
        error = "the file ends before its image data does: it was cut short";
        return false;
    }
    reader.setAllocationLimit(1700); // MB: the largest image traced in four 16-bit channels
    QImage decoded;
    if (!reader.read(&decoded)) {
        error = WithDetail("the image cannot be decoded: " + reader.errorString().toStdString(),
                           messages.First());
        return false;
    }
    if (format == "jpeg" && !messages.Messages().empty()) {
        error = "the JPEG data is damaged: " + messages.First();
        return false;
    }
    if (static_cast<std::int64_t>(decoded.width()) * decoded.height() > kMaxImagePixels) {
        error = TooLarge(static_cast<std::int64_t>(decoded.width()) * decoded.height());
        return false;
    }
    image.format = format.toStdString();
    image.resolution = ReadImageResolution(raw);
    image.grey = ToGrey(decoded);
    error.clear();
    return true;
}

bool ReadValveImage(const std::filesystem::path& path, CValveImage& image, std::string& error) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxFileBytes) {
        error = "the file is larger than 2 GB";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::string("cannot open file: ") + std::strerror(errno);
        return false;
    }
    QByteArray bytes;
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.append(chunk, static_cast<qsizetype>(in.gcount()));
        if (static_cast<std::uintmax_t>(bytes.size()) > kMaxFileBytes) {
            error = "the file is larger than 2 GB";
            return false;
        }
    }
    if (in.bad()) {
        error = std::string("cannot read file: ") + std::strerror(errno);
        return false;
    }
    return DecodeValveImage(bytes, image, error);
}

QImage GreyPicture(const CGreyImage& grey) {
    const bool deep = grey.bitDepth > 8;
    QImage image(grey.width, grey.height,
                 deep ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height; ++y) {
        const std::uint16_t* row = grey.levels.data() + static_cast<std::size_t>(y) * grey.width;
        if (deep) {
            std::copy(row, row + grey.width, reinterpret_cast<std::uint16_t*>(image.scanLine(y)));
        } else {
            uchar* line = image.scanLine(y);
            std::transform(row, row + grey.width, line,
                           [](std::uint16_t v) { return static_cast<uchar>(v); });
        }
    }
    return image;
}
