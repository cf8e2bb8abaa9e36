#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Walks the lines of a text held in memory. A line ends at a line feed, a carriage return and
// line feed, or a carriage return alone; the line end is not part of the line. A UTF-8 byte
// order mark at the start is skipped. Lines are counted from 1, so every message can name one.
class CLineCursor {
public:
    // A place in the text to come back to.
    struct Mark {
        std::size_t offset = 0;
        std::int64_t line = 0;
    };

    CLineCursor() = default;
    explicit CLineCursor(std::string_view text);

    // The next line; false at the end of the text.
    bool Next(std::string_view& line);
    // The number of the line last returned (0 before the first).
    std::int64_t LineNumber() const { return line_; }
    // Whether the line last returned ended with a line end (only the last line of a text can
    // lack one).
    bool HadLineEnd() const { return hadLineEnd_; }
    bool AtEnd() const { return offset_ >= text_.size(); }

    Mark Tell() const { return {offset_, line_}; }
    void Seek(Mark mark);

private:
    std::string_view text_;
    std::size_t offset_ = 0;
    std::int64_t line_ = 0;
    bool hadLineEnd_ = true;
};

// The line without the blanks (spaces and tabs) around it.
std::string_view TrimBlanks(std::string_view line);
