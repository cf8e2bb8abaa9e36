#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

// Reads a text file line by line the way the outline readers expect: one read returns at most
// 1022 characters and stops after a line feed, which stays in the returned text; a longer line
// comes in pieces; a carriage return right before a line feed is dropped. The end of the file
// makes a read fail. Positions are byte offsets and can be returned to.
class CTextLineReader {
public:
    static constexpr std::size_t kMaxReadChars = 1022;

    CTextLineReader() = default;
    ~CTextLineReader();
    CTextLineReader(const CTextLineReader&) = delete;
    CTextLineReader& operator=(const CTextLineReader&) = delete;

    bool Open(const std::filesystem::path& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    // False at the end of the file (or on a read error, see HadError).
    bool ReadLine(std::string& line);
    bool HadError() const { return error_; }

    std::int64_t Tell() const { return bufferStart_ + static_cast<std::int64_t>(pos_); }
    bool Seek(std::int64_t position);

private:
    bool Fill();
    int Peek();

    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::int64_t bufferStart_ = 0;
    bool error_ = false;
};
