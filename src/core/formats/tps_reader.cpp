#include "formats/tps_reader.h"

#include "model/specimen.h"
#include "platform/scan_format.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

struct SKeyword {
    std::string key; // upper case
    std::string_view value;
};

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "KEY=value" with a key of letters, in any case; the value without blanks around it and
// without repetitions of its own key ("IMAGE=IMAGE=x" gives "x").
bool ParseKeyword(std::string_view line, SKeyword& keyword) {
    line = TrimBlanks(line);
    std::size_t i = 0;
    while (i < line.size() && IsLetter(line[i]))
        ++i;
    if (i == 0 || i >= line.size() || line[i] != '=')
        return false;
    keyword.key.assign(line.substr(0, i));
    std::transform(keyword.key.begin(), keyword.key.end(), keyword.key.begin(),
                   [](char c) { return static_cast<char>(c & ~0x20); });
    std::string_view value = TrimBlanks(line.substr(i + 1));
    const auto repeatsKey = [&](std::string_view v) {
        if (v.size() <= keyword.key.size() || v[keyword.key.size()] != '=')
            return false;
        for (std::size_t k = 0; k < keyword.key.size(); ++k)
            if ((v[k] & ~0x20) != keyword.key[k])
                return false;
        return true;
    };
    while (repeatsKey(value))
        value = TrimBlanks(value.substr(keyword.key.size() + 1));
    keyword.value = value;
    return true;
}

// Point lines start with a number; a keyword line, with a letter.
bool IsKeywordLine(std::string_view line) {
    if (!line.empty() && line[0] != ' ' && line[0] != '\t' && !IsLetter(line[0]))
        return false;
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || !IsLetter(line[first]))
        return false;
    SKeyword keyword;
    return ParseKeyword(line, keyword);
}

bool IsTrailerKeyword(std::string_view key) {
    return key == "IMAGE" || key == "ID" || key == "COMMENT" || key == "VARIABLES" ||
           key == "SCALE";
}

bool ReadCount(std::string_view value, std::int64_t& count) {
    int n = 0;
    if (Scan(value, "%d", &n) != 1)
        return false;
    count = std::max(n, 0);
    return true;
}

// Coordinates are kept in thousandths of the file's unit per pixel.
void ApplyScale(std::vector<FPoint>& points, float scale) {
    const float factor = static_cast<float>(scale * 1000.0);
    for (FPoint& point : points) {
        point.x *= factor;
        point.y *= factor;
    }
}

// Curves joined end to start, a point shared by two curves taken once, closed.
std::vector<FPoint> JoinCurves(const std::vector<std::vector<FPoint>>& curves) {
    std::vector<FPoint> outline;
    for (const std::vector<FPoint>& curve : curves) {
        for (std::size_t i = 0; i < curve.size(); ++i)
            if (i > 0 || outline.empty() || !(curve[i] == outline.back()))
                outline.push_back(curve[i]);
    }
    if (outline.size() > 1 && outline.front() == outline.back())
        outline.pop_back();
    return outline;
}

} // namespace

struct CTpsReader::SParts {
    std::vector<FPoint> landmarks;
    std::vector<std::vector<FPoint>> outlines;
    std::vector<std::vector<FPoint>> curves;
    std::string image;
    std::string id;
    std::string comment;
    std::string variables;
    std::optional<float> scale;
    enum { None, Outlines, Curves } section = None;
    bool trailerSeen = false;
};

bool IsTpsFile(std::string_view text) {
    CLineCursor lines(text);
    std::string_view line;
    for (int seen = 0; seen < 2 && lines.Next(line);) {
        SKeyword keyword;
        if (TrimBlanks(line).empty())
            continue;
        ++seen;
        std::int64_t count = 0;
        if (ParseKeyword(line, keyword) && keyword.key == "LM" && ReadCount(keyword.value, count))
            return true;
    }
    return false;
}

bool CTpsReader::ReadNext(CSpecimen& specimen) {
    for (;;) {
        std::int64_t landmarks = 0;
        if (!FindLandmarkLine(landmarks))
            return false;
        if (ReadSpecimen(specimen, landmarks))
            return true;
    }
}

