#include "platform/scan_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::string_literals;

// before, count copies of c, after.
std::string Padded(std::string_view before, std::size_t count, char c, std::string_view after) {
    std::string text(before);
    text.append(count, c);
    text += after;
    return text;
}

struct ScanCase {
    std::string format;
    std::string text; // may hold a NUL: the C library stops there, and so must Scan
};

std::ostream& operator<<(std::ostream& out, const ScanCase& c) {
    out << '"' << c.format << "\" on \"";
    for (const char ch : c.text.substr(0, 80)) {
        if (ch == '\n')
            out << "\\n";
        else if (ch == '\r')
            out << "\\r";
        else if (ch == '\t')
            out << "\\t";
        else if (ch == '\0')
            out << "\\0";
        else
            out << ch;
    }
    return out << (c.text.size() > 80 ? "...\"" : "\"");
}

bool SameFloat(float a, float b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

// Runs the pattern through std::sscanf and through Scan with the same fresh targets and
// compares the result and every target, assigned or not.
void ExpectSameAsSscanf(const ScanCase& c) {
    constexpr int kUnsetInt = 12345;
    constexpr float kUnsetFloat = -777.25f;
    const std::string unsetWord = "#unset#";
    std::vector<char> kinds;
    for (std::size_t i = 0; i + 1 < c.format.size(); ++i)
        if (c.format[i] == '%' && c.format[++i] != '%')
            kinds.push_back(c.format[i]);
    ASSERT_LE(kinds.size(), 6u);

    std::vector<int> libInts(6, kUnsetInt), ourInts(6, kUnsetInt);
    std::vector<float> libFloats(6, kUnsetFloat), ourFloats(6, kUnsetFloat);
    std::vector<std::string> libWords(6), ourWords(6, unsetWord);
    std::vector<void*> lib;
    std::vector<ScanTarget> ours;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        if (kinds[k] == 'd') {
            lib.push_back(&libInts[k]);
            ours.emplace_back(&ourInts[k]);
        } else if (kinds[k] == 'f') {
            lib.push_back(&libFloats[k]);
            ours.emplace_back(&ourFloats[k]);
        } else {
            libWords[k] = unsetWord;
            libWords[k].resize(std::max(c.text.size(), unsetWord.size()) + 1, '\0');
            lib.push_back(libWords[k].data());
            ours.emplace_back(&ourWords[k]);
        }
    }
    lib.resize(6, nullptr);

    const int libResult = std::sscanf(c.text.c_str(), c.format.c_str(), lib[0], lib[1], lib[2],
                                      lib[3], lib[4], lib[5]);
    const int ourResult = ScanFormat(c.text, c.format, ours);
    EXPECT_EQ(ourResult, libResult) << c;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        if (kinds[k] == 'd')
            EXPECT_EQ(ourInts[k], libInts[k]) << c << " target " << k;
        else if (kinds[k] == 'f')
            EXPECT_TRUE(SameFloat(ourFloats[k], libFloats[k]))
                << c << " target " << k << ": " << ourFloats[k] << " vs " << libFloats[k];
        else
            EXPECT_EQ(ourWords[k], std::string(libWords[k].c_str())) << c << " target " << k;
    }
    if (c.format == "%f %f") { // the point-line reader must match too
        float pair[2] = {kUnsetFloat, kUnsetFloat};
        EXPECT_EQ(ScanFloatPair(c.text, pair[0], pair[1]), libResult) << c;
        for (int k = 0; k < 2; ++k)
            EXPECT_TRUE(SameFloat(pair[k], libFloats[static_cast<std::size_t>(k)]))
                << c << " pair target " << k << ": " << pair[k];
    }
}

class ScanAgainstSscanf : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanAgainstSscanf, SameResultAndValues) {
    ExpectSameAsSscanf(GetParam());
}

