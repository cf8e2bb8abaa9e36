#include "formats/ntsys_reader.h"

#include "formats/text_fields.h"
#include "model/specimen.h"

#include <algorithm>

namespace {

bool IsComment(std::string_view line) {
    return TrimBlanks(line).starts_with('"');
}

// A count with an optional L that announces labels.
bool ReadDimension(std::string_view field, long long& count, bool& labels) {
    labels = field.ends_with('L') || field.ends_with('l');
    if (labels)
        field.remove_suffix(1);
    const std::optional<long long> value = FieldInteger(field);
    if (!value || *value < 1)
        return false;
    count = *value;
    return true;
}

bool IsDigitOrPoint(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

// The first value of a field of touching values: up to a sign that follows a digit. Values
// written with a fixed width touch without a sign when one fills its width, as in
// "12.3456712.34567"; the fixed format gives them all the same number of decimals, so a second
// point ends the first value that many digits after its own point.
std::size_t FirstValueLength(std::string_view field, int decimals) {
    std::size_t end = field.size();
    for (std::size_t i = 1; i < field.size(); ++i)
        if ((field[i] == '-' || field[i] == '+') && IsDigitOrPoint(field[i - 1])) {
            end = i;
            break;
        }
    const std::size_t point = field.find('.');
    if (decimals >= 0 && point < end && field.find('.', point + 1) < end)
        end = std::min(end, point + 1 + static_cast<std::size_t>(decimals));
    return end;
}

// The digits after the point of a plain decimal value, or -1 for any other.
int DecimalsOf(std::string_view value) {
    const std::size_t point = value.find('.');
    if (point == std::string_view::npos || value.find('.', point + 1) != std::string_view::npos)
        return -1;
    const std::string_view decimals = value.substr(point + 1);
    return std::all_of(decimals.begin(), decimals.end(), [](char c) { return c >= '0' && c <= '9'; })
               ? static_cast<int>(decimals.size())
               : -1;
}

} // namespace

bool ParseNtsysHeader(std::string_view line, CNtsysReader::SHeader& header) {
    const std::vector<std::string_view> fields = SplitAtBlanks(line);
    if (fields.size() < 4 || fields[0] != "1" ||
        !ReadDimension(fields[1], header.rows, header.rowLabels) ||
        !ReadDimension(fields[2], header.columns, header.columnLabels) ||
        header.columns % 2 != 0)
        return false;
    const std::optional<long long> missingFlag = FieldInteger(fields[3]);
    if (!missingFlag)
        return false;
    if (*missingFlag != 0 && fields.size() > 4)
        header.missing = FieldNumber(fields[4]);
    return true;
}

bool IsNtsysFile(std::string_view text) {
    CLineCursor lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        if (TrimBlanks(line).empty() || IsComment(line))
            continue;
        CNtsysReader::SHeader header;
        return ParseNtsysHeader(line, header);
    }
    return false;
}

CNtsysReader::CNtsysReader(std::string path, CLineCursor lines)
    : CSpecimenReader(std::move(path), std::move(lines)) {
    std::string_view line;
    while (lines_.Next(line)) {
        if (TrimBlanks(line).empty() || IsComment(line))
            continue;
        valid_ = ParseNtsysHeader(line, header_);
        break;
    }
    if (!valid_)
        return;
    // Row labels name the specimens; column labels (x1, y1, ...) are not needed.
    std::string_view field;
    for (long long i = 0; header_.rowLabels && i < header_.rows && NextField(field); ++i)
        rowLabels_.push_back(TextField(field));
    for (long long i = 0; header_.columnLabels && i < header_.columns; ++i)
        if (!NextField(field))
            break;
}

// The next blank-separated field of the lines after the header, comments left out.
bool CNtsysReader::NextField(std::string_view& field) {
    while (nextField_ >= fields_.size()) {
        std::string_view line;
        if (!lines_.Next(line))
            return false;
        fields_ = IsComment(line) ? std::vector<std::string_view>() : SplitAtBlanks(line);
        nextField_ = 0;
    }
    field = fields_[nextField_++];
    return true;
}

bool CNtsysReader::NextValue(std::string_view& value) {
    if (fused_.empty() && !NextField(fused_))
        return false;
    const std::size_t length = FirstValueLength(fused_, decimals_);
    value = fused_.substr(0, length);
    fused_.remove_prefix(length);
    if (const int decimals = DecimalsOf(value); decimals >= 0)
        decimals_ = decimals;
    return true;
}

bool CNtsysReader::ReadNext(CSpecimen& specimen) {
    while (valid_ && rowsRead_ < header_.rows) {
        if (ReadRow(specimen))
            return true;
    }
    std::string_view rest;
    if (valid_ && rowsRead_ == header_.rows && NextValue(rest)) {
        Problem(lines_.LineNumber(), "skipped: values after the last of the " +
                                         CountOf(static_cast<std::size_t>(header_.rows),
                                                 "outline", "outlines") +
                                         " the header announces");
        valid_ = false;
    }
    return false;
}

// One row: false when it is skipped (or the values end).
bool CNtsysReader::ReadRow(CSpecimen& specimen) {
    StartSpecimen(specimen, "NTSYS");
    const long long row = rowsRead_++;
    if (row < static_cast<long long>(rowLabels_.size()) && !rowLabels_[row].empty())
        specimen.ShortPathName = rowLabels_[row];
    std::vector<float> values;
    values.reserve(static_cast<std::size_t>(std::min(header_.columns, 1LL << 16)));
    std::int64_t start = 0;
    std::int64_t badLine = 0;
    std::string bad;
    std::string_view value;
    while (static_cast<long long>(values.size()) < header_.columns && NextValue(value)) {
        if (values.empty())
            start = lines_.LineNumber();
        const std::optional<float> number = FieldNumber(value);
        const bool missing = number && header_.missing && *number == *header_.missing;
        if ((!number || missing) && badLine == 0) {
            badLine = lines_.LineNumber();
            bad = missing ? "a missing value" : "\"" + TextField(value) + "\", which is no number";
        }
        values.push_back(number.value_or(0.0f));
    }
    const std::string name = specimen.ShortPathName;
    if (static_cast<long long>(values.size()) < header_.columns) {
        rowsRead_ = header_.rows;
        if (values.empty())
            Problem(lines_.LineNumber(),
                    "the header announces " +
                        CountOf(static_cast<std::size_t>(header_.rows), "outline", "outlines") +
                        ", the file holds " + std::to_string(row));
        else
            Problem(start, "outline " + std::to_string(row + 1) + " (" + name +
                               ") skipped: the file ends after " +
                               std::to_string(values.size() / 2) + " of its " +
                               std::to_string(header_.columns / 2) + " points" +
                               (badLine != 0 ? "; it holds " + bad : std::string()));
        return false;
    }
    if (badLine != 0) {
        Problem(badLine, name + " skipped: it holds " + bad);
        return false;
    }
    for (std::size_t i = 0; i + 1 < values.size(); i += 2)
        specimen.Contour.emplace_back(values[i], values[i + 1]);
    DropClosingPoint(specimen.Contour);
    return Complete(specimen, start);
}
