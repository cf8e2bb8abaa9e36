#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <unistd.h>

// A unique folder under the system's temporary folder, removed with everything in it.
class CScratchFolder {
public:
    CScratchFolder() {
        std::random_device device;
        const std::string name =
            "carinova-test-" + std::to_string(::getpid()) + "-" + std::to_string(device());
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(path_);
    }
    ~CScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Writes the bytes as they are (no line end translation); returns the file's path.
    std::string Write(const std::string& name, std::string_view content) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream out(file, std::ios::binary);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        return file.string();
    }

    static std::string ReadBytes(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path path_;
};
