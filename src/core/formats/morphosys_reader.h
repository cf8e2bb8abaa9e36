#pragma once

#include "formats/specimen_reader.h"

#include <cstdint>
#include <string>

// The FileType of its specimens. Their ScaleFactor, when specified, is the length of a chain
// step along x in thousandths of a millimetre: the factor the x positions were multiplied by.
inline constexpr const char* kMorphosysFileType = "Morphosys";

// True when the first line of the file is a Morphosys header "F 1 <name>".
bool IsMorphosysFile(const std::string& path);

// Reads the chain-coded outlines of a Morphosys file (*.msd).
class CMorphosysReader : public CSpecimenReader {
public:
    explicit CMorphosysReader(std::string path) : CSpecimenReader(std::move(path)) {}

    bool ReadFirst(CSpecimen& specimen) override;
    bool ReadNext(CSpecimen& specimen) override;

private:
    // The chain position and the scale of the specimen being read.
    struct SChain {
        std::int64_t x = 0;
        std::int64_t y = 0;
        float sx = 1.0f;
        float sy = 1.0f;
    };

    bool ReadSpecimen(CSpecimen& specimen, bool first);
    bool FindHeader();
    void ReadScale(CSpecimen& specimen, SChain& chain, bool first);
    bool ReadChain(CSpecimen& specimen, SChain& chain);
    bool WalkChainLine(const std::string& line, CSpecimen& specimen, SChain& chain,
                       std::int64_t& steps);
    bool Complete(CSpecimen& specimen);
    bool Fail();
};
