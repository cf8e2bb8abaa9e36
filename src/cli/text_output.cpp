#include "text_output.h"

#include <cerrno>
#include <cstring>

namespace {
constexpr std::size_t kBuffer = 1 << 20;
}

CTextOutput::~CTextOutput() {
    if (file_)
        std::fclose(file_);
}

bool CTextOutput::Open(const std::filesystem::path& path) {
    path_ = path;
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        error_ = errno;
        return false;
    }
    std::setvbuf(file_, nullptr, _IOFBF, kBuffer);
    return true;
}

void CTextOutput::Write(std::string_view text) {
    if (!file_ || error_)
        return;
    std::size_t start = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos;
         lf = text.find('\n', start)) {
        std::fwrite(text.data() + start, 1, lf - start, file_);
        std::fwrite("\r\n", 1, 2, file_);
        start = lf + 1;
    }
    std::fwrite(text.data() + start, 1, text.size() - start, file_);
    if (std::ferror(file_))
        error_ = errno;
}

bool CTextOutput::Close(std::string& error) {
    if (file_ && std::fclose(file_) != 0 && !error_)
        error_ = errno;
    file_ = nullptr;
    if (!error_)
        return true;
    error = "Could not write " + path_.string() + ": " + std::strerror(error_);
    return false;
}

bool WriteFileBytes(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    int failure = file ? 0 : errno;
    if (file && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        failure = errno;
    if (file && std::fclose(file) != 0 && !failure)
        failure = errno;
    if (!failure)
        return true;
    error = "Could not write " + path.string() + ": " + std::strerror(failure);
    return false;
}
