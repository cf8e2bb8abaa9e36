#pragma once

#include "formats/specimen_reader.h"

#include <cstdint>
#include <string_view>

// True when the first line of the text is a Morphosys header "F 1 <name>".
bool IsMorphosysFile(std::string_view text);

// Reads the chain-coded outlines of a Morphosys file (*.msd): each specimen is an "F" header,
// an image line, a calibration line, "C 1 :", the start pixel with the step count, and lines of
// the digits 0 to 3.
class CMorphosysReader : public CSpecimenReader {
public:
    using CSpecimenReader::CSpecimenReader;

    bool ReadFirst(CSpecimen& specimen) override { return ReadNext(specimen); }
    bool ReadNext(CSpecimen& specimen) override;
    const char* FormatName() const override { return "Morphosys"; }

private:
    // The chain position and the scale of the specimen being read.
    struct SChain {
        std::int64_t x = 0;
        std::int64_t y = 0;
        float sx = 1.0f;
        float sy = 1.0f;
    };

    bool FindHeader();
    bool ReadSpecimen(CSpecimen& specimen, bool first);
    void ReadScale(std::string_view line, CSpecimen& specimen, SChain& chain, bool first);
    bool ReadChain(CSpecimen& specimen, SChain& chain);
    bool WalkChainLine(std::string_view line, CSpecimen& specimen, SChain& chain,
                       std::int64_t& steps);
    bool Fail(std::int64_t line, const CSpecimen& specimen, const std::string& why);

    bool afterFailure_ = false;
};
