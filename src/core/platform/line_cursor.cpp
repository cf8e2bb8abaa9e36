#include "platform/line_cursor.h"

#include "platform/input_stream.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kChunk = 1 << 16;
// A longer line is returned in pieces of this size: the memory an input can take is bounded.
constexpr std::size_t kMaxLine = std::size_t{1} << 26;

} // namespace

CLineCursor::CLineCursor(std::string_view text) : data_(text) {}

CLineCursor::CLineCursor(CInputStream& input) : input_(&input), ended_(false) {}

// Moves what is left to the front of the buffer and reads more after it; false when nothing
// more came. Lines returned before are no longer valid.
bool CLineCursor::Fill() {
    if (ended_)
        return false;
    const std::size_t left = data_.size() - pos_;
    if (left > 0 && pos_ > 0)
        std::memmove(buffer_.data(), buffer_.data() + pos_, left);
    pos_ = 0;
    if (buffer_.size() < left + kChunk)
        buffer_.resize(std::max(left + kChunk, 2 * buffer_.size()));
    const std::size_t n = input_->Read(buffer_.data() + left, buffer_.size() - left);
    ended_ = n == 0;
    data_ = std::string_view(buffer_.data(), left + n);
    return n > 0;
}

void CLineCursor::SkipByteOrderMark() {
    if (bomChecked_)
        return;
    while (data_.size() - pos_ < kByteOrderMark.size() && Fill()) {
    }
    if (data_.substr(pos_).starts_with(kByteOrderMark))
        pos_ += kByteOrderMark.size();
    bomChecked_ = true;
}

// The line when it was read again, or when its end is not among the bytes at hand.
bool CLineCursor::NextSlowly(std::string_view& line) {
    SkipByteOrderMark();
    for (;;) {
        // Outline lines are short: a plain loop finds their end sooner than a library search.
        const char* data = data_.data();
        const std::size_t size = data_.size();
        std::size_t end = pos_;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        // Without a line end at hand the line may go on in bytes not read yet; a carriage
        // return at the end of them may have its line feed there.
        const bool open = end == size || (data[end] == '\r' && end + 1 == size);
        if (open && size - pos_ < kMaxLine && !ended_) {
            Fill(); // moves the bytes at hand: the line is looked for again
            continue;
        }
        if (end == pos_ && end == size)
            return false;
        line = data_.substr(pos_, end - pos_);
        lastStart_ = pos_;
        ++line_;
        hadLineEnd_ = end < size || size - pos_ >= kMaxLine;
        if (end < size && data[end] == '\r' && end + 1 < size && data[end + 1] == '\n')
            ++end;
        pos_ = end < size ? end + 1 : end;
        return true;
    }
}

// The bytes of the line last returned are still at hand: only Fill moves them, and it is called
// before a line is returned, never after.
void CLineCursor::Unread() {
    pos_ = lastStart_;
    --line_;
}

bool CLineCursor::AtEnd() {
    SkipByteOrderMark();
    return pos_ >= data_.size() && !Fill();
}

std::string_view CLineCursor::Ahead(std::size_t size) {
    SkipByteOrderMark();
    while (data_.size() - pos_ < size && Fill()) {
    }
    std::string_view ahead = data_.substr(pos_);
    while (ahead.find_first_of("\r\n") == std::string_view::npos && ahead.size() < kMaxLine &&
           Fill())
        ahead = data_.substr(pos_);
    const std::size_t lastEnd = ahead.find_last_of("\r\n");
    if (!ended_ && lastEnd != std::string_view::npos)
        ahead = ahead.substr(0, lastEnd + 1);
    return ahead;
}

std::string_view TrimBlanks(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = line.find_last_not_of(" \t");
    return line.substr(first, last - first + 1);
}
