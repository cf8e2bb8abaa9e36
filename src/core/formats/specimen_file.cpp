#include "formats/specimen_file.h"

#include "formats/reader_factory.h"
#include "model/coordinate_limit.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <map>

namespace {

// Kinds of problems shown in a summary; the details hold them all.
constexpr std::size_t kSummaryProblems = 3;

std::string LinesText(const CReadingNote& note) {
    if (note.firstLine == 0)
        return {};
    if (note.lastLine > note.firstLine)
        return "lines " + std::to_string(note.firstLine) + " to " + std::to_string(note.lastLine);
    return "line " + std::to_string(note.firstLine);
}

struct SProblemKind {
    const CReadingNote* first = nullptr;
    std::size_t count = 0;
};

// Problems of one text counted together, in the order they first came up.
std::vector<SProblemKind> ProblemKinds(const std::vector<CReadingNote>& notes) {
    std::vector<SProblemKind> kinds;
    std::map<std::string, std::size_t> index;
    for (const CReadingNote& note : notes) {
        if (!note.problem)
            continue;
        const auto [at, added] = index.emplace(note.text, kinds.size());
        if (added)
            kinds.push_back({&note, 0});
        ++kinds[at->second].count;
    }
    return kinds;
}

std::string KindText(const SProblemKind& kind) {
    const std::string lines = LinesText(*kind.first);
    if (kind.count == 1)
        return lines.empty() ? kind.first->text : lines + ": " + kind.first->text;
    return kind.first->text + " (" + std::to_string(kind.count) + " times, first at " + lines + ")";
}

} // namespace

CSpecimenFile::EOutcome CSpecimenFile::Outcome() const {
    if (!error.empty() || specimens.empty())
        return EOutcome::Failed;
    const bool problems = std::any_of(notes.begin(), notes.end(),
                                      [](const CReadingNote& note) { return note.problem; });
    return problems ? EOutcome::Partial : EOutcome::Complete;
}

std::string CSpecimenFile::Summary(const std::string& name) const {
    std::string text = name + ": ";
    if (format.empty())
        return text + error;
    text += specimens.empty() ? "no specimen" : CountOf(specimens.size(), "specimen", "specimens");
    text += " (" + format + ")";
    for (const CReadingNote& note : notes)
        if (!note.problem)
            text += "; " + note.text;
    const std::vector<SProblemKind> kinds = ProblemKinds(notes);
    for (std::size_t i = 0; i < kinds.size() && i < kSummaryProblems; ++i)
        text += "; " + KindText(kinds[i]);
    if (kinds.size() > kSummaryProblems)
        text += "; " + CountOf(kinds.size() - kSummaryProblems, "more kind", "more kinds") +
                " of problem";
    if (!error.empty())
        text += "; " + error;
    return text;
}

std::vector<std::string> CSpecimenFile::Details(const std::string& name) const {
    std::vector<std::string> lines;
    for (const CReadingNote& note : notes) {
        const std::string where = LinesText(note);
        lines.push_back(name + (where.empty() ? "" : ", " + where) + ": " + note.text);
    }
    return lines;
}

bool CSpecimenFile::SummaryTellsAll() const {
    const std::vector<SProblemKind> kinds = ProblemKinds(notes);
    return kinds.size() <= kSummaryProblems &&
           std::all_of(kinds.begin(), kinds.end(),
                       [](const SProblemKind& kind) { return kind.count == 1; });
}

// A coordinate beyond the limit documents keep would make the saved document unreadable.
bool WithinCoordinateLimit(const CSpecimen& specimen) {
    const auto inside = [](const FPoint& p) {
        return std::fabs(p.x) <= kMaxCoordinateMagnitude &&
               std::fabs(p.y) <= kMaxCoordinateMagnitude;
    };
    return std::all_of(specimen.Contour.begin(), specimen.Contour.end(), inside) &&
           std::all_of(specimen.Landmarks.begin(), specimen.Landmarks.end(), inside);
}

CSpecimenFile ReadSpecimensWith(CSpecimenReader& reader, bool* lastReachedEnd) {
    CSpecimenFile file;
    std::vector<CReadingNote> refused;
    file.path = reader.GetPath();
    file.format = reader.FormatName();
    try {
        for (bool first = true;; first = false) {
            auto specimen = std::make_unique<CSpecimen>();
            if (!(first ? reader.ReadFirst(*specimen) : reader.ReadNext(*specimen)))
                break;
            if (WithinCoordinateLimit(*specimen))
                file.specimens.push_back(std::move(specimen));
            else
                refused.push_back({0, 0,
                                   specimen->ShortPathName +
                                       " skipped: a coordinate lies beyond 1e15, more than a "
                                       "document can keep",
                                   true});
            if (lastReachedEnd)
                *lastReachedEnd = reader.AtEndOfText();
        }
    } catch (const std::exception& failure) {
        file.error = failure.what();
    }
    reader.NoteTotals();
    file.notes = reader.GetNotes();
    file.notes.insert(file.notes.end(), refused.begin(), refused.end());
    if (const std::int64_t more = reader.GetUnlistedProblems(); more > 0)
        file.notes.push_back({0, 0, std::to_string(more) + " more problems not listed", true});
    return file;
}

CSpecimenFile ReadSpecimenFile(const std::string& path) {
    CInputStream input = CInputStream::Open(path);
    return ReadSpecimenInput(path, input);
}

CSpecimenFile ReadSpecimenText(const std::string& path, std::string text) {
    CInputStream input = CInputStream::OfText(std::move(text));
    return ReadSpecimenInput(path, input);
}

CSpecimenFile ReadSpecimenInput(const std::string& path, CInputStream& input) {
    CSpecimenFile file;
    file.path = path;
    if (!input.Error().empty()) {
        file.error = "cannot open file: " + input.Error();
        return file;
    }
    CLineCursor lines(input);
    const bool empty = lines.AtEnd();
    const std::unique_ptr<CSpecimenReader> reader = CreateSpecimenReader(path, lines);
    bool lastReachedEnd = false;
    std::int64_t endLine = 0;
    if (reader) {
        file = ReadSpecimensWith(*reader, &lastReachedEnd);
        endLine = reader->EndLine();
    } else {
        // The start read for the format tests; a failure further on is not reached.
        const std::string_view start = lines.Ahead(0);
        endLine = 1 + std::count(start.begin(), start.end(), '\n');
    }
    if (input.FailedWhileReading()) {
        if (!file.specimens.empty() && lastReachedEnd)
            file.specimens.pop_back();
        file.error = "read error at line " + std::to_string(endLine) + ": " + input.Error() +
                     "; " + CountOf(file.specimens.size(), "specimen", "specimens") +
                     " before it kept";
    } else if (!reader) {
        file.error = empty ? "the file is empty"
                           : std::string("not an outline file of a known format (") +
                                 KnownFormatNames() + ")";
    }
    return file;
}
