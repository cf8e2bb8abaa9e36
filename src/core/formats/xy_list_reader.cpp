#include "formats/xy_list_reader.h"

#include "formats/text_fields.h"
#include "model/specimen.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kTestedRows = 10;
constexpr std::size_t kFewestRows = 3;

bool IsSeparator(char c, bool semicolons) {
    return c == '\t' || c == ' ' || c == ';' || (c == ',' && !semicolons);
}

} // namespace

std::optional<FPoint> XyRowPoint(std::string_view line) {
    const bool semicolons = line.find(';') != std::string_view::npos;
    std::optional<float> last;
    std::optional<float> beforeLast;
    std::string decimalComma;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSeparator(line[i], semicolons))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsSeparator(line[i], semicolons))
            ++i;
        if (i == start)
            continue;
        std::string_view field = line.substr(start, i - start);
        if (semicolons && field.find(',') != std::string_view::npos) {
            decimalComma.assign(field);
            std::replace(decimalComma.begin(), decimalComma.end(), ',', '.');
            field = decimalComma;
        }
        if (const std::optional<float> number = FieldNumber(field)) {
            beforeLast = last;
            last = number;
        }
    }
    if (!beforeLast)
        return std::nullopt;
    return FPoint(*beforeLast, *last);
}

bool IsXyListFile(std::string_view text) {
    CLineCursor lines(text);
    std::string_view line;
    std::size_t rows = 0;
    for (int seen = 0; seen < kTestedRows && lines.Next(line);) {
        if (TrimBlanks(line).empty())
            continue;
        ++seen;
        if (XyRowPoint(line))
            ++rows;
        else if (seen > 1) // only the first row may be a header
            return false;
    }
    return rows >= kFewestRows;
}

bool CXyListReader::ReadNext(CSpecimen& specimen) {
    for (;;) {
        // Blank lines separate outlines.
        std::string_view line;
        bool found = false;
        while (!found && lines_.Next(line))
            found = !TrimBlanks(line).empty();
        if (!found)
            return false;
        lines_.Unread();
        StartSpecimen(specimen, "XY List");
        if (ReadOutline(specimen))
            return true;
    }
}

// The rows up to the next blank line; false when the outline is skipped.
bool CXyListReader::ReadOutline(CSpecimen& specimen) {
    std::string_view line;
    std::int64_t start = 0;
    bool first = true;
    while (lines_.Next(line) && !TrimBlanks(line).empty()) {
        const std::optional<FPoint> point = XyRowPoint(line);
        if (!point && first) {
            first = false;
            Inform("header rows skipped");
            continue;
        }
        first = false;
        if (!point) {
            Problem(lines_.LineNumber(), "skipped: a row without two numbers");
            continue;
        }
        if (specimen.Contour.empty())
            start = lines_.LineNumber();
        specimen.Contour.push_back(*point);
        if (!lines_.HadLineEnd())
            Problem(lines_.LineNumber(), "the file ends inside this point line, without a line "
                                         "end: it is probably cut");
    }
    DropClosingPoint(specimen.Contour);
    if (specimen.Contour.size() < kFewestRows) {
        Problem(start != 0 ? start : lines_.LineNumber(),
                specimen.ShortPathName + " skipped: fewer than three points");
        return false;
    }
    return Complete(specimen, start);
}
