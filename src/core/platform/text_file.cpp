#include "platform/text_file.h"

#include "platform/atomic_file.h"

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

bool WriteTextFile(const std::filesystem::path& path, std::string_view text, std::string& error) {
    CAtomicFile file;
    if (!file.Open(path) || !file.Write(WithCrLf(text)) || !file.Commit()) {
        error = file.ErrorMessage();
        return false;
    }
    error.clear();
    return true;
}
