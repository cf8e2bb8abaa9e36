#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct SUtf8Case {
    const char* name;
    std::string bytes;
    bool valid;
};

class Utf8ValidityTest : public ::testing::TestWithParam<SUtf8Case> {};

TEST_P(Utf8ValidityTest, AcceptsOnlyStrictUtf8) {
    EXPECT_EQ(IsValidUtf8(GetParam().bytes), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Utf8ValidityTest,
    ::testing::Values(SUtf8Case{"Ascii", "Specimen 17", true},
                      SUtf8Case{"TwoBytes", "Sp\xC3\xA9" "cimen", true},
                      SUtf8Case{"ThreeBytesEuro", "\xE2\x82\xAC", true},
                      SUtf8Case{"FourBytes", "\xF0\x9F\x90\x9F", true},
                      SUtf8Case{"Latin1Byte", "Sp\xE9" "cimen", false},
                      SUtf8Case{"Overlong", "\xC0\xAF", false},
                      SUtf8Case{"OverlongThree", "\xE0\x80\xAF", false},
                      SUtf8Case{"Surrogate", "\xED\xA0\x80", false},
                      SUtf8Case{"BeyondUnicode", "\xF4\x90\x80\x80", false},
                      SUtf8Case{"CutSequence", "\xE2\x82", false},
                      SUtf8Case{"LoneContinuation", "\x80", false}),
    [](const auto& info) { return std::string(info.param.name); });

// The UTF-8 bytes of a code point below U+0800, by hand.
std::string TwoByteUtf8(unsigned code) {
    return {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
}

TEST(TextEncodingTest, InvalidUtf8IsReadAsWindows1252) {
    EXPECT_EQ(Utf8FromExternalText("Sp\xE9" "cimen M\xFCller"), "Sp\xC3\xA9" "cimen M\xC3\xBCller");
    EXPECT_EQ(Utf8FromExternalText("\x80 \x9F \x85"), "\xE2\x82\xAC \xC5\xB8 \xE2\x80\xA6");
    // Windows-1252 has no character at 0x81: it becomes U+0081.
    EXPECT_EQ(Utf8FromExternalText("\x81\xE9"), "\xC2\x81\xC3\xA9");
    // From 0xA0 on, Windows-1252 is Latin-1: the byte is the code point.
    for (unsigned b = 0xA0; b <= 0xFF; ++b)
        EXPECT_EQ(Utf8FromExternalText(std::string(1, static_cast<char>(b))), TwoByteUtf8(b)) << b;
}

TEST(TextEncodingTest, ValidUtf8IsKeptAsItIs) {
    const std::string text = "Spe\xCC\x81" "cimen \xE2\x82\xAC \xF0\x9F\x90\x9F";
    EXPECT_EQ(Utf8FromExternalText(text), text);
}

TEST(TextEncodingTest, ControlCharactersOtherThanTabAreDropped) {
    EXPECT_EQ(WithoutControlCharacters(std::string("a\tb\x01" "c\x7F" "d\x00" "e", 10)), "a\tbcde");
    // U+0085 and U+009F are C1 controls; U+00A0 is the first character after them.
    EXPECT_EQ(WithoutControlCharacters("x\xC2\x85y\xC2\x9F\xC2\xA0"), "xy\xC2\xA0");
    EXPECT_EQ(WithoutControlCharacters("line\r\nend"), "lineend");
}

TEST(TextEncodingTest, XmlTextKeepsWhatXmlAllowsAndNothingElse) {
    EXPECT_EQ(XmlSafeText("tab\there\nand\rthere"), "tab\there\nand\rthere");
    EXPECT_EQ(XmlSafeText(std::string("\x01\x08\x0B\x0C\x1F\x00ok", 8)), "ok");
    // U+FFFE and U+FFFF are no XML characters; U+FFFD and U+10000 are.
    EXPECT_EQ(XmlSafeText("a\xEF\xBF\xBE" "b\xEF\xBF\xBF" "c\xEF\xBF\xBD\xF0\x90\x80\x80"),
              "abc\xEF\xBF\xBD\xF0\x90\x80\x80");
    EXPECT_EQ(XmlSafeText("M\xFCller\x01"), "M\xC3\xBCller");
}

} // namespace
