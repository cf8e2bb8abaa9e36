// The text form of single values in the document file, the point-list reading rule, and the
// "exactly one element of that name below" look-up.
#include "document/xml_lookup.h"
#include "document/xml_values.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct PointListCase {
    std::vector<FPoint> points;
    std::string text;
};

class PointListWriting : public ::testing::TestWithParam<PointListCase> {};

TEST_P(PointListWriting, ThreeDecimalsLessTrailingZerosEachFollowedByASpace) {
    EXPECT_EQ(FormatPointListValue(GetParam().points), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, PointListWriting,
                         ::testing::Values(PointListCase{{{2.5f, 3.0f}}, "2.5 3 "},
                                           PointListCase{{{0.0f, 0.0f}}, "0 0 "},
                                           PointListCase{{{-1.25f, 10.0f}}, "-1.25 10 "},
                                           PointListCase{{}, ""},
                                           // 1234.5678f is 1234.567749..., 0.1f is 0.100000001...
                                           PointListCase{{{1234.5678f, 100.0f}, {0.1f, 0.001f}},
                                                         "1234.568 100 0.1 0.001 "},
                                           // Rounded to zero, the sign stays as printf writes it.
                                           PointListCase{{{0.0004f, -0.0004f}}, "0 -0 "},
                                           PointListCase{{{INFINITY, -INFINITY}}, "inf -inf "}));

TEST(XmlValueWriting, SingleValuesUseTheirFixedFormats) {
    EXPECT_EQ(FormatBoolValue(true), "True");
    EXPECT_EQ(FormatBoolValue(false), "False");
    EXPECT_EQ(FormatIntValue(-7), "-7");
    EXPECT_EQ(FormatUnsignedValue(4294967295u), "4294967295");
    EXPECT_EQ(FormatFloatValue(1.0f), "1.000000");
    EXPECT_EQ(FormatFloatValue(-0.5f), "-0.500000");
    EXPECT_EQ(FormatFloatValue(0.1f), "0.100000");
    EXPECT_EQ(FormatFloatValue(1e10f), "10000000000.000000");
    EXPECT_EQ(FormatFloatValue(1.17549435e-38f), "0.000000");
    EXPECT_EQ(FormatPointValue({2.5f, -3.0f}), "2.5000 -3.0000");
    EXPECT_EQ(FormatPointValue({0.00006f, 1.23456f}), "0.0001 1.2346");
}

TEST(XmlValueReading, FlagsReadOnlyTrueOrFalseInAnyCase) {
    struct Case {
        const char* text;
        bool from;
        bool expected;
    };
    for (const Case& c :
         {Case{"True", false, true}, Case{"TRUE", false, true}, Case{"false", true, false},
          Case{"fAlSe", true, false}, Case{"1", false, false}, Case{"0", true, true},
          Case{" true", false, false}, Case{"", true, true}, Case{"yes", false, false},
          Case{"truex", false, false}}) {
        bool value = c.from;
        ParseBoolValue(c.text, value);
        EXPECT_EQ(value, c.expected) << '"' << c.text << '"';
    }
}

TEST(XmlValueReading, NumbersReadTheirLeadingDigitsAndZeroWithoutThem) {
    EXPECT_EQ(ParseIntValue("42"), 42);
    EXPECT_EQ(ParseIntValue("  -17xyz"), -17);
    EXPECT_EQ(ParseIntValue("+5"), 5);
    EXPECT_EQ(ParseIntValue("3.9"), 3);
    EXPECT_EQ(ParseIntValue("abc"), 0);
    EXPECT_EQ(ParseIntValue(""), 0);
    EXPECT_EQ(ParseIntValue("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseIntValue("-99999999999"), INT_MIN);
    EXPECT_EQ(ParseUnsignedValue("4294967295"), 4294967295u);
    EXPECT_EQ(ParseUnsignedValue("-1"), 4294967295u);
    EXPECT_EQ(ParseUnsignedValue("16711680"), 16711680u);
    EXPECT_EQ(ParseUnsignedValue("x"), 0u);
    EXPECT_EQ(ParseFloatValue("2.5"), 2.5f);
    EXPECT_EQ(ParseFloatValue(" -1e3"), -1000.0f);
    EXPECT_EQ(ParseFloatValue("1.5xyz"), 1.5f);
    EXPECT_EQ(ParseFloatValue(".5"), 0.5f);
    EXPECT_EQ(ParseFloatValue("abc"), 0.0f);
    EXPECT_EQ(ParseFloatValue(""), 0.0f);
    EXPECT_TRUE(std::isinf(ParseFloatValue("1e999")));
    EXPECT_EQ(ParseFloatValue("0.100000"), 0.1f);
}

TEST(XmlValueReading, APointKeepsEachCoordinateThatCannotBeRead) {
    const FPoint start(8.0f, 9.0f);
    const auto parse = [&](const char* text) {
        FPoint p = start;
        ParsePointValue(text, p);
        return p;
    };
    EXPECT_EQ(parse("1.5 2.5"), FPoint(1.5f, 2.5f));
    EXPECT_EQ(parse("  -1.0000   4.2500"), FPoint(-1.0f, 4.25f));
    EXPECT_EQ(parse("7"), FPoint(7.0f, 9.0f));
    EXPECT_EQ(parse("3,4"), FPoint(3.0f, 9.0f));
    EXPECT_EQ(parse("junk 1"), start);
    EXPECT_EQ(parse(""), start);
}

class PointListReading : public ::testing::TestWithParam<PointListCase> {};

// Expected points follow the rule by hand: read two numbers at the front, then drop the text
// through its second space.
TEST_P(PointListReading, FollowsTheTwoSpacesRule) {
    std::vector<FPoint> points;
    ParsePointListValue(GetParam().text, points);
    ASSERT_EQ(points.size(), GetParam().points.size()) << GetParam().text;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (std::isnan(GetParam().points[i].x)) {
            EXPECT_TRUE(std::isnan(points[i].x));
            continue;
        }
        EXPECT_EQ(points[i], GetParam().points[i]) << GetParam().text << " point " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PointListReading,
    ::testing::Values(PointListCase{{{1, 2}, {3, 4}}, "1 2 3 4 "},
                      PointListCase{{{1, 2}, {3, 4}}, "1 2 3 4"}, PointListCase{{}, ""},
                      PointListCase{{{1, 2}, {3, 4}}, "1 2 3 4 x y 5 6 "},
                      PointListCase{{{1, 2}}, "1 2 3"},
                      // The first space is the leading one: "1 2 " is not dropped whole.
                      PointListCase{{{1, 2}, {2, 3}}, " 1 2 3 4"},
                      // Without spaces the whole text goes after the first pair.
                      PointListCase{{{1, 2}}, "1\n2\n3\n4"},
                      PointListCase{{{1, 2}, {2, 3}}, "1  2 3 4 "},
                      // The second number may start right after the first.
                      PointListCase{{{1.5f, -2}}, "1.5-2 3 4"},
                      PointListCase{{{NAN, 0}, {1e30f, -1}}, "nan 0 1e30 -1 "},
                      PointListCase{{{1.25f, 10}}, "1.25\t10 "}));

TEST(PointListReading, AppendsToTheListItIsGiven) {
    std::vector<FPoint> points{{9, 9}};
    ParsePointListValue("1 2 ", points);
    EXPECT_EQ(points, (std::vector<FPoint>{{9, 9}, {1, 2}}));
}

// The rule as written, on a copy of the text that is cut at the front after every pair.
std::vector<FPoint> ReadPointListDirectly(std::string text) {
    std::vector<FPoint> points;
    while (!text.empty()) {
        float x = 0, y = 0;
        if (std::sscanf(text.c_str(), "%f %f", &x, &y) != 2)
            break;
        const std::size_t a = text.find(' ');
        const std::size_t b = a == std::string::npos ? a : text.find(' ', a + 1);
        text = b == std::string::npos ? std::string() : text.substr(b + 1);
        points.push_back({x, y});
    }
    return points;
}

TEST(PointListReading, AgreesWithTheRuleAsWrittenOnRandomTexts) {
    std::mt19937 random(20240611);
    const std::vector<std::string> pieces{
        " ", "  ", "\t",  "\n", "1", "-2.5",     "3e2",           "x",      ".", "7",
        "0", "+4", "nan", "1e", "-", "12345678", "0.00000000001", "-0.125", "1."};
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i)
            text += pieces[random() % pieces.size()];
        std::vector<FPoint> points;
        ParsePointListValue(text, points);
        const std::vector<FPoint> expected = ReadPointListDirectly(text);
        ASSERT_EQ(points.size(), expected.size()) << '"' << text << '"';
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (std::isnan(expected[i].x) || std::isnan(expected[i].y))
                continue;
            ASSERT_EQ(points[i], expected[i]) << '"' << text << '"';
        }
    }
}