// Lines before a specimen's "LM=" line belong to no specimen: they are skipped and named.
bool CTpsReader::FindLandmarkLine(std::int64_t& count) {
    std::string_view line;
    while (lines_.Next(line)) {
        if (TrimBlanks(line).empty())
            continue;
        SKeyword keyword;
        if (ParseKeyword(line, keyword) && keyword.key == "LM") {
            if (ReadCount(keyword.value, count))
                return true;
        }
        Problem(lines_.LineNumber(), "skipped: not part of a specimen (a specimen starts with LM=)");
    }
    return false;
}

bool CTpsReader::ReadSpecimen(CSpecimen& specimen, std::int64_t landmarkCount) {
    const std::int64_t start = lines_.LineNumber();
    StartSpecimen(specimen, "Thinplate Spline");
    const std::string name = specimen.ShortPathName;
    SParts parts;
    switch (ReadPointBlock(landmarkCount, parts.landmarks)) {
    case EBlockEnd::EndOfFile:
        Problem(start, name + " skipped: the file ends inside its landmarks");
        return false;
    case EBlockEnd::Keyword:
        Problem(start, "LM=" + std::to_string(landmarkCount) + " but only " +
                           CountOf(parts.landmarks.size(), "landmark", "landmarks") + " follow");
        break;
    case EBlockEnd::Complete:
        break;
    }
    return ReadSections(parts, name) && Assemble(specimen, parts, start);
}

// Everything up to the next "LM=" line; false when the specimen breaks off.
bool CTpsReader::ReadSections(SParts& parts, const std::string& name) {
    std::string_view line;
    for (;;) {
        if (!lines_.Next(line))
            return true;
        if (TrimBlanks(line).empty())
            continue;
        SKeyword keyword;
        if (!ParseKeyword(line, keyword)) {
            Problem(lines_.LineNumber(), "skipped: not a keyword line, and no POINTS= count is open");
            continue;
        }
        // The next specimen; or one whose "LM=" line is missing: outlines and curves come
        // before the keyword lines of their own specimen.
        const bool section =
            keyword.key == "OUTLINES" || keyword.key == "CURVES" || keyword.key == "POINTS";
        if (keyword.key == "LM" || (section && parts.trailerSeen)) {
            lines_.Unread();
            return true;
        }
        parts.trailerSeen = parts.trailerSeen || IsTrailerKeyword(keyword.key);
        if (!ReadKeywordLine(keyword.key, keyword.value, parts, name))
            return false;
    }
}

bool CTpsReader::ReadKeywordLine(std::string_view key, std::string_view value, SParts& parts,
                                 const std::string& name) {
    // A non-empty value replaces the field; an empty one keeps it.
    const auto take = [&](std::string& field) {
        if (!value.empty())
            field = TextField(value);
    };
    if (key == "OUTLINES")
        parts.section = SParts::Outlines;
    else if (key == "CURVES")
        parts.section = SParts::Curves;
    else if (key == "POINTS")
        return ReadPoints(value, parts, name);
    else if (key == "IMAGE")
        take(parts.image);
    else if (key == "ID")
        take(parts.id);
    else if (key == "COMMENT")
        take(parts.comment);
    else if (key == "VARIABLES")
        take(parts.variables);
    else if (key == "SCALE")
        ReadScale(value, parts);
    else
        Problem(lines_.LineNumber(), "skipped: unknown keyword " + std::string(key) + "=");
    return true;
}

// A "POINTS=" block of the current outline or curve section; false when the file ends in it.
bool CTpsReader::ReadPoints(std::string_view value, SParts& parts, const std::string& name) {
    const std::int64_t at = lines_.LineNumber();
    std::int64_t count = 0;
    if (!ReadCount(value, count)) {
        Problem(at, "skipped: POINTS= without a count");
        return true;
    }
    if (parts.section == SParts::None) {
        Inform("POINTS= without OUTLINES= read as an outline");
        parts.section = SParts::Outlines;
    }
    auto& blocks = parts.section == SParts::Outlines ? parts.outlines : parts.curves;
    std::vector<FPoint>& block = blocks.emplace_back();
    switch (ReadPointBlock(count, block)) {
    case EBlockEnd::EndOfFile:
        Problem(at, name + " skipped: the file ends after " + std::to_string(block.size()) +
                        " of " + CountOf(count, "point", "points") + "; it is probably cut");
        return false;
    case EBlockEnd::Keyword:
        Problem(at, "POINTS=" + std::to_string(count) + " but only " +
                        CountOf(block.size(), "point follows", "points follow"));
        break;
    case EBlockEnd::Complete:
        break;
    }
    return true;
}

