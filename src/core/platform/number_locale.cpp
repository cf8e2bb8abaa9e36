#include "platform/number_locale.h"

#include "platform/scan_format.h"

#include <charconv>
#include <cmath>
#include <langinfo.h>
#include <locale.h>

CNumberLocale CNumberLocale::FromEnvironment() {
    CNumberLocale result;
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr))
        return result;
    const char* radix = nl_langinfo_l(RADIXCHAR, loc);
    const char* thousands = nl_langinfo_l(THOUSEP, loc);
    if (radix && *radix)
        result.decimalSeparator = radix;
    if (thousands)
        result.thousandSeparator = thousands;
    freelocale(loc);
    return result;
}

namespace {

// Rounds the digit string "int.frac" (no sign) to `digits` decimals, half away from zero, as
// the desktop number formatting does with the text it is given.
std::string RoundDecimalText(const std::string& text, int digits) {
    const std::size_t dot = text.find('.');
    std::string intPart = dot == std::string::npos ? text : text.substr(0, dot);
    std::string frac = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    const bool roundUp = static_cast<int>(frac.size()) > digits && frac[digits] >= '5';
    frac.resize(digits, '0');
    std::string all = intPart + frac;
    if (roundUp) {
        int i = static_cast<int>(all.size()) - 1;
        for (; i >= 0 && all[i] == '9'; --i)
            all[i] = '0';
        if (i >= 0)
            ++all[i];
        else
            all.insert(all.begin(), '1');
    }
    const std::size_t intLen = all.size() - frac.size();
    std::string result = all.substr(0, intLen);
    if (digits > 0) {
        result += '.';
        result.append(all, intLen, std::string::npos);
    }
    return result;
}

std::string WithSign(const std::string& number, CNumberLocale::NegativeOrder order) {
    switch (order) {
    case CNumberLocale::Parentheses:
        return "(" + number + ")";
    case CNumberLocale::LeadingMinusSpace:
        return "- " + number;
    case CNumberLocale::TrailingMinus:
        return number + "-";
    case CNumberLocale::TrailingMinusSpace:
        return number + " -";
    case CNumberLocale::LeadingMinus:
        break;
    }
    return "-" + number;
}

} // namespace

std::string FormatLocalizedNumber(float value, const CNumberLocale& locale) {
    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : (value > 0 ? "Inf" : "-Inf");
    // Eight decimals as "%.8f" prints them, but independent of the process locale. A float
    // has at most 39 integer digits, so the buffer always suffices.
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(std::fabs(value)),
                      std::chars_format::fixed, 8)
            .ptr;
    const std::string text(buffer, end);
    const int digits = locale.digits < 0 ? 0 : (locale.digits > 9 ? 9 : locale.digits);
    std::string rounded = RoundDecimalText(text, digits);
    if (!locale.leadingZero && rounded.size() > 1 && rounded[0] == '0' && rounded[1] == '.')
        rounded.erase(0, 1);
    const std::size_t dot = rounded.find('.');
    if (dot != std::string::npos)
        rounded.replace(dot, 1, locale.decimalSeparator);
    const bool negative =
        std::signbit(value) && rounded.find_first_not_of("0.,") != std::string::npos;
    return negative ? WithSign(rounded, locale.negativeOrder) : rounded;
}

float ParseLocalizedNumber(std::string_view text, const CNumberLocale& locale) {
    std::string s(text);
    if (!locale.thousandSeparator.empty()) {
        for (std::size_t at = s.find(locale.thousandSeparator); at != std::string::npos;
             at = s.find(locale.thousandSeparator, at))
            s.erase(at, locale.thousandSeparator.size()); // may be several bytes in UTF-8
    }
    if (!locale.decimalSeparator.empty()) {
        const std::size_t at = s.find(locale.decimalSeparator);
        if (at != std::string::npos) {
            s.erase(at, locale.decimalSeparator.size());
            s.insert(s.begin() + static_cast<std::ptrdiff_t>(at), '.');
        }
    }
    float value = 0.0f;
    Scan(s, "%f", &value);
    return value;
}