// Each step drops only two spaces of a long run of blanks, yet the run is not scanned again
// for every step.
TEST(PointListReading, LongRunsOfBlanksStayLinear) {
    const std::size_t run = 2'000'000;
    const std::string text = "5" + std::string(run, ' ') + "7" + std::string(run, ' ') + "9 ";
    const auto start = std::chrono::steady_clock::now();
    std::vector<FPoint> points;
    ParsePointListValue(text, points);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    ASSERT_GT(points.size(), run / 2 - 2);
    EXPECT_LT(points.size(), run / 2 + 3);
    EXPECT_EQ(points.front(), FPoint(5, 7));
    EXPECT_EQ(points.back(), FPoint(7, 9));
    // The same shape, small enough for the rule as written.
    const std::string small = "5" + std::string(301, ' ') + "7" + std::string(301, ' ') + "9 ";
    std::vector<FPoint> smallPoints;
    ParsePointListValue(small, smallPoints);
    EXPECT_EQ(smallPoints, ReadPointListDirectly(small));
}

pugi::xml_document Parse(const char* text) {
    pugi::xml_document xml;
    EXPECT_TRUE(xml.load_string(text, pugi::parse_default | pugi::parse_ws_pcdata));
    return xml;
}

TEST(XmlLookup, CountsDescendantsAtAnyDepthAndAnswersOnlyForExactlyOne) {
    const pugi::xml_document xml =
        Parse("<r><a>1</a><b><a2/><deep><c>x</c></deep></b><d/><d/><m><d/><c/></m></r>");
    const pugi::xml_node r = xml.child("r");
    const CXmlLookup all(r, {"a", "c", "d", "missing"});
    EXPECT_STREQ(all.Unique("a").child_value(), "1");
    EXPECT_EQ(all.Count("c"), 2);
    EXPECT_FALSE(all.Unique("c"));
    EXPECT_EQ(all.Count("d"), 2);
    EXPECT_FALSE(all.Unique("missing"));
    EXPECT_FALSE(all.Unique("b")); // not asked for
    // Without the subtree of m, c and d are found once and twice.
    const CXmlLookup outside(r, {"c", "d", "m"}, "m");
    EXPECT_STREQ(outside.Unique("c").child_value(), "x");
    EXPECT_EQ(outside.Count("d"), 2);
    EXPECT_TRUE(outside.Unique("m"));
    // The scope itself does not count.
    EXPECT_FALSE(CXmlLookup(r, {"r"}).Unique("r"));
}

