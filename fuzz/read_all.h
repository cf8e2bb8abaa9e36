#pragma once

#include "formats/specimen_file.h"
#include "formats/specimen_reader.h"
#include "fuzz_checks.h"
#include "model/specimen.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

// Reads every specimen as the one reading function does: ReadFirst once, then ReadNext until
// the end; each specimen read is completed with its statistics, which are then used, and the
// notes must name real lines.
inline void ReadAllSpecimens(CSpecimenReader& reader, std::string_view text) {
    auto specimen = std::make_unique<CSpecimen>();
    bool read = reader.ReadFirst(*specimen);
    while (read) {
        RequireNoNaN(*specimen);
        RequireNoNaN(specimen->Landmarks);
        FRect box;
        specimen->GetBoundingBox(box);
        (void)specimen->GetArea();
        (void)specimen->GetMeanSquaredCentroidDistance();
        FPoint first;
        FPoint second;
        specimen->GetTransformedAxes(first, second);
        specimen = std::make_unique<CSpecimen>();
        read = reader.ReadNext(*specimen);
    }
    reader.NoteTotals();
    const auto lines = static_cast<std::int64_t>(std::count(text.begin(), text.end(), '\n') +
                                                 std::count(text.begin(), text.end(), '\r') + 1);
    for (const CReadingNote& note : reader.GetNotes())
        FuzzRequire(note.firstLine >= 0 && note.firstLine <= note.lastLine &&
                    note.lastLine <= lines && !note.text.empty());
}

// One fuzz target per reader: the format's test, then the reader on the same text whatever the
// test said (a reader must survive any text it is handed), then the whole reading as the
// program does it, with its summary.
template <typename TReader>
void FuzzReader(const std::uint8_t* data, std::size_t size, bool (*isFormat)(std::string_view)) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)isFormat(text);
    TReader reader("fuzz", text);
    ReadAllSpecimens(reader, text);
    const CSpecimenFile file = ReadSpecimenText("fuzz", std::string(text));
    FuzzRequire(!file.Summary("fuzz").empty());
    (void)file.Details("fuzz");
}
