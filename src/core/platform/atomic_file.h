#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Writes a file so that the previous version survives any failure: the data goes to a unique
// temporary file beside the target, which Commit flushes to disk and renames over the target.
// Without Commit (or after a failure) the temporary file is removed. Every failing call
// returns false and leaves a message naming the file and the system's reason.
class CAtomicFile {
public:
    CAtomicFile() = default;
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    bool Open(const std::filesystem::path& target);
    bool Write(std::string_view data);
    bool Commit();

    const std::string& ErrorMessage() const { return error_; }
    const std::filesystem::path& GetTempPath() const { return temp_; }

private:
    bool CreateTemp();
    bool Fail(const std::string& reason);
    void Discard();

    int fd_ = -1;
    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::string error_;
};
