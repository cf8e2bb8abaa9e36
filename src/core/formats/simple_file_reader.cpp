#include "formats/simple_file_reader.h"

#include "model/int_round.h"
#include "model/specimen.h"
#include "platform/scan_format.h"

namespace {

constexpr int kTestedLines = 10;

bool IsPointsLine(const std::string& line, int& count) {
    return Scan(line, "POINTS=%d", &count) == 1;
}

} // namespace

bool IsSimpleFile(const std::string& path) {
    CTextLineReader file;
    if (!file.Open(path))
        return false;
    bool found = false;
    std::string line;
    for (int i = 0; i < kTestedLines && file.ReadLine(line); ++i) {
        int count = 0;
        if (IsPointsLine(line, count))
            found = true;
    }
    return found;
}

bool CSimpleFileReader::ReadFirst(CSpecimen& specimen) {
    if (!file_.Open(path_))
        return false;
    specimen.ShortPathName = ShortNameOfPath(path_);
    return ReadBlock(specimen);
}

bool CSimpleFileReader::ReadNext(CSpecimen& specimen) {
    specimen.ShortPathName = ShortNameOfPath(path_) + " (" + std::to_string(specimenNumber_) + ")";
    return ReadBlock(specimen);
}

bool CSimpleFileReader::ReadBlock(CSpecimen& specimen) {
    specimen.PathName = path_;
    specimen.FileType = "Simple File Format";
    int count = 0;
    if (!FindPointCount(count) || !ReadPoints(specimen, count))
        return Fail();
    specimen.NormalizeOrientation();
    specimen.CalculateStatistics();
    ++specimenNumber_;
    // The line after a block is dropped, whatever it holds.
    std::string line;
    file_.ReadLine(line);
    return true;
}

bool CSimpleFileReader::FindPointCount(int& count) {
    std::string line;
    while (file_.ReadLine(line))
        if (IsPointsLine(line, count))
            return true;
    return false;
}

bool CSimpleFileReader::ReadPoints(CSpecimen& specimen, int count) {
    // The count comes from the file: nothing is reserved by it, the lines present decide.
    std::string line;
    FPoint previous;
    for (int i = 0; i < count; ++i) {
        if (!file_.ReadLine(line))
            return false;
        float x = 0.0f;
        float y = 0.0f;
        // Coordinates are whole pixels; a line without two numbers repeats the previous point.
        if (Scan(line, "%f %f", &x, &y) == 2)
            previous = FPoint(TruncToInt(x), TruncToInt(y));
        specimen.Contour.push_back(previous);
    }
    return true;
}

bool CSimpleFileReader::Fail() {
    file_.Close();
    return false;
}