std::vector<ScanCase> Cases(const std::string& format, const std::vector<std::string>& texts) {
    std::vector<ScanCase> cases;
    for (const std::string& text : texts)
        cases.push_back({format, text});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(LandmarkCount, ScanAgainstSscanf,
                         ::testing::ValuesIn(Cases("LM=%d", {"LM=12",
                                                             "LM=12\r\n",
                                                             "LM=0\n",
                                                             "LM= 7",
                                                             "LM=\t7",
                                                             "LM=-3",
                                                             "LM=+4",
                                                             "LM=007",
                                                             "LM=",
                                                             "LM",
                                                             "L",
                                                             "",
                                                             "   ",
                                                             "\r\n",
                                                             "LM=x",
                                                             "lm=5",
                                                             " LM=5",
                                                             "LM =5",
                                                             "LM=5 6 trailing",
                                                             "LM=12abc",
                                                             "LM=-",
                                                             "LM=+",
                                                             "LM=- 3",
                                                             "LM=0x1A",
                                                             "LM=3.9",
                                                             "LM=2147483647",
                                                             "LM=-2147483648",
                                                             "LM=5\0 7"s,
                                                             "\0LM=5"s})));

INSTANTIATE_TEST_SUITE_P(OutlineAndPointCounts, ScanAgainstSscanf, ::testing::ValuesIn([] {
                             auto cases = Cases("OUTLINES=%d", {"OUTLINES=1", "OUTLINES=2\r\n",
                                                                "OUTLINES=", "OUTLINE=1",
                                                                "POINTS=3", "OUTLINES= -0"});
                             auto points =
                                 Cases("POINTS=%d", {"POINTS=42\n", "POINTS=-1", "POINTS= \t 9\r\n",
                                                     "POINTS=9x", "POINTS", "POINTS=\n"});
                             cases.insert(cases.end(), points.begin(), points.end());
                             return cases;
                         }()));

INSTANTIATE_TEST_SUITE_P(Coordinates, ScanAgainstSscanf,
                         ::testing::ValuesIn(Cases("%f %f", {"1 2",
                                                             "  1.5\t-2.25\r\n",
                                                             "1.5",
                                                             "",
                                                             "\r\n",
                                                             "abc",
                                                             "1 abc",
                                                             "1e3 -1E-2",
                                                             "+.5 -5.",
                                                             ".5.5",
                                                             "1,5 2,5",
                                                             "inf -INF",
                                                             "nan NaN",
                                                             "infinity -Infinity",
                                                             "infx 1",
                                                             "infin 1",
                                                             "nan(12) 2",
                                                             "1e 2",
                                                             "1e+ 2",
                                                             "1E-x 2",
                                                             "0x1p3 0X.8",
                                                             "0x 1",
                                                             "0x. 2",
                                                             "0x1.8p 2",
                                                             "1.5e-50 2",
                                                             "1e-40 1e40",
                                                             "1.4e-45 7e-46",
                                                             "3.4028235e38 3.4028236e38",
                                                             "1e99999 -1e-99999",
                                                             Padded("0.", 400, '0', "1 1"),
                                                             Padded("1", 400, '0', " 2"),
                                                             Padded("0.1", 300, '0', "e-300 3"),
                                                             "12345678901234567890123 0.1",
                                                             "16777217 0.1",
                                                             "-0 +0",
                                                             "1234567 -0.0000001",
                                                             "-9999.999 0.0000000001",
                                                             "0000001.250 -00.5",
                                                             "12345678 1",
                                                             "1 0.00000000001",
                                                             "1.5,2 3",
                                                             "1-2",
                                                             "1.2.3 4",
                                                             "1 2.5x",
                                                             "+.5 5.",
                                                             "2 3 4",
                                                             "1\t\t\t2",
                                                             "1\n2",
                                                             "1\r2",
                                                             "1\v\f2",
                                                             ".",
                                                             "-",
                                                             "- 1",
                                                             "e5 1",
                                                             "3.25\0 4"s,
                                                             "\0 1 2"s})));

INSTANTIATE_TEST_SUITE_P(ScaleLine, ScanAgainstSscanf,
                         ::testing::ValuesIn(Cases("SCALE=%f", {"SCALE=0.01", "SCALE=0.010000\r\n",
                                                                "SCALE=", "SCALE =1", "SCALE= 1e-3",
                                                                "SCALE=-2", "SCALE=abc", "Scale=1",
                                                                "SCALE=1.5.5", "SCALE"})));

INSTANTIATE_TEST_SUITE_P(FileLines, ScanAgainstSscanf, ::testing::ValuesIn([] {
                             auto cases =
                                 Cases("F %d %s", {"F 3 name", "F 3 name with spaces", "F3name",
                                                   "F -1 x\r\n", "F 3", "F 3 ", "F", "", "F x y",
                                                   "G 1 a", "F 2 \xc3\xa9t\xc3\xa9.tps"});
                             auto first = Cases("F 1 %s", {"F 1 valve.tps", "F 1", "F 2 x",
                                                           "F 1 \t x\r\n", "F 10 x", "F1x", "F"});
                             cases.insert(cases.end(), first.begin(), first.end());
                             return cases;
                         }()));

INSTANTIATE_TEST_SUITE_P(ScaleHeader, ScanAgainstSscanf,
                         ::testing::ValuesIn(Cases("%d %d %f %f %s",
                                                   {"1000 1000 25.4 25.4 'mm'", "1 2 3 4",
                                                    "1 2 3.5 4.5 'mm' trailing", "1 2 3.5 x", "a",
                                                    "", "1 2 0.5 0.5 'mm'\r\n", "-1 -2 -3 -4 -5",
                                                    "1 2 3.5e 4 'mm'", "1.5 2 3 4 x"})));

INSTANTIATE_TEST_SUITE_P(
    ClusterLine, ScanAgainstSscanf,
    ::testing::ValuesIn(Cases("C 1 : %s", {"C 1 : name", "C 1 :name", "C 1: name", "C 1 ; name",
                                           "C 1 :", "C 2 : x", "C 1 : a b", "C 1 : \r\n", "C"})));

INSTANTIATE_TEST_SUITE_P(ThreeIntegers, ScanAgainstSscanf,
                         ::testing::ValuesIn(Cases("%d %d %d",
                                                   {"1 2 3", "1 2", "1", "", "1 2 3 4", "1 x 3",
                                                    "255\t0\t128\r\n", "-1 +2 -0", "1.5 2 3",
                                                    "1-2-3", "1 2 \n"})));

INSTANTIATE_TEST_SUITE_P(PercentSign, ScanAgainstSscanf, ::testing::ValuesIn([] {
                             auto cases = Cases("%d%%", {"50%", "50 %", "50", "50x", "%"});
                             auto before = Cases("%%%d %d%%", {"%5 6%", "% 5 6 %", "5", "%x"});
                             cases.insert(cases.end(), before.begin(), before.end());
                             return cases;
                         }()));

// Overflowing integers saturate; the C library leaves them undefined.
TEST(ScanFormat, IntegerOverflowSaturates) {
    int a = 0;
    int b = 0;
    int c = 0;
    EXPECT_EQ(Scan("LM=2147483648", "LM=%d", &a), 1);
    EXPECT_EQ(a, INT_MAX);
    EXPECT_EQ(Scan("LM=-2147483649", "LM=%d", &a), 1);
    EXPECT_EQ(a, INT_MIN);
    EXPECT_EQ(Scan("4294967296 -99999999999999999999 2147483647", "%d %d %d", &a, &b, &c), 3);
    EXPECT_EQ(a, INT_MAX);
    EXPECT_EQ(b, INT_MIN);
    EXPECT_EQ(c, INT_MAX);
    // The whole number is consumed, so scanning goes on after it.
    EXPECT_EQ(Scan("99999999999 5 -6", "%d %d %d", &a, &b, &c), 3);
    EXPECT_EQ(a, INT_MAX);
    EXPECT_EQ(b, 5);
    EXPECT_EQ(c, -6);
    EXPECT_EQ(Scan(Padded("POINTS=", 100000, '9', ""), "POINTS=%d", &a), 1);
    EXPECT_EQ(a, INT_MAX);
}

TEST(ScanFormat, HugeInputsGiveCleanResults) {
    const std::string digits(1000000, '7');
    ExpectSameAsSscanf({"%f %f", digits + " 1"});
    ExpectSameAsSscanf({"%f %f", Padded("0.", 1000000, '0', "5 1")});
    ExpectSameAsSscanf({"%f %f", Padded("1e", 100000, '9', " 1")});
    ExpectSameAsSscanf({"%f %f", Padded("1e-", 100000, '9', " 1")});
    ExpectSameAsSscanf({"F %d %s", "F 1 " + digits});
    ExpectSameAsSscanf({"%d %d %f %f %s", std::string(100000, ' ') + "1 2 3 4 " + digits});
    float x = 0;
    EXPECT_EQ(Scan(digits, "%f", &x), 1);
    EXPECT_EQ(x, std::numeric_limits<float>::infinity());
}

// A word of 9 to 12 pieces from the readers' vocabulary, with stray characters.
std::string RandomLine(std::mt19937& rng) {
    static const char* const pieces[] = {
        "LM=",  "OUTLINES=", "POINTS=", "SCALE=", "F ",  "C 1 : ", "1",   "-",  "12",
        "3.5",  "e",         "e-",      "0x",     "inf", "nan",    " ",   "\t", "\r\n",
        "'mm'", ".",         "+",       "i",      "E",   "x",      ":",   "%",  ",",
        "7",    "0",         "99",      "-0.25",  "a",   "n",      "1e5", "\n", "  "};
    std::string line;
    const int count = static_cast<int>(rng() % 12);
    for (int k = 0; k < count; ++k)
        line += pieces[rng() % std::size(pieces)];
    return line;
}

bool HasLongDigitRun(const std::string& text) {
    int run = 0;
    for (const char ch : text) {
        run = (ch >= '0' && ch <= '9') ? run + 1 : 0;
        if (run >= 10)
            return true;
    }
    return false;
}

TEST(ScanFormat, RandomLinesAgreeWithSscanf) {
    std::mt19937 rng(7321);
    const char* const formats[] = {"LM=%d",    "OUTLINES=%d", "POINTS=%d", "%f %f",
                                   "SCALE=%f", "F %d %s",     "F 1 %s",    "%d %d %f %f %s",
                                   "C 1 : %s", "%d %d %d"};
    int compared = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string text = RandomLine(rng);
        if (HasLongDigitRun(text))
            continue; // integer overflow differs on purpose
        for (const char* format : formats)
            ExpectSameAsSscanf({format, text});
        ++compared;
        if (::testing::Test::HasFailure())
            break;
    }
    EXPECT_GT(compared, 19000);
}

