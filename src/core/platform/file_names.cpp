#include "platform/file_names.h"

#include <cstdint>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr std::size_t kDefaultNameLimit = 255;
// Longer "extensions" are part of the name (a dot inside a specimen name).
constexpr std::size_t kMaxExtension = 16;

std::uint32_t Fnv1a(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

// Where the extension begins ("name.png" -> 4); size when there is none worth keeping.
std::size_t ExtensionStart(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.size() - dot > kMaxExtension)
        return name.size();
    return dot;
}

// The longest prefix of at most `bytes` bytes that does not end inside a UTF-8 sequence.
std::string_view Utf8Prefix(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes)
        return text;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

// stem + middle + extension, the stem cut so that the whole fits.
std::string Fit(std::string_view stem, const std::string& middle, std::string_view extension,
                std::size_t limit) {
    const std::size_t fixed = middle.size() + extension.size();
    const std::size_t room = limit > fixed ? limit - fixed : 0;
    std::string result(Utf8Prefix(stem, room));
    result += middle;
    result += extension;
    return result;
}

} // namespace

std::string SafeFileName(std::string_view name) {
    std::string safe(name);
    for (char& c : safe)
        if (static_cast<unsigned char>(c) < 32 || c == 127 ||
            std::string_view("/\\:<>\"|?*").find(c) != std::string_view::npos)
            c = '_';
    if (safe.empty())
        safe = "specimen";
    if (safe.front() == '.')
        safe.front() = '_';
    return safe;
}

std::size_t FileNameLimit(const std::filesystem::path& folder) {
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 16 ? static_cast<std::size_t>(limit) : kDefaultNameLimit;
}

std::string ShortenFileName(const std::string& name, std::size_t limit) {
    if (name.size() <= limit)
        return name;
    const std::size_t dot = ExtensionStart(name);
    char hash[16];
    std::snprintf(hash, sizeof hash, "~%08x", static_cast<unsigned>(Fnv1a(name)));
    const std::string_view view(name);
    return Fit(view.substr(0, dot), hash, view.substr(dot), limit);
}

std::string NumberedFileName(const std::string& name, int n, std::size_t limit) {
    const std::size_t dot = ExtensionStart(name);
    const std::string_view view(name);
    return Fit(view.substr(0, dot), " (" + std::to_string(n) + ")", view.substr(dot), limit);
}
