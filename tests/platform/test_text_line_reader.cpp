#include "platform/text_line_reader.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kInternalBuffer = 1 << 16;

class TextLineReaderTest : public ::testing::Test {
protected:
    fs::path Write(const std::string& bytes) {
        std::string name = "f";
        name += std::to_string(++count_);
        return scratch_.Write(name + ".txt", bytes);
    }

    // Every read until the reader fails.
    static std::vector<std::string> ReadAll(CTextLineReader& reader) {
        std::vector<std::string> lines;
        std::string line;
        while (reader.ReadLine(line))
            lines.push_back(line);
        EXPECT_TRUE(line.empty());
        return lines;
    }

    std::vector<std::string> ReadFile(const std::string& bytes) {
        CTextLineReader reader;
        EXPECT_TRUE(reader.Open(Write(bytes)));
        return ReadAll(reader);
    }

    CScratchFolder scratch_;
    int count_ = 0;
};

// What a text-mode fgets with a 1023-byte buffer gives, worked out by plain string handling.
std::vector<std::string> ReferencePieces(const std::string& bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            text.push_back(bytes[i]);
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        const std::size_t lineEnd = lf == std::string::npos ? text.size() : lf + 1;
        const std::size_t end = std::min(lineEnd, start + 1022);
        pieces.push_back(text.substr(start, end - start));
        start = end;
    }
    return pieces;
}

TEST_F(TextLineReaderTest, LineFeedIsKeptAndCarriageReturnBeforeItDropped) {
    const std::vector<std::string> expected{"LM=0\n", "OUTLINES=1\n", "\n", "x\n"};
    EXPECT_EQ(ReadFile("LM=0\r\nOUTLINES=1\n\r\nx\r\n"), expected);
}

TEST_F(TextLineReaderTest, LoneCarriageReturnsAreKept) {
    const std::vector<std::string> expected{"a\rb\n", "\r\n", "c\r"};
    EXPECT_EQ(ReadFile("a\rb\n\r\r\nc\r"), expected);
}

TEST_F(TextLineReaderTest, LongLineComesInPiecesOf1022) {
    std::string line(2500, ' ');
    for (std::size_t i = 0; i < line.size(); ++i)
        line[i] = static_cast<char>('a' + i % 26);
    const auto pieces = ReadFile(line + "\nend\n");
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0], line.substr(0, 1022));
    EXPECT_EQ(pieces[1], line.substr(1022, 1022));
    EXPECT_EQ(pieces[2], line.substr(2044) + "\n");
    EXPECT_EQ(pieces[2].size(), 457u); // 456 characters and the line feed
    EXPECT_EQ(pieces[3], "end\n");
}

TEST_F(TextLineReaderTest, LineFeedAfterFull1022CharactersIsASeparateRead) {
    const std::string full(1022, 'x');
    EXPECT_EQ(ReadFile(full + "\n"), (std::vector<std::string>{full, "\n"}));
    EXPECT_EQ(ReadFile(full + "\r\n"), (std::vector<std::string>{full, "\n"}));
    // One character fewer and the line feed fits; a dropped CR takes no room.
    const std::string shorter(1021, 'y');
    EXPECT_EQ(ReadFile(shorter + "\n"), (std::vector<std::string>{shorter + "\n"}));
    EXPECT_EQ(ReadFile(shorter + "\r\n"), (std::vector<std::string>{shorter + "\n"}));
    EXPECT_EQ(ReadFile(shorter + "\ra"), (std::vector<std::string>{shorter + "\r", "a"}));
}

TEST_F(TextLineReaderTest, LastLineWithoutLineFeed) {
    EXPECT_EQ(ReadFile("POINTS=2\n1 2"), (std::vector<std::string>{"POINTS=2\n", "1 2"}));
}

TEST_F(TextLineReaderTest, EmptyFileFailsAtOnce) {
    CTextLineReader reader;
    ASSERT_TRUE(reader.Open(Write("")));
    std::string line = "stale";
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_TRUE(line.empty());
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_FALSE(reader.HadError());
}

TEST_F(TextLineReaderTest, NulBytesStayInsideTheLine) {
    const std::string first("ab\0cd\n", 6);
    const auto lines = ReadFile(first + std::string("\0\0\n", 3) + "next\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], first);
    EXPECT_EQ(lines[1], std::string("\0\0\n", 3));
    EXPECT_EQ(lines[2], "next\n");
}

TEST_F(TextLineReaderTest, MissingFileOrDirectoryDoesNotOpen) {
    CTextLineReader reader;
    EXPECT_FALSE(reader.Open(scratch_.Path() / "no-such-file.tps"));
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(reader.Open(scratch_.Path()));
    EXPECT_FALSE(reader.IsOpen());
    std::string line;
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_FALSE(reader.Seek(0));
}

TEST_F(TextLineReaderTest, TellCountsBytesIncludingDroppedCarriageReturns) {
    CTextLineReader reader;
    ASSERT_TRUE(reader.Open(Write("ab\r\ncd\n" + std::string(1030, 'z'))));
    std::string line;
    EXPECT_EQ(reader.Tell(), 0);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(reader.Tell(), 4);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(reader.Tell(), 7);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(reader.Tell(), 7 + 1022);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, std::string(8, 'z'));
    EXPECT_EQ(reader.Tell(), 7 + 1030);
    EXPECT_FALSE(reader.Seek(-1));
}

