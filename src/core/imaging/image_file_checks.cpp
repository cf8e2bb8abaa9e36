#include "imaging/image_file_checks.h"

#include <algorithm>

namespace {

// Markers never occur inside a JPEG's entropy-coded data (a 0xFF there is followed by 0x00), so
// the last start-of-scan marker begins the last scan, which the end-of-image marker closes.
bool IsJpegCut(std::span<const std::uint8_t> bytes) {
    std::size_t lastScan = 0;
    bool scan = false;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) {
            lastScan = i;
            scan = true;
        }
    }
    if (!scan)
        return false; // the decoder refuses a JPEG without a scan itself
    for (std::size_t i = lastScan + 2; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xD9)
            return false;
    }
    return true;
}

std::uint64_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t at, int n) {
    std::uint64_t v = 0;
    for (int k = n - 1; k >= 0; --k)
        v = v << 8 | bytes[at + static_cast<std::size_t>(k)];
    return v;
}

// Uncompressed rows (or the stated size of compressed data) must fit after the data offset.
bool IsBmpCut(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 54 || LittleEndian(bytes, 14, 4) < 40)
        return bytes.size() < 26;
    const std::uint64_t offset = LittleEndian(bytes, 10, 4);
    const std::int64_t width = static_cast<std::int32_t>(LittleEndian(bytes, 18, 4));
    const std::int64_t height = static_cast<std::int32_t>(LittleEndian(bytes, 22, 4));
    const std::uint64_t bits = LittleEndian(bytes, 28, 2);
    const std::uint64_t compression = LittleEndian(bytes, 30, 4);
    std::uint64_t data = LittleEndian(bytes, 34, 4);
    if (compression == 0 || compression == 3) {
        const std::uint64_t rowBits =
            static_cast<std::uint64_t>(std::max<std::int64_t>(width, 0)) * bits; // < 2^47
        const std::uint64_t rowBytes = (rowBits + 31) / 32 * 4;
        const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
        if (rows > 0 && rowBytes > bytes.size())
            return true;
        data = rowBytes * rows; // < 2^64: rowBytes is at most the file's size, rows below 2^32
    }
    return offset > bytes.size() || data > bytes.size() - offset;
}

} // namespace

bool IsImageDataCut(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8)
        return IsJpegCut(bytes);
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return IsBmpCut(bytes);
    return false;
}
