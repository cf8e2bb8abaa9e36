#include "formats/specimen_file.h"

#include "formats/reader_factory.h"

#include <algorithm>
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

// The line of the byte at which reading failed.
std::int64_t LineAt(const std::string& bytes) {
    return 1 + std::count(bytes.begin(), bytes.end(), '\n');
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

CSpecimenFile ReadSpecimensWith(CSpecimenReader& reader) {
    CSpecimenFile file;
    file.path = reader.GetPath();
    file.format = reader.FormatName();
    try {
        for (bool first = true;; first = false) {
            auto specimen = std::make_unique<CSpecimen>();
            if (!(first ? reader.ReadFirst(*specimen) : reader.ReadNext(*specimen)))
                break;
            file.specimens.push_back(std::move(specimen));
            file.lastReachedEnd = reader.AtEndOfText();
        }
    } catch (const std::exception& failure) {
        file.error = failure.what();
    }
    reader.NoteTotals();
    file.notes = reader.GetNotes();
    if (const std::int64_t more = reader.GetUnlistedProblems(); more > 0)
        file.notes.push_back({0, 0, std::to_string(more) + " more problems not listed", true});
    return file;
}

CSpecimenFile ReadSpecimenFile(const std::string& path) {
    return ReadSpecimenInput(path, ReadInputFile(path));
}

CSpecimenFile ReadSpecimenInput(const std::string& path, const CInputBytes& input) {
    CSpecimenFile file;
    file.path = path;
    if (!input.error.empty() && !input.failedWhileReading) {
        file.error = "cannot open file: " + input.error;
        return file;
    }
    const std::unique_ptr<CSpecimenReader> reader = CreateSpecimenReader(path, input.bytes);
    if (reader)
        file = ReadSpecimensWith(*reader);
    if (input.failedWhileReading) {
        // A specimen that ran to where the reading failed may lack its end: it is not kept.
        if (!file.specimens.empty() && file.lastReachedEnd)
            file.specimens.pop_back();
        file.error = "read error at line " + std::to_string(LineAt(input.bytes)) + ": " +
                     input.error + "; " +
                     CountOf(file.specimens.size(), "specimen", "specimens") +
                     " before it kept";
    } else if (!reader) {
        file.error = input.bytes.empty() ? "the file is empty"
                                         : std::string("not an outline file of a known format (") +
                                               KnownFormatNames() + ")";
    }
    return file;
}
