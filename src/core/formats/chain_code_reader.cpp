#include "formats/chain_code_reader.h"

#include "formats/text_fields.h"
#include "model/specimen.h"

#include <cmath>

namespace {

constexpr int kStepX[8] = {1, 1, 0, -1, -1, -1, 0, 1};
constexpr int kStepY[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr std::size_t kFirstCode = 5;

int CodeOf(std::string_view field) {
    return field.size() == 1 && field[0] >= '0' && field[0] <= '7' ? field[0] - '0' : -1;
}

bool IsEndMark(std::string_view field) {
    return field == "-1";
}

bool HasChainHeader(const std::vector<std::string_view>& fields) {
    return fields.size() > kFirstCode && FieldInteger(fields[1]) && FieldInteger(fields[2]) &&
           FieldNumber(fields[3]) && FieldInteger(fields[4]);
}

} // namespace

bool IsChainCodeFile(std::string_view text) {
    CLineCursor lines(text);
    std::string_view line;
    while (lines.Next(line) && TrimBlanks(line).empty()) {
    }
    const std::vector<std::string_view> fields = SplitAtBlanks(line);
    if (!HasChainHeader(fields) || CodeOf(fields[kFirstCode]) < 0)
        return false;
    for (std::size_t i = kFirstCode; i < fields.size(); ++i)
        if (CodeOf(fields[i]) < 0 && !(IsEndMark(fields[i]) && i + 1 == fields.size()))
            return false;
    return true;
}

bool CChainCodeReader::ReadNext(CSpecimen& specimen) {
    std::string_view line;
    while (lines_.Next(line)) {
        if (TrimBlanks(line).empty())
            continue;
        StartSpecimen(specimen, "Chain Code");
        if (ReadChain(line, specimen))
            return true;
    }
    return false;
}

bool CChainCodeReader::ReadChain(std::string_view line, CSpecimen& specimen) {
    const std::vector<std::string_view> fields = SplitAtBlanks(line);
    if (!HasChainHeader(fields))
        return Fail(specimen, "no chain line (name, x, y, scale, pixel count, codes)");
    const std::string name = TextField(fields[0]);
    if (!name.empty()) {
        specimen.ShortPathName = name;
        specimen.Identifier = name;
    }
    std::int64_t x = *FieldInteger(fields[1]);
    std::int64_t y = *FieldInteger(fields[2]);
    const float scale = *FieldNumber(fields[3]);
    float factor = 1.0f;
    if (scale > 0.0f) {
        // As a TPS scale: thousandths of the file's unit per pixel.
        specimen.ScaleFactor = scale;
        specimen.ScaleSpecified = true;
        factor = static_cast<float>(scale * 1000.0);
    }
    const auto point = [&] {
        return FPoint(static_cast<float>(x) * factor, static_cast<float>(y) * factor);
    };
    const std::int64_t startX = x;
    const std::int64_t startY = y;
    specimen.Contour.push_back(point());
    std::size_t i = kFirstCode;
    for (; i < fields.size() && !IsEndMark(fields[i]); ++i) {
        const int code = CodeOf(fields[i]);
        if (code < 0)
            return Fail(specimen, "\"" + TextField(fields[i]) + "\" is no chain code (0 to 7)");
        x += kStepX[code];
        y += kStepY[code];
        specimen.Contour.push_back(point());
    }
    if (i == fields.size())
        return Fail(specimen, lines_.HadLineEnd()
                                  ? "the chain has no end mark -1"
                                  : "the chain has no end mark -1; the line is probably cut");
    if (i + 1 < fields.size())
        Problem(lines_.LineNumber(), "skipped: text after the end mark -1 of its chain");
    const bool closed = x == startX && y == startY;
    if (closed)
        specimen.Contour.pop_back();
    if (specimen.Contour.size() < 3)
        return Fail(specimen, "its chain encloses nothing");
    open_ += closed ? 0 : 1;
    return Complete(specimen, lines_.LineNumber());
}

bool CChainCodeReader::Fail(const CSpecimen& specimen, const std::string& why) {
    Problem(lines_.LineNumber(), specimen.ShortPathName + " skipped: " + why);
    return false;
}

void CChainCodeReader::NoteTotals() {
    if (open_ > 0)
        Inform(CountOf(static_cast<std::size_t>(open_), "chain does", "chains do") +
               " not return to the start; the outline is closed by a straight line");
}
