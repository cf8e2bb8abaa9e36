#pragma once

#include "formats/specimen_reader.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// True when the first line that is neither blank nor a comment ('"') is the header of an
// NTSYS rectangular matrix with an even number of columns.
bool IsNtsysFile(std::string_view text);

// Reads an NTSYS matrix of outlines: comment lines start with '"'; the header "1 rows cols
// missing" (an L after rows or cols announces their labels); then the values row by row, one
// outline a row as x1 y1 x2 y2 ..., over as many lines as it takes. Values written in fixed
// width may touch: a sign after a digit starts the next value. Row labels name the specimens.
class CNtsysReader : public CSpecimenReader {
public:
    CNtsysReader(std::string path, CLineCursor lines);
    CNtsysReader(std::string path, std::string_view text)
        : CNtsysReader(std::move(path), CLineCursor(text)) {}

    bool ReadFirst(CSpecimen& specimen) override { return ReadNext(specimen); }
    bool ReadNext(CSpecimen& specimen) override;
    const char* FormatName() const override { return "NTSYS"; }

    struct SHeader {
        long long rows = 0;
        long long columns = 0;
        bool rowLabels = false;
        bool columnLabels = false;
        std::optional<float> missing; // the code of a missing value
    };

private:
    bool NextField(std::string_view& field);
    bool NextValue(std::string_view& value);
    bool ReadRow(CSpecimen& specimen);

    SHeader header_;
    bool valid_ = false;
    std::vector<std::string> rowLabels_;
    std::vector<std::string_view> fields_; // of the current line
    std::size_t nextField_ = 0;
    std::string_view fused_; // what is left of a field of touching values
    int decimals_ = -1;      // of the last plain value: where values that fill their width part
    long long rowsRead_ = 0;
};

// The header line of an NTSYS rectangular matrix.
bool ParseNtsysHeader(std::string_view line, CNtsysReader::SHeader& header);