// Text embedded as an element's value (the reader parses so) joins as that element's first text.
TEST(XmlLookup, TextContentJoinsAllTextInDocumentOrder) {
    const char* text = "<v>a<x>b<y>c</y></x><![CDATA[<d>]]><!--no-->e</v><w> </w><e></e>";
    for (const unsigned embed : {0u, unsigned{pugi::parse_embed_pcdata}}) {
        pugi::xml_document xml;
        ASSERT_TRUE(xml.load_string(text, pugi::parse_default | pugi::parse_ws_pcdata | embed));
        EXPECT_EQ(TextContent(xml.child("v")), "abc<d>e");
        EXPECT_EQ(TextContent(xml.child("w")), " ");
        EXPECT_EQ(TextContent(xml.child("e")), "");
    }
}

TEST(XmlLookup, NestedScopesOfOneIndexMatchTheirOwnWalks) {
    const pugi::xml_document xml =
        Parse("<r><s><a>1</a><t><a>2</a><b/></t></s><s><b/><m><a/></m><a>3</a></s></r>");
    CXmlSubtree tree;
    tree.Index(xml.child("r"));
    const CXmlLookup top(tree, 0, {"s", "a"});
    EXPECT_EQ(top.Count("s"), 2);
    EXPECT_EQ(top.Count("a"), 2);
    std::vector<std::size_t> scopes;
    for (std::size_t i = 0; i < tree.Elements().size(); ++i)
        if (std::string_view(tree.Elements()[i].name) == "s")
            scopes.push_back(i);
    ASSERT_EQ(scopes.size(), 2u);
    EXPECT_FALSE(CXmlLookup(tree, scopes[0], {"a"}).Unique("a"));
    const std::size_t t = CXmlLookup(tree, scopes[0], {"t"}).UniqueAt("t");
    ASSERT_NE(t, CXmlLookup::kNone);
    EXPECT_STREQ(CXmlLookup(tree, t, {"a", "b"}).Unique("a").child_value(), "2");
    EXPECT_FALSE(CXmlLookup(tree, scopes[1], {"a"}).Unique("a"));
    EXPECT_STREQ(CXmlLookup(tree, scopes[1], {"a", "m"}, "m").Unique("a").child_value(), "3");
}

