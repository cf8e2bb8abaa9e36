#include "platform/text_encoding.h"

#include <cstdint>

namespace {

// Windows-1252 at 0x80 to 0x9F; zero where the code has no character.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The length of the valid UTF-8 sequence at `i` with its code point, or 0 when there is none.
std::size_t DecodeAt(std::string_view text, std::size_t i, char32_t& code) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < minimum || surrogate || code > 0x10FFFF ? 0 : length;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

char32_t FromWindows1252(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F && kWindows1252High[byte - 0x80] != 0)
        return kWindows1252High[byte - 0x80];
    return byte;
}

bool IsPlainAscii(std::string_view text, bool allowLineEnds) {
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        const bool lineEnd = allowLineEnds && (b == '\n' || b == '\r');
        if ((b < 0x20 && b != '\t' && !lineEnd) || b >= 0x7F)
            return false;
    }
    return true;
}

// Keeps the code points of valid UTF-8 for which `keep` holds.
template <typename Keep> std::string Filtered(std::string_view utf8, Keep keep) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t code = 0;
        const std::size_t length = DecodeAt(utf8, i, code);
        if (length == 0) { // not reached for valid input; a stray byte is simply dropped
            ++i;
            continue;
        }
        if (keep(code))
            out.append(utf8.substr(i, length));
        i += length;
    }
    return out;
}

} // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t length = DecodeAt(text, i, code);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string Utf8FromExternalText(std::string_view text) {
    if (IsValidUtf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (const char c : text)
        AppendUtf8(out, FromWindows1252(static_cast<unsigned char>(c)));
    return out;
}

std::string WithoutControlCharacters(std::string_view utf8) {
    if (IsPlainAscii(utf8, false))
        return std::string(utf8);
    return Filtered(utf8, [](char32_t c) {
        return c == '\t' || (c >= 0x20 && c < 0x7F) || c > 0x9F;
    });
}

std::string XmlSafeText(std::string_view text) {
    if (IsPlainAscii(text, true))
        return std::string(text);
    return Filtered(Utf8FromExternalText(text), [](char32_t c) {
        const bool control = c < 0x20 && c != '\t' && c != '\n' && c != '\r';
        return !control && c != 0xFFFE && c != 0xFFFF;
    });
}
