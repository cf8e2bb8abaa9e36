#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// A text result written as it is produced, in the manner of a text-mode file on the desktop
// (each line feed written as carriage return and line feed). It goes into the staging folder,
// which is committed whole, so it needs no temporary file of its own.
class CTextOutput {
public:
    CTextOutput() = default;
    ~CTextOutput();
    CTextOutput(const CTextOutput&) = delete;
    CTextOutput& operator=(const CTextOutput&) = delete;

    bool Open(const std::filesystem::path& path);
    void Write(std::string_view text);
    // False, with `error` naming the file and the reason, when any write failed.
    bool Close(std::string& error);

private:
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
    int error_ = 0;
};

// Bytes written as they are into a new file of the staging folder (no temporary file, no
// flush to the disk: the folder is committed whole). False with `error` naming the file.
bool WriteFileBytes(const std::filesystem::path& path, std::string_view bytes, std::string& error);
