#include "platform/scan_format.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// ASCII white space is the same in every locale and is tested here; other bytes are left to
// the locale.
bool IsSpace(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80)
        return u == ' ' || (u >= '\t' && u <= '\r');
    return std::isspace(u) != 0;
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Get(std::size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }
    void SkipSpace() {
        while (!AtEnd() && IsSpace(text_[pos_]))
            ++pos_;
    }
    std::size_t pos_ = 0;
    std::string_view text_;
};

bool MatchesWord(const Cursor& c, std::size_t at, const char* word) {
    for (std::size_t i = 0; word[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(c.Get(at + i))) != word[i])
            return false;
    return true;
}

bool ReadInt(Cursor& c, int& value) {
    std::size_t i = 0;
    bool negative = false;
    if (c.Get() == '+' || c.Get() == '-') {
        negative = c.Get() == '-';
        i = 1;
    }
    if (!IsDigit(c.Get(i)))
        return false;
    long long v = 0;
    for (; IsDigit(c.Get(i)); ++i)
        if (v <= INT_MAX)
            v = v * 10 + (c.Get(i) - '0');
    // Out-of-range numbers saturate instead of wrapping.
    if (negative)
        v = -v;
    value = static_cast<int>(v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : v));
    c.pos_ += i;
    return true;
}

// End of an exponent part starting at i. Like the C library's scanf, a marker and sign with no
// digits after them are consumed too (they cannot be pushed back) and count as no exponent.
std::size_t ExponentEnd(const Cursor& c, std::size_t i, char marker) {
    const char ch = c.Get(i); // the marker in either case, without a locale look-up
    if (ch != marker && ch != marker - ('a' - 'A'))
        return i;
    ++i;
    if (c.Get(i) == '+' || c.Get(i) == '-')
        ++i;
    while (IsDigit(c.Get(i)))
        ++i;
    return i;
}

// Exponent of the leading non-zero digit of a decimal number (or, for hex, of its leading bit,
// roughly); its sign tells an overflow from an underflow without the locale-bound strtod.
long long LeadingDigitExponent(std::string_view s, bool hex) {
    const auto isDigit = [hex](char c) { return hex ? IsHexDigit(c) : IsDigit(c); };
    long long integerDigits = 0;
    long long leadingFractionZeros = 0;
    bool nonZero = false;
    std::size_t i = 0;
    for (; i < s.size() && isDigit(s[i]); ++i)
        if (nonZero || s[i] != '0') {
            nonZero = true;
            ++integerDigits;
        }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i) {
            if (!nonZero && s[i] == '0')
                ++leadingFractionZeros;
            else
                nonZero = true;
        }
    }
    long long exponent = 0;
    if (i < s.size() && std::tolower(static_cast<unsigned char>(s[i])) == (hex ? 'p' : 'e')) {
        const bool negative = i + 1 < s.size() && s[i + 1] == '-';
        for (i += (i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) ? 2 : 1;
             i < s.size() && IsDigit(s[i]); ++i)
            if (exponent < 1000000000)
                exponent = exponent * 10 + (s[i] - '0');
        exponent = negative ? -exponent : exponent;
    }
    const long long digitExponent =
        integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1);
    return digitExponent * (hex ? 4 : 1) + exponent;
}

// Length of the longest decimal float at the cursor after an optional sign, 0 when none.
std::size_t DecimalLength(const Cursor& c, std::size_t start) {
    std::size_t i = start;
    std::size_t digits = 0;
    for (; IsDigit(c.Get(i)); ++i)
        ++digits;
    if (c.Get(i) == '.') {
        ++i;
        for (; IsDigit(c.Get(i)); ++i)
            ++digits;
    }
    if (digits == 0)
        return 0;
    return ExponentEnd(c, i, 'e') - start;
}

// The correctly rounded float of a decimal number of DecimalLength's form, as from_chars
// gives it. A short number takes the exact path: at most seven digits make an integer below
// 2^24, and a power of ten up to 10^10 is a float as well, so one float division is the one
// rounding of the exact quotient.
float ParseDecimal(const char* text, std::size_t len) {
    constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    std::uint32_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool point = false;
    std::size_t k = 0;
    for (; k < len; ++k) {
        const char ch = text[k];
        if (ch == '.') {
            point = true;
            continue;
        }
        if (!IsDigit(ch))
            break;
        if (digits > 0 || ch != '0')
            ++digits;
        mantissa = mantissa * 10 + static_cast<std::uint32_t>(ch - '0');
        decimals += point ? 1 : 0;
        if (digits > 7)
            break;
    }
    if (k == len && digits <= 7 && decimals <= 10)
        return static_cast<float>(mantissa) / kPowers[decimals];
    float v = 0.0f;
    const auto r = std::from_chars(text, text + len, v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range)
        // Overflow gives infinity, underflow zero, as strtof does.
        v = LeadingDigitExponent({text, len}, false) >= 0 ? HUGE_VALF : 0.0f;
    return v;
}

