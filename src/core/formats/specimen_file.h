#pragma once

#include "formats/reading_note.h"
#include "formats/specimen_reader.h"
#include "model/specimen.h"
#include "platform/input_stream.h"

#include <memory>
#include <string>
#include <vector>

// Everything one outline file gave: its specimens, the reader that took it, and what was
// skipped or changed and why. The document's Insert command, the batch tool, the tests, the
// fuzz targets and the benchmarks all read outline files through ReadSpecimenFile.
class CSpecimenFile {
public:
    enum class EOutcome {
        Complete, // every specimen of the file was read; nothing skipped or changed
        Partial,  // specimens were read, but something was skipped or changed (see the notes)
        Failed,   // nothing was read, or the file could not be read to its end
    };

    std::string path;
    std::string format; // the reader that took the file; empty when none did
    std::vector<std::unique_ptr<CSpecimen>> specimens;
    std::vector<CReadingNote> notes;
    std::string error; // why the file failed

    EOutcome Outcome() const;
    // One line about the file, called `name`: "valves.tps: 6 specimens (TPS)", then what was
    // noted; problems of one kind are counted together and only the first few kinds listed.
    std::string Summary(const std::string& name) const;
    // Every note on a line of its own: "valves.tps, line 12: ..." (the error is in the summary).
    std::vector<std::string> Details(const std::string& name) const;
    // Whether the summary names every note itself, so that the details would only repeat it.
    bool SummaryTellsAll() const;
};

// Reads every specimen of the file at `path`, which is read once from its start to its end
// whatever it is (a regular file, a pipe or FIFO).
CSpecimenFile ReadSpecimenFile(const std::string& path);

// The same for any input (standard input, a stream, a text); `path` names it. A failure while
// reading makes the file fail; the specimens read before it are kept, except one that ran up to
// the failure and may lack its end.
CSpecimenFile ReadSpecimenInput(const std::string& path, CInputStream& input);
CSpecimenFile ReadSpecimenText(const std::string& path, std::string text);

// Every specimen a given reader reads, with its notes: the reading loop of the functions above,
// for a reader chosen by the caller. `lastReachedEnd` tells whether the last specimen ran to
// the end of the text.
CSpecimenFile ReadSpecimensWith(CSpecimenReader& reader, bool* lastReachedEnd = nullptr);
