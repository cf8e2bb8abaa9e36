#pragma once

#include "formats/specimen_reader.h"

#include <string>

// True when one of the first ten lines of the file is a "POINTS=" line.
bool IsSimpleFile(const std::string& path);

// Reads blocks of a plain point list: a "POINTS=n" line, then n lines of "x y".
class CSimpleFileReader : public CSpecimenReader {
public:
    explicit CSimpleFileReader(std::string path) : CSpecimenReader(std::move(path)) {}

    bool ReadFirst(CSpecimen& specimen) override;
    bool ReadNext(CSpecimen& specimen) override;

private:
    bool ReadBlock(CSpecimen& specimen);
    bool FindPointCount(int& count);
    bool ReadPoints(CSpecimen& specimen, int count);
    bool Fail();
};
