#include "platform/text_line_reader.h"

#include <algorithm>

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
}

CTextLineReader::~CTextLineReader() {
    Close();
}

bool CTextLineReader::Open(const std::filesystem::path& path) {
    Close();
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return false;
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_)
        return false;
    buffer_.resize(kBufferSize);
    pos_ = end_ = 0;
    bufferStart_ = 0;
    error_ = false;
    return true;
}

void CTextLineReader::Close() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
}

bool CTextLineReader::Fill() {
    if (!file_)
        return false;
    bufferStart_ += static_cast<std::int64_t>(end_);
    pos_ = end_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (end_ == 0 && std::ferror(file_))
        error_ = true;
    return end_ > 0;
}

int CTextLineReader::Peek() {
    if (pos_ == end_ && !Fill())
        return EOF;
    return static_cast<unsigned char>(buffer_[pos_]);
}

bool CTextLineReader::ReadLine(std::string& line) {
    line.clear();
    while (line.size() < kMaxReadChars) {
        if (pos_ == end_ && !Fill())
            break;
        // The run of ordinary characters is copied at once; only CR and LF need a look.
        const char* data = buffer_.data();
        const std::size_t limit = std::min(end_, pos_ + (kMaxReadChars - line.size()));
        std::size_t stop = pos_;
        while (stop < limit && data[stop] != '\n' && data[stop] != '\r')
            ++stop;
        line.append(data + pos_, stop - pos_);
        pos_ = stop;
        if (stop == limit)
            continue;
        const char c = data[pos_++];
        if (c == '\r' && Peek() == '\n')
            continue; // text mode: CR LF reads as LF
        line.push_back(c);
        if (c == '\n')
            break;
    }
    return !line.empty();
}

bool CTextLineReader::Seek(std::int64_t position) {
    if (!file_ || position < 0)
        return false;
    if (position >= bufferStart_ && position <= bufferStart_ + static_cast<std::int64_t>(end_)) {
        pos_ = static_cast<std::size_t>(position - bufferStart_);
        return true;
    }
    if (std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0)
        return false;
    bufferStart_ = position;
    pos_ = end_ = 0;
    return true;
}
