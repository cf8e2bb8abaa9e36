#pragma once

#include "formats/specimen_reader.h"

#include <optional>
#include <string_view>

// True when one of the first ten lines of the text is a "POINTS=" line.
bool IsSimpleFile(std::string_view text);

// Reads blocks of a plain point list: a "POINTS=n" line, then n lines of "x y", each
// coordinate truncated toward zero to whole pixels. The line after a block is dropped.
class CSimpleFileReader : public CSpecimenReader {
public:
    using CSpecimenReader::CSpecimenReader;

    bool ReadFirst(CSpecimen& specimen) override { return ReadNext(specimen); }
    bool ReadNext(CSpecimen& specimen) override;
    const char* FormatName() const override { return "simple"; }

private:
    bool FindPointCount(int& count);
    bool ReadPoints(CSpecimen& specimen, int count);
    static std::optional<FPoint> ReadPoint(std::string_view line);
};
