#include "platform/number_locale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

CNumberLocale German() {
    CNumberLocale l;
    l.decimalSeparator = ",";
    l.thousandSeparator = ".";
    return l;
}

struct FormatCase {
    float value;
    int digits;
    bool leadingZero;
    CNumberLocale::NegativeOrder order;
    const char* expected;
};

class FormatLocalized : public ::testing::TestWithParam<FormatCase> {};

// Expected texts worked out by hand: the value printed with eight decimals, that text rounded
// half away from zero to the digit count.
TEST_P(FormatLocalized, RoundsThePrintedTextAndPlacesTheSign) {
    const FormatCase c = GetParam();
    CNumberLocale l;
    l.digits = c.digits;
    l.leadingZero = c.leadingZero;
    l.negativeOrder = c.order;
    EXPECT_EQ(FormatLocalizedNumber(c.value, l), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatLocalized,
    ::testing::Values(
        // 1.005f is 1.00499999523..., printed "1.00500000", so the text rounds up.
        FormatCase{1.005f, 2, true, CNumberLocale::LeadingMinus, "1.01"},
        FormatCase{99.999f, 2, true, CNumberLocale::LeadingMinus, "100.00"},
        FormatCase{-0.5f, 2, true, CNumberLocale::LeadingMinus, "-0.50"},
        FormatCase{0.25f, 2, false, CNumberLocale::LeadingMinus, ".25"},
        FormatCase{-1.5f, 2, true, CNumberLocale::Parentheses, "(1.50)"},
        FormatCase{-1.5f, 1, true, CNumberLocale::LeadingMinusSpace, "- 1.5"},
        FormatCase{-1.5f, 1, true, CNumberLocale::TrailingMinus, "1.5-"},
        FormatCase{-1.5f, 1, true, CNumberLocale::TrailingMinusSpace, "1.5 -"},
        FormatCase{2.5f, 0, true, CNumberLocale::LeadingMinus, "3"},
        FormatCase{1234567.0f, 3, true, CNumberLocale::LeadingMinus, "1234567.000"},
        FormatCase{0.0f, 2, true, CNumberLocale::LeadingMinus, "0.00"},
        FormatCase{1e-9f, 4, true, CNumberLocale::LeadingMinus, "0.0000"}));

TEST(FormatLocalizedNumber, UsesTheDecimalSeparatorWithoutGrouping) {
    EXPECT_EQ(FormatLocalizedNumber(1234.567f, German()), "1234,57");
    EXPECT_EQ(FormatLocalizedNumber(3.4e38f, CNumberLocale{}).size(), 39u + 3u);
}

TEST(FormatLocalizedNumber, NonFiniteValuesHaveAText) {
    EXPECT_EQ(FormatLocalizedNumber(std::numeric_limits<float>::quiet_NaN(), {}), "NaN");
    EXPECT_EQ(FormatLocalizedNumber(-std::numeric_limits<float>::infinity(), {}), "-Inf");
}

TEST(ParseLocalizedNumber, ReadsWhatTheFormatterWrites) {
    const CNumberLocale de = German();
    EXPECT_FLOAT_EQ(ParseLocalizedNumber("1.234,5", de), 1234.5f);
    EXPECT_FLOAT_EQ(ParseLocalizedNumber(FormatLocalizedNumber(-17.25f, de), de), -17.25f);
    EXPECT_FLOAT_EQ(ParseLocalizedNumber("  3,5 mm", de), 3.5f);
    EXPECT_FLOAT_EQ(ParseLocalizedNumber("n.c.", de), 0.0f);
    EXPECT_FLOAT_EQ(ParseLocalizedNumber("", de), 0.0f);
    CNumberLocale fr;
    fr.decimalSeparator = ",";
    fr.thousandSeparator = "\u202f"; // a narrow no-break space: three bytes in UTF-8
    EXPECT_FLOAT_EQ(ParseLocalizedNumber("12\u202f345,75", fr), 12345.75f);
}

TEST(NumberLocale, ProcessLocaleDoesNotChangeTheDigits) {
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 not installed";
    const std::string text = FormatLocalizedNumber(0.5f, CNumberLocale{});
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(text, "0.50");
}

// Against integer arithmetic: the "%.8f" text read as a count of 1e-8 units, rounded half away
// from zero to `digits` decimals by integer division, over random floats of many magnitudes
// (below 1e9, so the count fits 64 bits), ties included.
TEST(FormatLocalizedNumber, AgreesWithIntegerRoundingOfThePrintedText) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> magnitude(-9, 8);
    CNumberLocale l = German();
    l.negativeOrder = CNumberLocale::TrailingMinusSpace;
    for (int n = 0; n < 200000; ++n) {
        // Every eighth value a tie: a multiple of 1/1024 (exact in eight decimals).
        const float value =
            n % 8 == 0 ? static_cast<float>(std::lround(mantissa(random) * 5e5)) / 1024.0f
                       : static_cast<float>(mantissa(random) * std::pow(10.0, magnitude(random)));
        l.digits = n % 10;
        char printed[64];
        std::snprintf(printed, sizeof printed, "%.8f", std::fabs(static_cast<double>(value)));
        std::string units(printed);
        units.erase(units.find('.'), 1);
        long long q = 1;
        for (int k = l.digits; k < 8; ++k)
            q *= 10;
        const long long rounded = (std::stoll(units) * (l.digits > 8 ? 10 : 1) + q / 2) / q;
        long long scale = 1;
        for (int k = 0; k < l.digits; ++k)
            scale *= 10;
        std::string expected = std::to_string(rounded / scale);
        if (l.digits > 0) {
            const std::string fraction = std::to_string(rounded % scale);
            expected += "," + std::string(l.digits - fraction.size(), '0') + fraction;
        }
        if (std::signbit(value) && rounded != 0)
            expected += " -";
        ASSERT_EQ(FormatLocalizedNumber(value, l), expected) << value << " digits " << l.digits;
    }
}

} // namespace
