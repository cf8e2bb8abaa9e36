#pragma once

#include "formats/specimen_reader.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// True when one of the first two lines that are not blank is an "LM=" line with a number
// (blanks around it, lower case and a byte order mark allowed).
bool IsTpsFile(std::string_view text);

// Reads the outlines of a TPS file as digitising programs write them. Each specimen starts with
// its "LM=" line and its landmarks, which are kept; its first outline ("OUTLINES=" with a
// "POINTS=" block) becomes the contour, or, when it has none, its curves ("CURVES=" with
// "POINTS=" blocks) joined in order; the keyword lines ("IMAGE=", "ID=", "COMMENT=",
// "VARIABLES=", "SCALE=") become its file data. Blank lines, blanks around lines, lower-case
// keywords and doubled keys ("IMAGE=IMAGE=") are accepted.
class CTpsReader : public CSpecimenReader {
public:
    using CSpecimenReader::CSpecimenReader;

    bool ReadFirst(CSpecimen& specimen) override { return ReadNext(specimen); }
    bool ReadNext(CSpecimen& specimen) override;
    const char* FormatName() const override { return "TPS"; }
    void NoteTotals() override;

private:
    enum class EBlockEnd { Complete, Keyword, EndOfFile };
    struct SParts;

    bool FindLandmarkLine(std::int64_t& count);
    bool ReadSpecimen(CSpecimen& specimen, std::int64_t landmarkCount);
    bool ReadSections(SParts& parts, const std::string& name);
    bool ReadKeywordLine(std::string_view key, std::string_view value, SParts& parts,
                         const std::string& name);
    bool ReadPoints(std::string_view value, SParts& parts, const std::string& name);
    void ReadScale(std::string_view value, SParts& parts);
    EBlockEnd ReadPointBlock(std::int64_t count, std::vector<FPoint>& points);
    static std::optional<FPoint> ReadPoint(std::string_view line);
    bool Assemble(CSpecimen& specimen, SParts& parts, std::int64_t start);

    // Outlines joined from curves, by the number of curves; landmark counts of the specimens
    // kept, by count.
    std::map<std::size_t, int> joined_;
    std::map<std::size_t, int> landmarks_;
};
