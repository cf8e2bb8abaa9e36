#include "formats/morphosys_reader.h"

#include "model/specimen.h"
#include "platform/scan_format.h"

#include <cmath>

namespace {

bool IsHeader(std::string_view line) {
    int number = 0;
    std::string name;
    return Scan(line, "F %d %s", &number, &name) == 2;
}

} // namespace

bool IsMorphosysFile(std::string_view text) {
    CLineCursor lines(text);
    std::string_view line;
    std::string name;
    return lines.Next(line) && Scan(line, "F 1 %s", &name) == 1;
}

bool CMorphosysReader::ReadNext(CSpecimen& specimen) {
    for (;;) {
        const bool first = specimenNumber_ == 1;
        if (!FindHeader())
            return false;
        StartSpecimen(specimen, "Morphosys");
        afterFailure_ = !ReadSpecimen(specimen, first);
        if (!afterFailure_)
            return true;
    }
}

// Lines before a header are skipped; those after a broken specimen belong to it and were
// reported with it.
bool CMorphosysReader::FindHeader() {
    std::string_view line;
    while (lines_.Next(line)) {
        if (IsHeader(line))
            return true;
        if (!afterFailure_ && !TrimBlanks(line).empty())
            Problem(lines_.LineNumber(), "skipped: not part of a specimen (a specimen starts with F)");
    }
    return false;
}

bool CMorphosysReader::ReadSpecimen(CSpecimen& specimen, bool first) {
    const std::int64_t start = lines_.LineNumber();
    std::string_view line;
    std::string word;
    if (!lines_.Next(line)) // the line after the header carries nothing needed
        return Fail(start, specimen, "the file ends after its header");
    SChain chain;
    if (!lines_.Next(line))
        return Fail(start, specimen, "the file ends before its chain");
    ReadScale(line, specimen, chain, first);
    if (!lines_.Next(line) || Scan(line, "C 1 : %s", &word) != 1)
        return Fail(lines_.LineNumber(), specimen, "no \"C 1 :\" line where its chain begins");
    if (!ReadChain(specimen, chain))
        return false;
    return Complete(specimen, start);
}

void CMorphosysReader::ReadScale(std::string_view line, CSpecimen& specimen, SChain& chain,
                                 bool first) {
    int d1 = 0;
    int d2 = 0;
    float f1 = 0.0f;
    float f2 = 0.0f;
    std::string unit;
    if (Scan(line, "%d %d %f %f %s", &d1, &d2, &f1, &f2, &unit) != 5 || unit != "'mm'")
        return;
    // The first specimen takes 1000 units per millimetre, later ones the file's own numbers.
    // A calibration that gives no finite, non-zero factor (a zero length, no number) is
    // ignored: it would turn the outline into infinities and NaN, or collapse it to a point.
    const float sx = (first ? 1000.0f : static_cast<float>(d1)) / f1;
    const float sy = (first ? 1000.0f : static_cast<float>(d2)) / f2;
    if (!std::isfinite(sx) || !std::isfinite(sy) || sx == 0.0f || sy == 0.0f) {
        Problem(lines_.LineNumber(), "calibration without a usable scale ignored");
        return;
    }
    chain.sx = sx;
    chain.sy = sy;
    specimen.ScaleSpecified = true;
    specimen.ScaleFactor = chain.sx;
}

bool CMorphosysReader::ReadChain(CSpecimen& specimen, SChain& chain) {
    std::string_view line;
    int x = 0;
    int y = 0;
    int count = 0;
    if (!lines_.Next(line) || Scan(line, "%d %d %d", &x, &y, &count) != 3)
        return Fail(lines_.LineNumber(), specimen, "no start line \"x y steps\"");
    // The position is kept wide so that no number of steps can overflow it.
    chain.x = x;
    chain.y = y;
    specimen.Contour.emplace_back(static_cast<float>(chain.x) * chain.sx,
                                  static_cast<float>(chain.y) * chain.sy);
    std::int64_t steps = count;
    while (steps > 0) {
        // A file ending before all steps were read is broken: the outline would be open.
        if (!lines_.Next(line))
            return Fail(lines_.LineNumber(), specimen,
                        "the file ends after " + std::to_string(count - steps) + " of " +
                            CountOf(static_cast<std::size_t>(count), "step", "steps") +
                            "; it is probably cut");
        if (!WalkChainLine(line, specimen, chain, steps))
            return false;
    }
    return true;
}

// Walks one line to its end, even past the last step; false on any other character than a
// code, and for a last line without a line end.
bool CMorphosysReader::WalkChainLine(std::string_view line, CSpecimen& specimen, SChain& chain,
                                     std::int64_t& steps) {
    for (const char c : line) {
        switch (c) {
        case '0':
            ++chain.x;
            break;
        case '1':
            ++chain.y;
            break;
        case '2':
            --chain.x;
            break;
        case '3':
            --chain.y;
            break;
        default:
            return Fail(lines_.LineNumber(), specimen,
                        "a character that is no chain code (0 to 3) in its chain");
        }
        specimen.Contour.emplace_back(static_cast<float>(chain.x) * chain.sx,
                                      static_cast<float>(chain.y) * chain.sy);
        --steps;
    }
    if (!lines_.HadLineEnd())
        return Fail(lines_.LineNumber(), specimen,
                    "its last chain line has no line end; the file is probably cut");
    return true;
}

bool CMorphosysReader::Fail(std::int64_t line, const CSpecimen& specimen, const std::string& why) {
    Problem(line, specimen.ShortPathName + " skipped: " + why);
    return false;
}
