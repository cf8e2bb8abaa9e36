#include "formats/tps_writer.h"

#include "model/int_round.h"
#include "model/specimen.h"
#include "platform/atomic_file.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace {

constexpr std::string_view kExtension = ".tps";
// The save dialog's buffer holds 260 characters with the terminating NUL.
constexpr std::size_t kMaxNameLength = 259;

// Cuts a UTF-8 text to at most `length` bytes without splitting a character.
std::string CutText(const std::string& text, std::size_t length) {
    if (text.size() <= length)
        return text;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    return text.substr(0, length);
}

// Numbers are written the same in every locale.
void AppendInt(std::string& out, long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendFixed(std::string& out, double value) {
    // The largest double takes 316 characters with six decimals.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
}

void AppendPoint(std::string& out, const CSpecimen& specimen, FPoint point) {
    double x = point.x;
    double y = point.y;
    if (specimen.ScaleSpecified) {
        const double divisor = specimen.ScaleFactor * 1000.0;
        x /= divisor;
        y /= divisor;
    }
    // Not-a-number and values beyond the int range saturate instead of being undefined.
    AppendInt(out, TruncToInt(x));
    out += ' ';
    AppendInt(out, TruncToInt(y));
    out += '\n';
}

// A keyword's value ends at the end of its line: line breaks inside it become blanks.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return text;
}

std::string TpsText(const CSpecimen& specimen) {
    std::string out = "LM=";
    AppendInt(out, static_cast<long long>(specimen.Landmarks.size()));
    out += '\n';
    for (const FPoint& point : specimen.Landmarks)
        AppendPoint(out, specimen, point);
    out += "OUTLINES=1\nPOINTS=";
    AppendInt(out, static_cast<long long>(specimen.Contour.size()));
    out += '\n';
    for (const FPoint& point : specimen.Contour)
        AppendPoint(out, specimen, point);
    out += "IMAGE=" + OneLine(specimen.ImageFile) + "\n";
    out += "ID=" + OneLine(specimen.Identifier) + "\n";
    out += "COMMENT=" + OneLine(specimen.Comment) + "\n";
    if (specimen.ScaleSpecified) {
        out += "SCALE=";
        AppendFixed(out, specimen.ScaleFactor);
        out += '\n';
    }
    return out;
}

// Text files end their lines with CR LF, also those inside the texts of the specimen.
std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace

std::string DefaultTpsExportName(const std::string& shortPathName) {
    const std::size_t cut = shortPathName.find(kExtension);
    const std::string stem =
        cut == std::string::npos ? shortPathName : shortPathName.substr(0, cut);
    return CutText(stem, kMaxNameLength - kExtension.size()) + std::string(kExtension);
}

bool WriteSpecimenAsTps(const CSpecimen& specimen, const std::filesystem::path& path,
                        std::string& error) {
    CAtomicFile file;
    if (!file.Open(path) || !file.Write(WithCrLf(TpsText(specimen))) || !file.Commit()) {
        error = file.ErrorMessage();
        return false;
    }
    error.clear();
    return true;
}
