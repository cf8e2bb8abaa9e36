#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class CInputStream;

// Walks the lines of a text, held in memory or read from an input as the lines are asked for
// (so that an input of any size takes no more memory than its longest line). A line ends at a
// line feed, a carriage return and line feed, or a carriage return alone; the line end is not
// part of the line. A UTF-8 byte order mark at the start is skipped. Lines are counted from 1,
// so every message can name one. A line returned stays valid until the next call of Next.
class CLineCursor {
public:
    // Over a text the caller keeps alive as long as the cursor.
    explicit CLineCursor(std::string_view text);
    // Over an input the caller keeps alive as long as the cursor.
    explicit CLineCursor(CInputStream& input);

    // The next line; false at the end of the text.
    bool Next(std::string_view& line) {
        // The common case inline: a line whose end is among the bytes at hand.
        const char* data = data_.data();
        const std::size_t size = data_.size();
        std::size_t end = pos_;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        if (end + 1 >= size || !bomChecked_)
            return NextSlowly(line);
        line = std::string_view(data + pos_, end - pos_);
        lastStart_ = pos_;
        ++line_;
        hadLineEnd_ = true;
        pos_ = end + (data[end] == '\r' && data[end + 1] == '\n' ? 2 : 1);
        return true;
    }
    // The line last returned comes again with the next call of Next; only right after Next.
    void Unread();
    // The number of the line last returned (0 before the first).
    std::int64_t LineNumber() const { return line_; }
    // Whether the line last returned ended with a line end (only the last line of a text can
    // lack one).
    bool HadLineEnd() const { return hadLineEnd_; }
    // Whether no line is left (reads ahead when it must).
    bool AtEnd();

    // The text ahead of the cursor: at least `size` bytes where the input holds them, with its
    // first line complete, cut after its last whole line; all that is left near the end. For a
    // look at the start of a file before it is read.
    std::string_view Ahead(std::size_t size);

private:
    bool NextSlowly(std::string_view& line);
    bool Fill();
    void SkipByteOrderMark();

    CInputStream* input_ = nullptr;
    std::vector<char> buffer_;
    std::string_view data_; // the bytes at hand: the text, or the filled part of the buffer
    std::size_t pos_ = 0;   // in data_, the start of what was not returned yet
    bool ended_ = true;     // no more bytes will come into data_
    bool bomChecked_ = false;
    std::size_t lastStart_ = 0; // in data_, where the line last returned starts
    std::int64_t line_ = 0;
    bool hadLineEnd_ = true;
};

// The line without the blanks (spaces and tabs) around it.
std::string_view TrimBlanks(std::string_view line);
