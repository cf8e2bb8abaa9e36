#include "info_command.h"

#include "exit_status.h"
#include "model/specimen.h"
#include "outline_input.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Row = std::vector<std::string>;

const Row kHeader = {"Name",       "Type",   "Points", "Area",   "Centroid x",
                     "Centroid y", "Axis x", "Axis y", "Dorsal", "Ventral"};
// Name and type read better left-aligned; the numbers line up on the right.
constexpr std::size_t kLeftAlignedColumns = 2;

// Fixed-point text in the "C" locale whatever the user's locale; "-" for a value that is not
// finite (the statistics of a degenerate outline), and no sign on a rounded zero.
std::string FormatNumber(float value, int decimals) {
    if (!std::isfinite(value)) {
        return "-";
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (text.front() == '-' && text.find_first_of("123456789") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

Row MakeRow(const CSpecimen& specimen) {
    return {specimen.ShortPathName,
            specimen.FileType,
            std::to_string(specimen.Contour.size()),
            FormatNumber(specimen.GetArea(), 2),
            FormatNumber(specimen.Centroid.x, 3),
            FormatNumber(specimen.Centroid.y, 3),
            FormatNumber(specimen.FirstEigenvect.x, 6),
            FormatNumber(specimen.FirstEigenvect.y, 6),
            std::to_string(specimen.GetUpperHalf().size()),
            std::to_string(specimen.GetLowerHalf().size())};
}

// Tabs or line breaks inside a name would break the columns a script splits on.
std::string TsvCell(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

void PrintTsv(const std::vector<Row>& rows, std::ostream& out) {
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            out << (i > 0 ? "\t" : "") << TsvCell(row[i]);
        }
        out << "\n";
    }
}

void PrintTable(const std::vector<Row>& rows, std::ostream& out) {
    std::vector<std::size_t> widths(kHeader.size(), 0);
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], row[i].size());
        }
    }
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const std::string padding(widths[i] - row[i].size(), ' ');
            line += i > 0 ? "  " : "";
            line += i < kLeftAlignedColumns ? row[i] + padding : padding + row[i];
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << "\n";
    }
}

} // namespace

int RunInfo(const std::vector<std::string>& files, bool tsv, std::ostream& out, std::ostream& err) {
    std::vector<Row> rows{kHeader};
    int status = kExitOk;
    for (const std::string& path : files) {
        const CSpecimenFile file = ReadOutlineInput(path, err);
        status = WorseExitStatus(status, ExitStatusOf(file));
        for (const auto& specimen : file.specimens) {
            rows.push_back(MakeRow(*specimen));
        }
    }
    if (rows.size() > 1) {
        tsv ? PrintTsv(rows, out) : PrintTable(rows, out);
    }
    return status;
}
