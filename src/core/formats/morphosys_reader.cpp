#include "formats/morphosys_reader.h"

#include "model/specimen.h"
#include "platform/scan_format.h"

#include <cmath>

namespace {

bool IsHeader(const std::string& line) {
    int number = 0;
    std::string name;
    return Scan(line, "F %d %s", &number, &name) == 2;
}

} // namespace

bool IsMorphosysFile(const std::string& path) {
    CTextLineReader file;
    std::string line;
    std::string name;
    return file.Open(path) && file.ReadLine(line) && Scan(line, "F 1 %s", &name) == 1;
}

bool CMorphosysReader::ReadFirst(CSpecimen& specimen) {
    if (!file_.Open(path_))
        return false;
    specimen.ShortPathName = ShortNameOfPath(path_);
    return ReadSpecimen(specimen, true);
}

bool CMorphosysReader::ReadNext(CSpecimen& specimen) {
    specimen.ShortPathName = ShortNameOfPath(path_) + " (" + std::to_string(specimenNumber_) + ")";
    return ReadSpecimen(specimen, false);
}

bool CMorphosysReader::ReadSpecimen(CSpecimen& specimen, bool first) {
    specimen.PathName = path_;
    specimen.FileType = kMorphosysFileType;
    std::string line;
    if (first) {
        if (!file_.ReadLine(line))
            return Complete(specimen); // an empty file gives one empty outline
        if (!IsHeader(line))
            return Fail();
    } else if (!FindHeader()) {
        return Fail();
    }
    file_.ReadLine(line); // the line after the header carries nothing needed

    SChain chain;
    ReadScale(specimen, chain, first);
    std::string word;
    if (!file_.ReadLine(line) || Scan(line, "C 1 : %s", &word) != 1)
        return Fail();
    return ReadChain(specimen, chain) ? Complete(specimen) : Fail();
}

bool CMorphosysReader::FindHeader() {
    std::string line;
    while (file_.ReadLine(line))
        if (IsHeader(line))
            return true;
    return false;
}

void CMorphosysReader::ReadScale(CSpecimen& specimen, SChain& chain, bool first) {
    std::string line;
    if (!file_.ReadLine(line))
        return;
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
    if (!std::isfinite(sx) || !std::isfinite(sy) || sx == 0.0f || sy == 0.0f)
        return;
    chain.sx = sx;
    chain.sy = sy;
    specimen.ScaleSpecified = true;
    specimen.ScaleFactor = chain.sx;
}

bool CMorphosysReader::ReadChain(CSpecimen& specimen, SChain& chain) {
    std::string line;
    int x = 0;
    int y = 0;
    int count = 0;
    if (!file_.ReadLine(line) || Scan(line, "%d %d %d", &x, &y, &count) != 3)
        return false;
    // The position is kept wide so that no number of steps can overflow it.
    chain.x = x;
    chain.y = y;
    specimen.Contour.emplace_back(static_cast<float>(chain.x) * chain.sx,
                                  static_cast<float>(chain.y) * chain.sy);
    std::int64_t steps = count;
    while (steps > 0) {
        // A file ending before all steps were read is broken: the outline would be open.
        if (!file_.ReadLine(line) || !WalkChainLine(line, specimen, chain, steps))
            return false;
    }
    return true;
}

// Walks one line to its line feed, even past the last step; false on any other character or
// when the line has no line feed (the last line of the file, or a piece of a too long line).
bool CMorphosysReader::WalkChainLine(const std::string& line, CSpecimen& specimen, SChain& chain,
                                     std::int64_t& steps) {
    for (const char c : line) {
        switch (c) {
        case '\n':
            return true;
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
            return false;
        }
        specimen.Contour.emplace_back(static_cast<float>(chain.x) * chain.sx,
                                      static_cast<float>(chain.y) * chain.sy);
        --steps;
    }
    return false;
}

bool CMorphosysReader::Complete(CSpecimen& specimen) {
    if (!HasFiniteContour(specimen))
        return Fail();
    specimen.NormalizeOrientation();
    specimen.CalculateStatistics();
    ++specimenNumber_;
    return true;
}

bool CMorphosysReader::Fail() {
    file_.Close();
    return false;
}
