#pragma once

#include "formats/specimen_reader.h"
#include "fuzz_checks.h"
#include "model/specimen.h"

#include <memory>

// Reads a file as the document's Insert command does: ReadFirst once, then ReadNext until a
// read fails; each specimen read is completed with its statistics, which are then used.
inline void ReadAllSpecimens(CSpecimenReader& reader) {
    auto specimen = std::make_unique<CSpecimen>();
    bool read = reader.ReadFirst(*specimen);
    while (read) {
        RequireNoNaN(*specimen);
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
}

// One fuzz target per reader: the format's test, then the reader on the same file whatever
// the test said (a reader must survive any file it is handed).
template <typename TReader>
void FuzzReader(const std::string& path, bool (*isFormat)(const std::string&)) {
    (void)isFormat(path);
    TReader reader(path);
    ReadAllSpecimens(reader);
}