// Restores the numeric locale when the test ends, however it ends.
class NumericLocaleGuard {
public:
    NumericLocaleGuard() : saved_(std::setlocale(LC_NUMERIC, nullptr)) {}
    ~NumericLocaleGuard() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
    NumericLocaleGuard(const NumericLocaleGuard&) = delete;
    NumericLocaleGuard& operator=(const NumericLocaleGuard&) = delete;

private:
    std::string saved_;
};

TEST(ScanFormat, DecimalCommaLocaleDoesNotChangeParsing) {
    NumericLocaleGuard guard;
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.utf8"))
        GTEST_SKIP() << "no German locale installed";
    float probe = 0;
    ASSERT_EQ(std::sscanf("2.5", "%f", &probe), 1);
    ASSERT_EQ(probe, 2.0f) << "the locale should make the C library stop at the point";

    float x = 0;
    float y = 0;
    EXPECT_EQ(Scan("2.5 -0.125\r\n", "%f %f", &x, &y), 2);
    EXPECT_EQ(x, 2.5f);
    EXPECT_EQ(y, -0.125f);
    EXPECT_EQ(Scan("SCALE=0.001", "SCALE=%f", &x), 1);
    EXPECT_EQ(x, 0.001f);
    // Out of range: decided without the locale's number parser.
    EXPECT_EQ(Scan("1.5e-50 3.5e38", "%f %f", &x, &y), 2);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, std::numeric_limits<float>::infinity());
    EXPECT_EQ(Scan(Padded("0.5e39 0.", 49, '0', "1"), "%f %f", &x, &y), 2);
    EXPECT_EQ(x, std::numeric_limits<float>::infinity());
    EXPECT_EQ(y, 0.0f);
    int d1 = 0;
    int d2 = 0;
    std::string unit;
    EXPECT_EQ(Scan("1000 1000 25.4 12.5 'mm'", "%d %d %f %f %s", &d1, &d2, &x, &y, &unit), 5);
    EXPECT_EQ(x, 25.4f);
    EXPECT_EQ(y, 12.5f);
    EXPECT_EQ(unit, "'mm'");
    // A comma is no decimal separator here.
    EXPECT_EQ(Scan("1,5 2", "%f %f", &x, &y), 1);
    EXPECT_EQ(x, 1.0f);
}

} // namespace

namespace {

// Decimals around the bounds of the short exact path (seven significant digits, ten decimals)
// and random ones of every length, against the C library.
TEST(ScanFormat, DecimalsAgreeWithSscanfAcrossDigitCounts) {
    for (const char* text :
         {"9999999", "16777215", "16777217", "1234567.5", "0.0000000001", "0.00000000001",
          "0.1234567", "0.12345678", "000000012345.6", "5.", ".5", "0.0000001234567", "9999999.999",
          "3.4028235e38", "1.40129846e-45", "2.0625", "-0.0", "+7.0000000"})
        ExpectSameAsSscanf({"%f", text});
    std::mt19937 rng(99);
    for (int i = 0; i < 20000 && !::testing::Test::HasFailure(); ++i) {
        std::string text = rng() % 2 ? "-" : "";
        for (int d = static_cast<int>(rng() % 10); d > 0; --d)
            text += static_cast<char>('0' + rng() % 10);
        text += '.';
        for (int d = static_cast<int>(rng() % 13); d > 0; --d)
            text += static_cast<char>('0' + rng() % 10);
        ExpectSameAsSscanf({"%f %f", text + " " + text});
    }
}

} // namespace
