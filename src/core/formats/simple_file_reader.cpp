#include "formats/simple_file_reader.h"

#include "model/specimen.h"
#include "platform/scan_format.h"

#include <cmath>

namespace {

constexpr int kTestedLines = 10;
constexpr const char* kSkippedPoints = "skipped: point lines beyond the count of their POINTS= line";

bool IsPointsLine(std::string_view line, int& count) {
    return Scan(line, "POINTS=%d", &count) == 1;
}

bool HoldsTwoNumbers(std::string_view line) {
    float x = 0.0f;
    float y = 0.0f;
    return Scan(line, "%f %f", &x, &y) == 2;
}

// Whole pixels: a value that is no finite number, or beyond the int range, has none.
bool IsPixelCoordinate(float v) {
    return std::isfinite(v) && v > -2147483904.0f && v < 2147483648.0f;
}

} // namespace

bool IsSimpleFile(std::string_view text) {
    CLineCursor lines(text);
    std::string_view line;
    for (int i = 0; i < kTestedLines && lines.Next(line); ++i) {
        int count = 0;
        if (IsPointsLine(line, count))
            return true;
    }
    return false;
}

bool CSimpleFileReader::ReadNext(CSpecimen& specimen) {
    for (;;) {
        int count = 0;
        if (!FindPointCount(count))
            return false;
        const std::int64_t start = lines_.LineNumber();
        StartSpecimen(specimen, "Simple File Format");
        if (!ReadPoints(specimen, count))
            return false;
        if (Complete(specimen, start))
            return true;
    }
}

// Lines before a "POINTS=" line are skipped: text silently, point lines (the rest of a block
// whose count was too low) with a note.
bool CSimpleFileReader::FindPointCount(int& count) {
    std::string_view line;
    while (lines_.Next(line)) {
        if (IsPointsLine(line, count))
            return true;
        if (HoldsTwoNumbers(line))
            Problem(lines_.LineNumber(), kSkippedPoints);
    }
    return false;
}

// False when the file ends inside the block: the specimen is cut off.
bool CSimpleFileReader::ReadPoints(CSpecimen& specimen, int count) {
    const std::int64_t start = lines_.LineNumber();
    std::string_view line;
    for (int i = 0; i < count; ++i) {
        if (!lines_.Next(line)) {
            Problem(start, specimen.ShortPathName + " skipped: the file ends after " +
                               std::to_string(i) + " of " + CountOf(count, "point", "points") +
                               "; it is probably cut");
            return false;
        }
        int next = 0;
        if (IsPointsLine(line, next)) { // the count was too high; the next block starts here
            lines_.Unread();
            Problem(start, "POINTS=" + std::to_string(count) + " but only " +
                               CountOf(specimen.Contour.size(), "point follows", "points follow"));
            return true;
        }
        AppendPointOfLine(ReadPoint(line), specimen.Contour);
    }
    // The line after a block is dropped, unless it starts the next block.
    int next = 0;
    if (lines_.Next(line)) {
        if (IsPointsLine(line, next))
            lines_.Unread();
        else if (HoldsTwoNumbers(line))
            Problem(lines_.LineNumber(), kSkippedPoints);
    }
    return true;
}

// Coordinates are whole pixels. A value that is no finite number, or beyond the int range,
// gives no point: it never becomes a saturated coordinate.
std::optional<FPoint> CSimpleFileReader::ReadPoint(std::string_view line) {
    float x = 0.0f;
    float y = 0.0f;
    if (Scan(line, "%f %f", &x, &y) != 2 || !IsPixelCoordinate(x) || !IsPixelCoordinate(y))
        return std::nullopt;
    return FPoint(static_cast<float>(static_cast<int>(x)), static_cast<float>(static_cast<int>(y)));
}
