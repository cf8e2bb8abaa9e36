#include "formats/tps_reader.h"

#include "model/specimen.h"
#include "platform/scan_format.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

namespace {

// A keyword line of the trailer: a non-empty value replaces the field, an empty one keeps it.
bool TakeKeyword(std::string_view line, std::string_view keyword, std::string& field) {
    if (!line.starts_with(keyword))
        return false;
    if (line.size() > keyword.size())
        field.assign(line.substr(keyword.size()));
    return true;
}

void CutAtLineEnd(std::string& line) {
    const std::size_t end = line.find_first_of("\r\n");
    if (end != std::string::npos)
        line.resize(end);
}

void ApplyScale(CSpecimen& specimen, float scale) {
    specimen.ScaleFactor = scale;
    specimen.ScaleSpecified = true;
    // Coordinates are kept in thousandths of the file's unit per pixel.
    const float factor = static_cast<float>(scale * 1000.0);
    for (FPoint& point : specimen.Contour) {
        point.x *= factor;
        point.y *= factor;
    }
}

} // namespace

bool IsTpsFile(const std::string& path) {
    CTextLineReader file;
    if (!file.Open(path))
        return false;
    bool found = false;
    std::string line;
    for (int i = 0; i < 2 && file.ReadLine(line); ++i) {
        int landmarks = 0;
        if (Scan(line, "LM=%d", &landmarks) == 1)
            found = true;
    }
    return found;
}

bool CTpsReader::ReadFirst(CSpecimen& specimen) {
    if (!file_.Open(path_))
        return false;
    return ReadNext(specimen);
}

bool CTpsReader::ReadNext(CSpecimen& specimen) {
    specimen.PathName = path_;
    specimen.ShortPathName = ShortNameOfPath(path_);
    if (specimenNumber_ > 1)
        specimen.ShortPathName += " (" + std::to_string(specimenNumber_) + ")";
    specimen.FileType = "Thinplate Spline";

    std::string line;
    int landmarks = 0;
    if (!file_.ReadLine(line) || Scan(line, "LM=%d", &landmarks) != 1)
        return Fail();
    SkipLandmarks(landmarks);
    if (!ReadOutline(specimen))
        return Fail();
    ReadTrailer(specimen);
    if (!HasFiniteContour(specimen))
        return Fail();

    specimen.NormalizeOrientation();
    specimen.CalculateStatistics();
    ++specimenNumber_;
    return true;
}

bool CTpsReader::Fail() {
    file_.Close();
    return false;
}

void CTpsReader::SkipLandmarks(int count) {
    // Landmarks are not kept. A file ending inside them simply leaves a specimen without a
    // contour; stopping at the end spares a huge count its useless reads.
    std::string line;
    for (int i = 0; i < count; ++i)
        if (!file_.ReadLine(line))
            return;
}

// Only the first outline of a specimen is read; false when the specimen is broken.
bool CTpsReader::ReadOutline(CSpecimen& specimen) {
    std::string line;
    if (!file_.ReadLine(line))
        return true;
    int outlines = 0;
    if (Scan(line, "OUTLINES=%d", &outlines) != 1)
        return false;
    if (!file_.ReadLine(line))
        return true;
    int points = 0;
    if (Scan(line, "POINTS=%d", &points) != 1)
        return true; // the line is dropped; the trailer follows
    return ReadPoints(specimen, points);
}

bool CTpsReader::ReadPoints(CSpecimen& specimen, int count) {
    // The count comes from the file: only an ordinary outline's room is reserved by it, the
    // lines present decide the rest.
    constexpr int kReservedPoints = 4096;
    specimen.Contour.reserve(specimen.Contour.size() +
                             static_cast<std::size_t>(std::clamp(count, 0, kReservedPoints)));
    std::string line;
    FPoint previous;
    for (int i = 0; i < count; ++i) {
        if (!file_.ReadLine(line))
            return false;
        float x = 0.0f;
        float y = 0.0f;
        // A line without two finite numbers repeats the previous point rather than being dropped.
        if (ScanFloatPair(line, x, y) == 2 && std::isfinite(x) && std::isfinite(y))
            previous = FPoint(x, y);
        specimen.Contour.push_back(previous);
    }
    return true;
}

void CTpsReader::ReadTrailer(CSpecimen& specimen) {
    // Several SCALE lines must not scale twice: the last one counts, applied once at the end.
    std::optional<float> scale;
    std::string line;
    for (;;) {
        const std::int64_t position = file_.Tell();
        if (!file_.ReadLine(line))
            break;
        CutAtLineEnd(line);
        if (TakeKeyword(line, "IMAGE=", specimen.ImageFile) ||
            TakeKeyword(line, "ID=", specimen.Identifier) ||
            TakeKeyword(line, "COMMENT=", specimen.Comment) ||
            TakeKeyword(line, "VARIABLES=", specimen.Variables))
            continue;
        float value = 0.0f;
        if (Scan(line, "SCALE=%f", &value) == 1) {
            if (std::isfinite(value)) // a scale that is no number is ignored like an empty value
                scale = value;
            continue;
        }
        file_.Seek(position); // the line starts the next specimen
        break;
    }
    if (scale)
        ApplyScale(specimen, *scale);
}
