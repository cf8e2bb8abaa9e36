#pragma once

#include "formats/specimen_reader.h"

#include <string_view>
#include <vector>

// True when the first line that is not blank is an eight-direction chain-code line.
bool IsChainCodeFile(std::string_view text);

// Reads eight-direction chain codes, one outline a line: name, start x, start y, a scale (the
// file's unit per pixel, used when positive), a pixel count (not used), then the codes 0 to 7
// and the end mark -1. Code 0 steps one pixel along +x and the others follow anticlockwise
// (1 is +x +y, 2 is +y, ... 7 is +x -y). The outline holds the start and every step's end, the
// last left out when it returns to the start. Specimens are named after their chain.
class CChainCodeReader : public CSpecimenReader {
public:
    using CSpecimenReader::CSpecimenReader;

    bool ReadFirst(CSpecimen& specimen) override { return ReadNext(specimen); }
    bool ReadNext(CSpecimen& specimen) override;
    const char* FormatName() const override { return "chain code"; }
    void NoteTotals() override;

private:
    bool ReadChain(std::string_view line, CSpecimen& specimen);
    bool Fail(const CSpecimen& specimen, const std::string& why);

    int open_ = 0; // chains that do not return to their start
};
