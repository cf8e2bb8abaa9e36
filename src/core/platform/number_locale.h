#pragma once

#include <string>
#include <string_view>

// The user's number format for the tables and the text export. Separators come from the
// C library's locale; what POSIX does not describe takes the usual desktop defaults (two
// decimals, a leading zero, negatives written "-1.1"). The file formats never use this.
struct CNumberLocale {
    // Order of sign and number for negative values: 0 "(1.1)", 1 "-1.1", 2 "- 1.1",
    // 3 "1.1-", 4 "1.1 -".
    enum NegativeOrder {
        Parentheses = 0,
        LeadingMinus = 1,
        LeadingMinusSpace = 2,
        TrailingMinus = 3,
        TrailingMinusSpace = 4
    };

    std::string decimalSeparator = ".";
    std::string thousandSeparator = ",";
    int digits = 2;
    bool leadingZero = true;
    NegativeOrder negativeOrder = LeadingMinus;

    // The format of the user's environment (LC_NUMERIC, else LC_ALL/LANG); "C" when unset or
    // unknown. The global locale of the process is not touched.
    static CNumberLocale FromEnvironment();
};

// The value printed with eight decimals, then rounded to the locale's digit count and written
// with its decimal separator, leading-zero rule and negative order, without grouping.
std::string FormatLocalizedNumber(float value, const CNumberLocale& locale);
// The same, appended to `out`: for tables of many numbers.
void AppendLocalizedNumber(std::string& out, float value, const CNumberLocale& locale);

// Thousand separators removed, the first decimal separator read as '.', then converted like
// strtod in the "C" locale (leading white space, the longest number prefix; 0 when none).
float ParseLocalizedNumber(std::string_view text, const CNumberLocale& locale);
