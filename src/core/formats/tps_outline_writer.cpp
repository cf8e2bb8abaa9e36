#include "formats/tps_outline_writer.h"

#include "platform/atomic_file.h"

#include <algorithm>
#include <charconv>

namespace {

void AppendNumber(std::string& out, auto value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// A keyword's value ends at the end of its line.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return text;
}

} // namespace

std::string TpsOutlinesText(const std::vector<CTpsOutline>& outlines) {
    std::string out;
    for (const CTpsOutline& outline : outlines) {
        out += "LM=0\r\nOUTLINES=1\r\nPOINTS=";
        AppendNumber(out, outline.points.size());
        out += "\r\n";
        for (const FPoint& p : outline.points) {
            AppendNumber(out, p.x);
            out += ' ';
            AppendNumber(out, p.y);
            out += "\r\n";
        }
        out += "IMAGE=" + OneLine(outline.image) + "\r\n";
        out += "ID=" + OneLine(outline.identifier) + "\r\n";
        if (outline.scale) {
            out += "SCALE=";
            AppendNumber(out, *outline.scale);
            out += "\r\n";
        }
    }
    return out;
}

bool WriteTpsOutlines(const std::vector<CTpsOutline>& outlines, const std::filesystem::path& path,
                      std::string& error) {
    CAtomicFile file;
    if (!file.Open(path) || !file.Write(TpsOutlinesText(outlines)) || !file.Commit()) {
        error = file.ErrorMessage();
        return false;
    }
    error.clear();
    return true;
}