// Several SCALE lines must not scale twice: the last one counts, applied once.
void CTpsReader::ReadScale(std::string_view value, SParts& parts) {
    float scale = 0.0f;
    if (Scan(value, "%f", &scale) == 1 && std::isfinite(scale))
        parts.scale = scale;
    else
        Problem(lines_.LineNumber(), "skipped: SCALE= without a number");
}

// Up to `count` point lines; a keyword line (read again by the caller) or the end of the file
// ends the block early.
CTpsReader::EBlockEnd CTpsReader::ReadPointBlock(std::int64_t count, std::vector<FPoint>& points) {
    // The count comes from the file: only an ordinary outline's room is reserved by it.
    constexpr std::int64_t kReservedPoints = 4096;
    points.reserve(static_cast<std::size_t>(std::min(count, kReservedPoints)));
    std::string_view line;
    for (std::int64_t i = 0; i < count; ++i) {
        if (!lines_.Next(line))
            return EBlockEnd::EndOfFile;
        if (IsKeywordLine(line)) {
            lines_.Unread();
            return EBlockEnd::Keyword;
        }
        const std::optional<FPoint> point = ReadPoint(line);
        if (point && lines_.HadLineEnd())
            points.push_back(*point);
        else
            AppendPointOfLine(point, points);
    }
    return EBlockEnd::Complete;
}

std::optional<FPoint> CTpsReader::ReadPoint(std::string_view line) {
    float x = 0.0f;
    float y = 0.0f;
    if (ScanFloatPair(line, x, y) == 2 && std::isfinite(x) && std::isfinite(y))
        return FPoint(x, y);
    return std::nullopt;
}

bool CTpsReader::Assemble(CSpecimen& specimen, SParts& parts, std::int64_t start) {
    const std::string& name = specimen.ShortPathName;
    std::vector<FPoint> contour;
    if (!parts.outlines.empty()) {
        contour = std::move(parts.outlines.front());
        if (parts.outlines.size() > 1)
            Problem(start, name + ": only the first of its " +
                               std::to_string(parts.outlines.size()) + " outlines read");
        if (!parts.curves.empty())
            Inform("curves of specimens with an outline not read");
    } else if (!parts.curves.empty()) {
        contour = JoinCurves(parts.curves);
    }
    if (contour.empty()) {
        Problem(start, name + (parts.landmarks.empty() ? " skipped: it has no outline"
                                                       : " skipped: it has landmarks, no outline"));
        return false;
    }
    if (parts.scale) {
        specimen.ScaleFactor = *parts.scale;
        specimen.ScaleSpecified = true;
        ApplyScale(contour, *parts.scale);
        ApplyScale(parts.landmarks, *parts.scale);
    }
    specimen.Contour = std::move(contour);
    specimen.Landmarks = std::move(parts.landmarks);
    specimen.ImageFile = std::move(parts.image);
    specimen.Identifier = std::move(parts.id);
    specimen.Comment = std::move(parts.comment);
    specimen.Variables = std::move(parts.variables);
    if (!Complete(specimen, start))
        return false;
    if (parts.outlines.empty())
        ++joined_[parts.curves.size()];
    if (!specimen.Landmarks.empty())
        ++landmarks_[specimen.Landmarks.size()];
    return true;
}

void CTpsReader::NoteTotals() {
    for (const auto& [curves, outlines] : joined_) {
        const std::string each = outlines > 1 ? " each" : "";
        Inform(curves == 1 ? CountOf(outlines, "outline", "outlines") + " taken from a curve"
                           : CountOf(outlines, "outline", "outlines") + " joined from " +
                                 std::to_string(curves) + " curves" + each);
    }
    for (const auto& [count, specimens] : landmarks_)
        Inform(CountOf(count, "landmark", "landmarks") + " kept" +
               (specimens > 1 ? " with each of " + std::to_string(specimens) + " specimens" : ""));
}
