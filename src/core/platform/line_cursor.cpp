#include "platform/line_cursor.h"

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
}

CLineCursor::CLineCursor(std::string_view text) : text_(text) {
    if (text_.starts_with(kByteOrderMark))
        offset_ = kByteOrderMark.size();
}

bool CLineCursor::Next(std::string_view& line) {
    if (offset_ >= text_.size())
        return false;
    const char* data = text_.data();
    const std::size_t size = text_.size();
    std::size_t end = offset_;
    while (end < size && data[end] != '\n' && data[end] != '\r')
        ++end;
    line = text_.substr(offset_, end - offset_);
    ++line_;
    hadLineEnd_ = end < size;
    if (end < size && data[end] == '\r' && end + 1 < size && data[end + 1] == '\n')
        ++end;
    offset_ = end < size ? end + 1 : end;
    return true;
}

void CLineCursor::Seek(Mark mark) {
    offset_ = mark.offset < text_.size() ? mark.offset : text_.size();
    line_ = mark.line;
    hadLineEnd_ = true;
}

std::string_view TrimBlanks(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = line.find_last_not_of(" \t");
    return line.substr(first, last - first + 1);
}
