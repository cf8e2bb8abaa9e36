#include "platform/input_bytes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kChunk = 1 << 16;

std::string SystemReason(int error) {
    return std::strerror(error);
}

// Appends chunks until the end, a failure or the size limit.
CInputBytes ReadAll(const ByteSource& source, CInputBytes input) {
    for (;;) {
        const std::size_t old = input.bytes.size();
        if (old >= kMaxInputBytes) {
            input.error = "larger than 1 GiB";
            input.bytes.clear();
            return input;
        }
        // A regular file's size is reserved up front: it is read in one go, never copied.
        const std::size_t room = input.bytes.capacity() - old;
        const std::size_t chunk = room >= kChunk ? room : kChunk;
        input.bytes.resize(old + chunk);
        const long n = source(input.bytes.data() + old, chunk);
        input.bytes.resize(old + (n > 0 ? static_cast<std::size_t>(n) : 0));
        if (n == 0)
            return input;
        if (n < 0) {
            input.error = SystemReason(errno);
            input.failedWhileReading = true;
            return input;
        }
    }
}

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

// A FIFO that nobody has opened for writing would block the read for ever; opened without
// blocking, its first read tells: no data and no writer reads as its end.
bool WaitForWriter(int fd, CInputBytes& input) {
    char first[kChunk];
    const long n = DescriptorSource(fd)(first, sizeof first);
    if (n == 0) {
        input.error = "nothing to read: the pipe is empty and no program writes into it";
        return false;
    }
    if (n < 0 && errno != EAGAIN) {
        input.error = SystemReason(errno);
        input.failedWhileReading = true;
        return false;
    }
    if (n > 0)
        input.bytes.assign(first, static_cast<std::size_t>(n));
    return true;
}

class CDescriptor {
public:
    explicit CDescriptor(int fd) : fd_(fd) {}
    ~CDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

} // namespace

CInputBytes ReadInputFile(const std::string& path) {
    CInputBytes input;
    const CDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0) {
        input.error = SystemReason(errno);
        return input;
    }
    if (S_ISDIR(info.st_mode)) {
        input.error = "it is a folder";
        return input;
    }
    if (S_ISREG(info.st_mode)) {
        if (static_cast<std::size_t>(info.st_size) > kMaxInputBytes) {
            input.error = "larger than 1 GiB";
            return input;
        }
        input.bytes.reserve(static_cast<std::size_t>(info.st_size) + kChunk);
        return ReadAll(DescriptorSource(file.Get()), std::move(input));
    }
    if (!IsStream(info, file.Get())) {
        input.error = "not a regular file or a readable stream";
        return input;
    }
    if (S_ISFIFO(info.st_mode) && !WaitForWriter(file.Get(), input))
        return input;
    const int flags = ::fcntl(file.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        input.error = SystemReason(errno);
        return input;
    }
    return ReadAll(DescriptorSource(file.Get()), std::move(input));
}

CInputBytes ReadStandardInput() {
    return ReadAll(DescriptorSource(STDIN_FILENO), {});
}

CInputBytes ReadInputSource(const ByteSource& source) {
    return ReadAll(source, {});
}