TEST_F(TextLineReaderTest, ReopeningStartsAfresh) {
    CTextLineReader reader;
    ASSERT_TRUE(reader.Open(Write("first\nsecond\n")));
    std::string line;
    ASSERT_TRUE(reader.ReadLine(line));
    ASSERT_TRUE(reader.Open(Write("other\n")));
    EXPECT_EQ(reader.Tell(), 0);
    EXPECT_EQ(ReadAll(reader), std::vector<std::string>{"other\n"});
    reader.Close();
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(reader.ReadLine(line));
}

// Numbered lines "line <n>\r\n" of 20 bytes, enough to pass the internal buffer twice.
std::string NumberedLines(int count) {
    std::string bytes;
    for (int n = 0; n < count; ++n) {
        std::string line = "line " + std::to_string(n);
        line.resize(18, '.');
        bytes += line + "\r\n";
    }
    return bytes;
}

TEST_F(TextLineReaderTest, SeekReturnsToRememberedPositions) {
    const std::string bytes = NumberedLines(7000); // 140000 bytes
    CTextLineReader reader;
    ASSERT_TRUE(reader.Open(Write(bytes)));
    std::string line;
    std::vector<std::int64_t> positions;
    std::vector<std::string> lines;
    for (;;) {
        positions.push_back(reader.Tell());
        if (!reader.ReadLine(line))
            break;
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 7000u);
    EXPECT_EQ(positions.back(), static_cast<std::int64_t>(bytes.size()));
    // Back from the end of the file, within one buffer, and across buffer boundaries.
    for (const int n : {0, 1, 3276, 3277, 6552, 6553, 6999, 3300, 10, 6999}) {
        ASSERT_TRUE(reader.Seek(positions[n])) << n;
        EXPECT_EQ(reader.Tell(), positions[n]);
        ASSERT_TRUE(reader.ReadLine(line)) << n;
        EXPECT_EQ(line, lines[n]) << n;
        EXPECT_EQ(reader.Tell(), positions[n + 1]);
    }
    ASSERT_TRUE(reader.Seek(positions[5]));
    for (int n = 5; n < 7000; ++n) {
        ASSERT_TRUE(reader.ReadLine(line));
        ASSERT_EQ(line, lines[n]);
    }
    EXPECT_FALSE(reader.ReadLine(line));
}

// Places a CR (followed by LF or not) at and around the end of the internal buffer.
class BufferBoundaryTest : public TextLineReaderTest,
                           public ::testing::WithParamInterface<std::tuple<std::size_t, char>> {};

TEST_P(BufferBoundaryTest, CarriageReturnNearTheBufferEnd) {
    const auto [crAt, after] = GetParam();
    std::string bytes = NumberedLines(static_cast<int>(crAt / 20));
    bytes.resize(crAt, 'p');
    bytes += '\r';
    bytes += after;
    bytes += "tail\r\n";
    ASSERT_EQ(bytes[crAt], '\r');
    const auto expected = ReferencePieces(bytes);
    const auto lines = ReadFile(bytes);
    EXPECT_EQ(lines, expected);
    std::string joined;
    for (const std::string& line : lines)
        joined += line;
    const std::string end = after == '\n' ? "p\ntail\n" : "p\rxtail\n";
    EXPECT_EQ(joined.substr(joined.size() - end.size()), end);
}

INSTANTIATE_TEST_SUITE_P(AroundBoundary, BufferBoundaryTest,
                         ::testing::Combine(::testing::Values(kInternalBuffer - 2,
                                                              kInternalBuffer - 1, kInternalBuffer,
                                                              2 * kInternalBuffer - 1),
                                            ::testing::Values('\n', 'x')));

TEST_F(TextLineReaderTest, SeekBackToTheMiddleOfACrLfSplitByTheBuffer) {
    std::string bytes(kInternalBuffer - 1, 'q');
    bytes += "\r\nafter\n";
    CTextLineReader reader;
    ASSERT_TRUE(reader.Open(Write(bytes)));
    std::string line;
    for (int i = 0; i < 64; ++i)
        ASSERT_TRUE(reader.ReadLine(line));
    const std::int64_t beforeTail = reader.Tell();
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, std::string(127, 'q') + "\n"); // 65535 = 64 * 1022 + 127
    EXPECT_EQ(reader.Tell(), static_cast<std::int64_t>(kInternalBuffer + 1));
    ASSERT_TRUE(reader.Seek(beforeTail));
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, std::string(127, 'q') + "\n");
    // The LF alone, its CR lying before the seek position.
    ASSERT_TRUE(reader.Seek(static_cast<std::int64_t>(kInternalBuffer)));
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "\n");
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "after\n");
}

// Random bytes rich in CR, LF and NUL: the reads must put the file back together.
TEST_F(TextLineReaderTest, RandomBinaryContentMatchesReference) {
    std::mt19937 rng(20240611);
    const std::string alphabet("\r\n\r\0ab \xff", 9);
    for (const std::size_t size : {std::size_t{1}, std::size_t{3000}, 3 * kInternalBuffer + 7}) {
        std::string bytes(size, ' ');
        for (char& c : bytes)
            c = rng() % 50 == 0 ? alphabet[rng() % alphabet.size()] : 'a';
        const auto lines = ReadFile(bytes);
        EXPECT_EQ(lines, ReferencePieces(bytes)) << size;
        for (const std::string& line : lines)
            ASSERT_LE(line.size(), CTextLineReader::kMaxReadChars);
    }
}

} // namespace
