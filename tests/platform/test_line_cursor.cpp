#include "platform/line_cursor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct SLine {
    std::string text;
    bool hadLineEnd;
    friend bool operator==(const SLine&, const SLine&) = default;
};

std::vector<SLine> CursorLines(const std::string& text) {
    CLineCursor cursor(text);
    std::vector<SLine> lines;
    std::string_view line;
    while (cursor.Next(line)) {
        lines.push_back({std::string(line), cursor.HadLineEnd()});
        EXPECT_EQ(cursor.LineNumber(), static_cast<std::int64_t>(lines.size()));
    }
    return lines;
}

// A line ends at "\r\n", "\n" or "\r", found character by character.
std::vector<SLine> ReferenceLines(const std::string& text) {
    std::vector<SLine> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            current += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        lines.push_back({current, true});
        current.clear();
    }
    if (!current.empty())
        lines.push_back({current, false});
    return lines;
}

TEST(LineCursorTest, EndsLinesAtLineFeedCarriageReturnOrBoth) {
    EXPECT_EQ(CursorLines("a\nb\r\nc\rd"),
              (std::vector<SLine>{{"a", true}, {"b", true}, {"c", true}, {"d", false}}));
    EXPECT_EQ(CursorLines("\n\r\n\r"), (std::vector<SLine>{{"", true}, {"", true}, {"", true}}));
    EXPECT_EQ(CursorLines("x\n\n"), (std::vector<SLine>{{"x", true}, {"", true}}));
    EXPECT_TRUE(CursorLines("").empty());
}

TEST(LineCursorTest, SkipsAByteOrderMarkAtTheStartOnly) {
    EXPECT_EQ(CursorLines("\xEF\xBB\xBFLM=0\n\xEF\xBB\xBF"),
              (std::vector<SLine>{{"LM=0", true}, {"\xEF\xBB\xBF", false}}));
}

// Random texts of line ends, blanks and letters against the character-by-character split.
TEST(LineCursorTest, AgreesWithAPlainSplitOnRandomTexts) {
    std::mt19937 random(17);
    const std::string alphabet = "ab \t\r\n";
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 40, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        ASSERT_EQ(CursorLines(text), ReferenceLines(text)) << "text: " << text;
    }
}

TEST(LineCursorTest, GivesAnUnreadLineAgainWithItsNumber) {
    CLineCursor cursor("one\r\ntwo\nthree");
    std::string_view line;
    ASSERT_TRUE(cursor.Next(line));
    ASSERT_TRUE(cursor.Next(line));
    cursor.Unread();
    EXPECT_EQ(cursor.LineNumber(), 1);
    EXPECT_FALSE(cursor.AtEnd());
    ASSERT_TRUE(cursor.Next(line));
    EXPECT_EQ(line, "two");
    EXPECT_EQ(cursor.LineNumber(), 2);
    ASSERT_TRUE(cursor.Next(line));
    EXPECT_FALSE(cursor.HadLineEnd());
    EXPECT_TRUE(cursor.AtEnd());
}

TEST(LineCursorTest, TrimsBlanksAroundALine) {
    EXPECT_EQ(TrimBlanks(" \tID=0 \t"), "ID=0");
    EXPECT_EQ(TrimBlanks(" \t "), "");
    EXPECT_EQ(TrimBlanks("a b"), "a b");
}

} // namespace
