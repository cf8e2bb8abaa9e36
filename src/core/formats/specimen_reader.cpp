#include "formats/specimen_reader.h"

#include "model/specimen.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsFinite(FPoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

} // namespace

void CSpecimenReader::Inform(std::string text) {
    if (told_.insert(text).second)
        notes_.push_back({0, 0, std::move(text), false});
}

// A run of lines with the same problem makes one note; beyond a bound, problems are only
// counted, so that a hostile file cannot fill the memory with notes.
void CSpecimenReader::Problem(std::int64_t firstLine, std::int64_t lastLine, std::string text) {
    if (!notes_.empty()) {
        CReadingNote& last = notes_.back();
        if (last.problem && last.lastLine + 1 == firstLine && last.text == text) {
            last.lastLine = lastLine;
            return;
        }
    }
    if (listedProblems_ >= kListedProblems) {
        ++unlistedProblems_;
        return;
    }
    ++listedProblems_;
    notes_.push_back({firstLine, lastLine, std::move(text), true});
}

void CSpecimenReader::StartSpecimen(CSpecimen& specimen, const char* fileType) {
    specimen.Contour.clear();
    specimen.Landmarks.clear();
    specimen.ScaleFactor = 1.0f;
    specimen.ScaleSpecified = false;
    specimen.ImageFile.clear();
    specimen.Identifier.clear();
    specimen.Comment.clear();
    specimen.Variables.clear();
    const std::string path = WithoutControlCharacters(Utf8FromExternalText(path_));
    specimen.PathName = path;
    specimen.ShortPathName = ShortNameOfPath(path);
    if (specimenNumber_ > 1)
        specimen.ShortPathName += " (" + std::to_string(specimenNumber_) + ")";
    specimen.FileType = fileType;
    ++specimenNumber_;
}

void CSpecimenReader::AppendPointOfLine(const std::optional<FPoint>& point,
                                        std::vector<FPoint>& points) {
    const std::int64_t at = lines_.LineNumber();
    if (point) {
        points.push_back(*point);
    } else if (!points.empty()) {
        points.push_back(points.back());
        Problem(at, "no two numbers in a point line: the previous point repeated");
    } else {
        Problem(at, "no two numbers in a first point line: the line skipped");
    }
    if (!lines_.HadLineEnd())
        Problem(at, "the file ends inside this point line, without a line end: it is "
                    "probably cut");
}

std::string CSpecimenReader::TextField(std::string_view raw) {
    std::string text = Utf8FromExternalText(raw);
    if (text.size() != raw.size() || text != raw)
        Inform("text that is not UTF-8 read as Windows-1252");
    std::string clean = WithoutControlCharacters(text);
    if (clean.size() != text.size())
        Inform("control characters dropped from text");
    return clean;
}

bool CSpecimenReader::Complete(CSpecimen& specimen, std::int64_t line) {
    if (specimen.Contour.empty()) {
        Problem(line, specimen.ShortPathName + " skipped: it has no outline points");
        return false;
    }
    if (!HasFiniteContour(specimen)) {
        Problem(line, specimen.ShortPathName +
                          " skipped: its coordinates (times its scale) are too large for numbers");
        return false;
    }
    specimen.NormalizeOrientation();
    specimen.CalculateStatistics();
    return true;
}

void CSpecimenReader::DropClosingPoint(std::vector<FPoint>& points) {
    if (points.size() > 1 && points.front() == points.back())
        points.pop_back();
}

std::string ShortNameOfPath(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HasFiniteContour(const CSpecimen& specimen) {
    return std::all_of(specimen.Contour.begin(), specimen.Contour.end(), IsFinite) &&
           std::all_of(specimen.Landmarks.begin(), specimen.Landmarks.end(), IsFinite);
}

std::string CountOf(std::size_t count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}