TEST(XmlLookup, VisitsAllElementsInDocumentOrder) {
    const pugi::xml_document xml = Parse("<r><s i='1'><s i='2'/></s><t><s i='3'/></t></r>");
    std::vector<int> found;
    EXPECT_TRUE(VisitElementsWithin(xml, 3, [&](pugi::xml_node e) {
        if (std::string_view(e.name()) == "s")
            found.push_back(e.attribute("i").as_int());
    }));
    EXPECT_EQ(found, (std::vector<int>{1, 2, 3}));
}

TEST(XmlLookup, MeasuresNestingWithoutRecursion) {
    std::string deep;
    const int levels = 500000;
    for (int i = 0; i < levels; ++i)
        deep += "<a>";
    for (int i = 0; i < levels; ++i)
        deep += "</a>";
    const pugi::xml_document xml = Parse(deep.c_str());
    const auto ignore = [](pugi::xml_node) {};
    EXPECT_FALSE(VisitElementsWithin(xml, levels - 1, ignore));
    EXPECT_TRUE(VisitElementsWithin(xml, levels, ignore));
    const pugi::xml_document flat = Parse("<a><b>t</b><c><d/></c></a>");
    EXPECT_TRUE(VisitElementsWithin(flat, 3, ignore));
    int visited = 0;
    EXPECT_FALSE(VisitElementsWithin(flat, 2, [&](pugi::xml_node) { ++visited; }));
    EXPECT_EQ(visited, 3); // a, b and c; d lies too deep
    EXPECT_EQ(CXmlLookup(xml, {"a"}).Count("a"), 2);
    EXPECT_EQ(TextContent(xml.first_child()), "");
}

} // namespace

namespace {

std::string Printf(const char* format, double value) {
    char text[512];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string ShortPrintf(float value) {
    std::string text = Printf("%.3f", value);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

// Every number format against printf, which rounds the exact binary value half to even: ties
// (dyadic fractions), values either side of 10^9 and random bit patterns of all sizes.
TEST(XmlValueWriting, NumbersMatchPrintfDigitForDigit) {
    std::vector<float> values = {0.0f, -0.0f,         2.0625f, 0.0625f, -0.0005f, 999999999.0f,
                                 1e9f, 1.00000006e9f, 3.4e38f, 1e-45f,  NAN};
    for (int k = 0; k <= 20; ++k)
        for (int m = 1; m < 4096; m += 7)
            values.push_back(std::ldexp(static_cast<float>(m), -k));
    std::mt19937 rng(4);
    for (int i = 0; i < 20000; ++i) {
        const std::uint32_t bits = rng();
        float v = 0.0f;
        std::memcpy(&v, &bits, sizeof v);
        values.push_back(std::isfinite(v) ? v : 1.5f);
        values.push_back(std::ldexp(static_cast<float>(rng() % 100000) - 50000.0f, -(i % 24)));
    }
    for (const float v : values) {
        ASSERT_EQ(FormatFloatValue(v), Printf("%.6f", v)) << v;
        ASSERT_EQ(FormatPointValue({v, -v}), Printf("%.4f", v) + " " + Printf("%.4f", -v)) << v;
        ASSERT_EQ(FormatPointListValue({{v, 1.0f}}), ShortPrintf(v) + " 1 ") << v;
    }
}

} // namespace
