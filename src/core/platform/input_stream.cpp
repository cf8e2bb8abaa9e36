#include "platform/input_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <utility>
#include <sys/stat.h>
#include <unistd.h>

namespace {

ByteSource DescriptorSource(int fd) {
    return [fd](char* buffer, std::size_t size) -> long {
        for (;;) {
            const ssize_t n = ::read(fd, buffer, size);
            if (n >= 0 || errno != EINTR)
                return static_cast<long>(n);
        }
    };
}

bool IsStream(const struct stat& info, int fd) {
    return S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) ||
           (S_ISCHR(info.st_mode) && ::isatty(fd));
}

} // namespace

CInputStream::CInputStream(CInputStream&& other) noexcept
    : source_(std::move(other.source_)), pending_(std::move(other.pending_)),
      error_(std::move(other.error_)), failedWhileReading_(other.failedWhileReading_),
      ended_(other.ended_), ownedDescriptor_(std::exchange(other.ownedDescriptor_, -1)) {}

CInputStream& CInputStream::operator=(CInputStream&& other) noexcept {
    if (this != &other) {
        if (ownedDescriptor_ >= 0)
            ::close(ownedDescriptor_);
        source_ = std::move(other.source_);
        pending_ = std::move(other.pending_);
        error_ = std::move(other.error_);
        failedWhileReading_ = other.failedWhileReading_;
        ended_ = other.ended_;
        ownedDescriptor_ = std::exchange(other.ownedDescriptor_, -1);
    }
    return *this;
}

CInputStream::~CInputStream() {
    if (ownedDescriptor_ >= 0)
        ::close(ownedDescriptor_);
}

CInputStream CInputStream::Refused(std::string why) {
    CInputStream input;
    return std::move(input.Refuse(std::move(why)));
}

CInputStream& CInputStream::Refuse(std::string why) {
    error_ = std::move(why);
    ended_ = true;
    return *this;
}

CInputStream CInputStream::OfText(std::string text) {
    auto rest = std::make_shared<std::string>(std::move(text));
    return CInputStream([rest, at = std::size_t{0}](char* buffer, std::size_t size) mutable {
        const std::size_t n = std::min(size, rest->size() - at);
        std::copy_n(rest->data() + at, n, buffer);
        at += n;
        return static_cast<long>(n);
    });
}

CInputStream CInputStream::StandardInput() {
    return CInputStream(DescriptorSource(STDIN_FILENO));
}

// Opened without blocking, so that a FIFO nobody has opened for writing does not block the
// open; its first read then tells: no data and no writer reads as its end.
CInputStream CInputStream::Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Refused(std::strerror(errno));
    CInputStream input(DescriptorSource(fd));
    input.ownedDescriptor_ = fd;
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return std::move(input.Refuse(std::strerror(errno)));
    if (S_ISDIR(info.st_mode))
        return std::move(input.Refuse("it is a folder"));
    if (!S_ISREG(info.st_mode) && !IsStream(info, fd))
        return std::move(input.Refuse("not a regular file or a readable stream"));
    if (S_ISFIFO(info.st_mode)) {
        char first[4096];
        const long n = input.source_(first, sizeof first);
        if (n == 0)
            return std::move(input.Refuse(
                "nothing to read: the pipe is empty and no program writes into it"));
        if (n < 0 && errno != EAGAIN)
            return std::move(input.Refuse(std::strerror(errno)));
        if (n > 0)
            input.pending_.assign(first, static_cast<std::size_t>(n));
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return std::move(input.Refuse(std::strerror(errno)));
    return input;
}

std::size_t CInputStream::Read(char* buffer, std::size_t size) {
    if (!pending_.empty()) {
        const std::size_t n = std::min(size, pending_.size());
        std::copy_n(pending_.data(), n, buffer);
        pending_.erase(0, n);
        return n;
    }
    if (ended_ || size == 0)
        return 0;
    const long n = source_(buffer, size);
    if (n > 0)
        return static_cast<std::size_t>(n);
    ended_ = true;
    if (n < 0) {
        error_ = std::strerror(errno);
        failedWhileReading_ = true;
    }
    return 0;
}
