#include "formats/tps_writer.h"

#include "model/int_round.h"
#include "model/specimen.h"
#include "platform/atomic_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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

// The shortest decimal that reads back as `value`, without an exponent.
void AppendShortest(std::string& out, float value) {
    // The smallest float takes 45 decimals.
    char buffer[128];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    out.append(buffer, result.ptr);
}

// The factor the reader multiplies the file's coordinates by: the scale x 1000, as a float.
float ReaderFactor(const CSpecimen& specimen) {
    return specimen.ScaleSpecified ? static_cast<float>(specimen.ScaleFactor * 1000.0) : 1.0f;
}

// A stored contour coordinate back in the file's units, truncated toward zero. The division
// can land just below the file's whole number (1404 x 3.89 / 3.89 = 1403.9999), which
// truncation would turn into the next lower one: the whole number that the reader scales to
// exactly the stored value is taken instead.
long long FileInteger(float stored, const CSpecimen& specimen) {
    double v = stored;
    if (specimen.ScaleSpecified)
        v /= specimen.ScaleFactor * 1000.0;
    if (std::isfinite(v)) {
        const double nearest = std::round(v);
        if (std::fabs(nearest) < 16777216.0 &&
            static_cast<float>(nearest) * ReaderFactor(specimen) == stored)
            return static_cast<long long>(nearest);
    }
    // Not-a-number and values beyond the int range saturate instead of being undefined.
    return TruncToInt(v);
}

// A stored landmark coordinate back in the file's units, exactly: of the floats next to the
// quotient, the one with the shortest text that the reader scales to the stored value.
void AppendFileValue(std::string& out, float stored, const CSpecimen& specimen) {
    const float factor = ReaderFactor(specimen);
    const float quotient = static_cast<float>(static_cast<double>(stored) / factor);
    if (!std::isfinite(stored) || !std::isfinite(quotient)) {
        AppendInt(out, TruncToInt(stored));
        return;
    }
    std::string best;
    float candidate = std::nextafter(std::nextafter(quotient, -INFINITY), -INFINITY);
    for (int i = 0; i < 5; ++i, candidate = std::nextafter(candidate, INFINITY)) {
        if (candidate * factor != stored)
            continue;
        std::string text;
        AppendShortest(text, candidate);
        if (best.empty() || text.size() < best.size())
            best = std::move(text);
    }
    if (best.empty()) // no float scales to it exactly: the nearest one
        AppendShortest(best, quotient);
    out += best;
}

void AppendPoint(std::string& out, const CSpecimen& specimen, FPoint point) {
    AppendInt(out, FileInteger(point.x, specimen));
    out += ' ';
    AppendInt(out, FileInteger(point.y, specimen));
    out += '\n';
}

void AppendLandmark(std::string& out, const CSpecimen& specimen, FPoint point) {
    AppendFileValue(out, point.x, specimen);
    out += ' ';
    AppendFileValue(out, point.y, specimen);
    out += '\n';
}

// The scale as "%f" writes it, unless six decimals would change it: then all its digits, so
// that the coordinates scale back to the same values.
void AppendScale(std::string& out, float scale) {
    std::string fixed;
    AppendFixed(fixed, scale);
    float read = 0.0f;
    const auto [end, error] = std::from_chars(fixed.data(), fixed.data() + fixed.size(), read);
    if (error == std::errc() && read == scale)
        out += fixed;
    else
        AppendShortest(out, scale);
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
        AppendLandmark(out, specimen, point);
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
        AppendScale(out, specimen.ScaleFactor);
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
