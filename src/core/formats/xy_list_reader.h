#pragma once

#include "formats/specimen_reader.h"

#include <optional>
#include <string_view>

// True when, after an optional header row, the first lines of the text are point rows: at
// least three, and every line up to the tenth that is not blank holds two numbers.
bool IsXyListFile(std::string_view text);

// Reads plain x-y lists as image programs export them ("XY Coordinates"): one point a row,
// its x and y the last two numbers of the row, fields separated by tabs, commas, semicolons or
// blanks (with semicolons, a comma is a decimal comma); an optional header row; outlines
// separated by blank lines. Measurement exports that carry the outline in their last two
// columns read the same way.
class CXyListReader : public CSpecimenReader {
public:
    using CSpecimenReader::CSpecimenReader;

    bool ReadFirst(CSpecimen& specimen) override { return ReadNext(specimen); }
    bool ReadNext(CSpecimen& specimen) override;
    const char* FormatName() const override { return "x-y list"; }

private:
    bool ReadOutline(CSpecimen& specimen);
};

// The point of a row: its last two numbers.
std::optional<FPoint> XyRowPoint(std::string_view line);
