#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

// The document reader takes a path, so each input is written to a file of this process's own
// scratch folder first (one per process: libFuzzer may run several jobs side by side).
class CFuzzInputFile {
public:
    explicit CFuzzInputFile(const char* extension) {
        folder_ = std::filesystem::temp_directory_path() /
                  ("carinova-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / (std::string("input") + extension)).string();
    }
    ~CFuzzInputFile() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    CFuzzInputFile(const CFuzzInputFile&) = delete;
    CFuzzInputFile& operator=(const CFuzzInputFile&) = delete;

    const std::string& Write(const std::uint8_t* data, std::size_t size) {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (file) {
            if (size > 0)
                std::fwrite(data, 1, size, file);
            std::fclose(file);
        }
        return path_;
    }
    std::string Sibling(const char* name) const { return (folder_ / name).string(); }

private:
    std::filesystem::path folder_;
    std::string path_;
};
