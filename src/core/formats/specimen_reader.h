#pragma once

#include "formats/reading_note.h"
#include "model/fpoint.h"
#include "platform/line_cursor.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class CSpecimen;

// The common interface of the outline readers. A reader lives for one file, whose lines it
// reads once from the start to the end: ReadFirst once, then ReadNext until it returns false
// at the end of the file. Each successful read fills the given empty specimen and completes it
// (orientation, statistics, halves). A specimen that cannot be read whole is skipped, and the
// reader goes on with the next one; everything skipped or changed is kept as a note with its
// line, so that the front ends can say what happened. No reader shows a message.
class CSpecimenReader {
public:
    // The reader of the lines ahead of the cursor.
    CSpecimenReader(std::string path, CLineCursor lines)
        : lines_(std::move(lines)), path_(std::move(path)) {}
    // The reader of a text the caller keeps alive as long as the reader.
    CSpecimenReader(std::string path, std::string_view text)
        : CSpecimenReader(std::move(path), CLineCursor(text)) {}
    virtual ~CSpecimenReader() = default;
    CSpecimenReader(const CSpecimenReader&) = delete;
    CSpecimenReader& operator=(const CSpecimenReader&) = delete;

    virtual bool ReadFirst(CSpecimen& specimen) = 0;
    virtual bool ReadNext(CSpecimen& specimen) = 0;
    // The format's name in messages.
    virtual const char* FormatName() const = 0;
    // Adds the notes that sum up the whole file; called once, after the last read.
    virtual void NoteTotals() {}

    const std::string& GetPath() const { return path_; }
    // The number the next specimen of the file gets (1 for the first, counted by position in
    // the file, skipped specimens included).
    int GetSpecimenNumber() const { return specimenNumber_; }
    const std::vector<CReadingNote>& GetNotes() const { return notes_; }
    // Problems beyond the listed ones, counted only.
    std::int64_t GetUnlistedProblems() const { return unlistedProblems_; }
    // Whether the reading has reached the end of the text: a specimen read just now may then
    // have been cut short by the end of what could be read.
    bool AtEndOfText() { return lines_.AtEnd(); }
    // The line at which the text ended, once it has been read to its end.
    std::int64_t EndLine() const { return lines_.LineNumber() + (lines_.HadLineEnd() ? 1 : 0); }

protected:
    // How the file was understood: each text once.
    void Inform(std::string text);
    // A part skipped or changed; a run of lines with one problem makes one note.
    void Problem(std::int64_t line, std::string text) { Problem(line, line, std::move(text)); }
    void Problem(std::int64_t firstLine, std::int64_t lastLine, std::string text);

    // Clears what a reader fills in, then gives the specimen its path, short name (with " (n)"
    // from the second specimen of the file on) and file type. The number is then used up,
    // whether the specimen is kept or skipped.
    void StartSpecimen(CSpecimen& specimen, const char* fileType);
    // Appends the point read from the line just read. A line that gave none repeats the
    // previous point (the first line of a block is skipped instead); a point line without a
    // line end is the end of a cut file. Both are noted.
    void AppendPointOfLine(const std::optional<FPoint>& point, std::vector<FPoint>& points);
    // A text field of the file, as UTF-8 without control characters.
    std::string TextField(std::string_view raw);
    // Orientation and statistics of a fully read specimen; false with a note when it has no
    // outline points or its coordinates are not all finite numbers.
    bool Complete(CSpecimen& specimen, std::int64_t line);
    // A closed outline does not repeat its first point at the end.
    static void DropClosingPoint(std::vector<FPoint>& points);

    CLineCursor lines_;
    std::string path_;
    int specimenNumber_ = 1;

private:
    static constexpr std::int64_t kListedProblems = 10000;

    std::vector<CReadingNote> notes_;
    std::set<std::string> told_;
    std::int64_t listedProblems_ = 0;
    std::int64_t unlistedProblems_ = 0;
};

// The part of a path after its last '/' or '\' (the whole path when it has neither).
std::string ShortNameOfPath(const std::string& path);

// Whether every contour and landmark coordinate is a finite number. A specimen whose scaled
// coordinates overflow is broken: its statistics and fit would hold no numbers.
bool HasFiniteContour(const CSpecimen& specimen);

// "1 specimen", "2 specimens".
std::string CountOf(std::size_t count, const char* singular, const char* plural);
