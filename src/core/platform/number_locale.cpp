#include "platform/number_locale.h"

#include "platform/scan_format.h"

#include <algorithm>
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

// Rounds "int.frac" (no sign, eight decimals) in place to `digits` decimals, half away from
// zero, as the desktop number formatting does with the text it is given. A carry out of the
// integer part writes a '1' in front of `begin`, so there must be room for it; returns the
// first character.
char* RoundDecimalText(char* begin, char*& end, int digits) {
    char* const dot = std::find(begin, end, '.');
    const int fracDigits = static_cast<int>(end - dot) - 1;
    const bool roundUp = fracDigits > digits && dot[1 + digits] >= '5';
    for (char* p = end; p < dot + 1 + digits; ++p)
        *p = '0';
    end = digits > 0 ? dot + 1 + digits : dot;
    if (!roundUp)
        return begin;
    for (char* p = end - 1; p >= begin; --p) {
        if (*p == '.')
            continue;
        if (*p != '9') {
            ++*p;
            return begin;
        }
        *p = '0';
    }
    *(begin - 1) = '1';
    return begin - 1;
}

void AppendWithSign(std::string& out, std::string_view number, CNumberLocale::NegativeOrder order) {
    switch (order) {
    case CNumberLocale::Parentheses:
        out += '(';
        out += number;
        out += ')';
        return;
    case CNumberLocale::LeadingMinusSpace:
        out += "- ";
        out += number;
        return;
    case CNumberLocale::TrailingMinus:
        out += number;
        out += '-';
        return;
    case CNumberLocale::TrailingMinusSpace:
        out += number;
        out += " -";
        return;
    case CNumberLocale::LeadingMinus:
        break;
    }
    out += '-';
    out += number;
}

} // namespace

void AppendLocalizedNumber(std::string& out, float value, const CNumberLocale& locale) {
    if (!std::isfinite(value)) {
        out += std::isnan(value) ? "NaN" : (value > 0 ? "Inf" : "-Inf");
        return;
    }
    // Eight decimals as "%.8f" prints them, but independent of the process locale. A float
    // has at most 39 integer digits; one place in front takes a carry of the rounding.
    char buffer[72];
    char* const begin = buffer + 1;
    char* end = std::to_chars(begin, buffer + 60, static_cast<double>(std::fabs(value)),
                              std::chars_format::fixed, 8)
                    .ptr;
    const int digits = locale.digits < 0 ? 0 : (locale.digits > 9 ? 9 : locale.digits);
    const char* const first = RoundDecimalText(begin, end, digits);
    std::string_view rounded(first, static_cast<std::size_t>(end - first));
    if (!locale.leadingZero && rounded.size() > 1 && rounded[0] == '0' && rounded[1] == '.')
        rounded.remove_prefix(1);
    const std::size_t dot = rounded.find('.');
    std::string localized;
    std::string_view number = rounded;
    if (dot != std::string_view::npos && locale.decimalSeparator != ".") {
        localized.assign(rounded.substr(0, dot));
        localized += locale.decimalSeparator;
        localized += rounded.substr(dot + 1);
        number = localized;
    }
    if (std::signbit(value) && number.find_first_not_of("0.,") != std::string_view::npos)
        AppendWithSign(out, number, locale.negativeOrder);
    else
        out += number;
}

std::string FormatLocalizedNumber(float value, const CNumberLocale& locale) {
    std::string text;
    AppendLocalizedNumber(text, value, locale);
    return text;
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