bool ReadFloat(Cursor& c, float& value) {
    std::size_t i = 0;
    bool negative = false;
    if (c.Get() == '+' || c.Get() == '-') {
        negative = c.Get() == '-';
        i = 1;
    }
    const char* base = c.text_.data() + c.pos_;
    float v = 0.0f;
    if (c.Get(i) == '0' && (c.Get(i + 1) == 'x' || c.Get(i + 1) == 'X')) {
        // As in the C library: "0x" alone is no number, "0x." alone reads as zero.
        if (!IsHexDigit(c.Get(i + 2)) && c.Get(i + 2) != '.')
            return false;
        const auto r = std::from_chars(base + i + 2, c.text_.data() + c.text_.size(), v,
                                       std::chars_format::hex);
        const std::size_t end = static_cast<std::size_t>(r.ptr - base);
        if (r.ec == std::errc::result_out_of_range)
            v = LeadingDigitExponent({base + i + 2, end - i - 2}, true) >= 0 ? HUGE_VALF : 0.0f;
        i = end == i + 2 ? i + 3 : ExponentEnd(c, end, 'p');
    } else if (IsDigit(c.Get(i)) || c.Get(i) == '.') {
        const std::size_t len = DecimalLength(c, i);
        if (len == 0)
            return false;
        v = ParseDecimal(base + i, len);
        i += len;
    } else if (MatchesWord(c, i, "inf")) {
        // A started but unfinished "infinity" has been consumed by the C library and fails.
        const bool infinity = MatchesWord(c, i, "infinity");
        if (!infinity && std::tolower(static_cast<unsigned char>(c.Get(i + 3))) == 'i')
            return false;
        v = INFINITY;
        i += infinity ? 8 : 3;
    } else if (MatchesWord(c, i, "nan")) {
        v = NAN;
        i += 3;
    } else {
        return false;
    }
    value = negative ? -v : v;
    c.pos_ += i;
    return true;
}

bool IsAsciiBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// A decimal at `at` that ParseDecimal takes on its exact path: a sign, at most seven
// significant digits and ten decimals, followed by an ASCII blank or the end. Returns the
// position after it, or npos for any other form.
std::size_t PlainDecimal(std::string_view s, std::size_t at, float& value) {
    constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    constexpr std::size_t kNone = std::string_view::npos;
    std::size_t i = at;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    std::uint32_t mantissa = 0;
    int digits = 0; // significant ones
    int allDigits = 0;
    int decimals = -1; // -1 before the point
    for (; i < s.size(); ++i) {
        const char ch = s[i];
        if (ch == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (!IsDigit(ch))
            break;
        ++allDigits;
        if (digits > 0 || ch != '0')
            ++digits;
        mantissa = mantissa * 10 + static_cast<std::uint32_t>(ch - '0');
        if (decimals >= 0)
            ++decimals;
    }
    if (allDigits == 0 || digits > 7 || decimals > 10 || (i < s.size() && !IsAsciiBlank(s[i])))
        return kNone;
    const float v = static_cast<float>(mantissa) / kPowers[decimals < 0 ? 0 : decimals];
    value = negative ? -v : v;
    return i;
}

std::size_t SkipAsciiBlanks(std::string_view s, std::size_t i) {
    while (i < s.size() && IsAsciiBlank(s[i]))
        ++i;
    return i;
}

bool ReadWord(Cursor& c, std::string& word) {
    const std::size_t start = c.pos_;
    while (!c.AtEnd() && !IsSpace(c.Get()))
        ++c.pos_;
    if (c.pos_ == start)
        return false;
    word.assign(c.text_.substr(start, c.pos_ - start));
    return true;
}

} // namespace

int ScanFormat(std::string_view text, std::string_view format,
               const std::vector<ScanTarget>& targets) {
    return ScanFormat(text, format, std::span<const ScanTarget>(targets));
}

int ScanFormat(std::string_view text, std::string_view format,
               std::span<const ScanTarget> targets) {
    Cursor c(text);
    int assigned = 0;
    std::size_t next = 0;
    for (std::size_t f = 0; f < format.size(); ++f) {
        const char fc = format[f];
        if (IsSpace(fc)) {
            c.SkipSpace();
            continue;
        }
        if (fc != '%' || f + 1 >= format.size()) {
            if (c.AtEnd())
                return assigned == 0 ? -1 : assigned;
            if (c.Get() != fc)
                return assigned;
            ++c.pos_;
            continue;
        }
        const char conv = format[++f];
        c.SkipSpace();
        if (c.AtEnd())
            return assigned == 0 ? -1 : assigned;
        if (conv == '%') { // a literal percent sign, taking no target
            if (c.Get() != '%')
                return assigned;
            ++c.pos_;
            continue;
        }
        if (next >= targets.size())
            return assigned;
        const ScanTarget& target = targets[next++];
        bool ok = false;
        if (conv == 'd' && std::holds_alternative<int*>(target)) {
            int v = 0;
            ok = ReadInt(c, v);
            if (ok)
                *std::get<int*>(target) = v;
        } else if (conv == 'f' && std::holds_alternative<float*>(target)) {
            float v = 0.0f;
            ok = ReadFloat(c, v);
            if (ok)
                *std::get<float*>(target) = v;
        } else if (conv == 's' && std::holds_alternative<std::string*>(target)) {
            ok = ReadWord(c, *std::get<std::string*>(target));
        }
        if (!ok)
            return assigned;
        ++assigned;
    }
    return assigned;
}

int ScanFloatPair(std::string_view text, float& x, float& y) {
    float a = 0.0f;
    float b = 0.0f;
    const std::size_t first = SkipAsciiBlanks(text, 0);
    const std::size_t firstEnd = first < text.size() ? PlainDecimal(text, first, a) : text.npos;
    if (firstEnd != text.npos) {
        const std::size_t second = SkipAsciiBlanks(text, firstEnd);
        if (second < text.size() && PlainDecimal(text, second, b) != text.npos) {
            x = a;
            y = b;
            return 2;
        }
    }
    return Scan(text, "%f %f", &x, &y);
}

std::size_t ScanPlainDecimal(std::string_view text, std::size_t at, float& value) {
    return at < text.size() ? PlainDecimal(text, at, value) : text.npos;
}
