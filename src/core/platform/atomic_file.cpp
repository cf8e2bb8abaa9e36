#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kMaxNameAttempts = 100;
// Keeps the temporary name within the usual 255-byte file name limit.
constexpr std::size_t kMaxStemBytes = 120;

std::string SystemReason(int error) {
    return std::strerror(error);
}

std::filesystem::path ResolveTarget(const std::filesystem::path& target) {
    // Renaming over a symbolic link would replace the link, not the file it points to.
    std::error_code ec;
    if (!std::filesystem::is_symlink(target, ec))
        return target;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
    return ec ? target : resolved;
}

std::string TempName(const std::filesystem::path& target, unsigned long long token) {
    std::string stem = target.filename().string().substr(0, kMaxStemBytes);
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".%ld.%llx.tmp", static_cast<long>(getpid()), token);
    return "." + stem + suffix;
}

void SyncFolder(const std::filesystem::path& folder) {
    // Makes the rename itself durable; a failure here loses nothing already written.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

CAtomicFile::~CAtomicFile() {
    Discard();
}

bool CAtomicFile::Open(const std::filesystem::path& target) {
    Discard();
    error_.clear();
    target_ = target;
    if (target.empty())
        return Fail("no file name given");
    target_ = ResolveTarget(target);
    std::error_code ec;
    if (std::filesystem::is_directory(target_, ec))
        return Fail(SystemReason(EISDIR));
    return CreateTemp();
}

bool CAtomicFile::CreateTemp() {
    std::filesystem::path folder = target_.parent_path();
    if (folder.empty())
        folder = ".";
    std::random_device device;
    std::mt19937_64 random((static_cast<unsigned long long>(device()) << 32) ^ device());
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        const std::filesystem::path candidate = folder / TempName(target_, random());
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temp_ = candidate;
            break;
        }
        if (errno != EEXIST)
            return Fail(SystemReason(errno));
    }
    if (fd_ < 0)
        return Fail("no unique temporary file name could be found");
    // A replaced file keeps its permissions; a new one gets the default ones (0666 & ~umask).
    struct stat existing {};
    if (::stat(target_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd_, existing.st_mode & 07777);
    return true;
}

bool CAtomicFile::Write(std::string_view data) {
    if (fd_ < 0)
        return error_.empty() ? Fail("the file is not open") : false;
    while (!data.empty()) {
        const ssize_t written = ::write(fd_, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return Fail(SystemReason(errno));
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool CAtomicFile::Commit() {
    if (fd_ < 0)
        return error_.empty() ? Fail("the file is not open") : false;
    if (::fsync(fd_) != 0)
        return Fail(SystemReason(errno));
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        return Fail(SystemReason(errno));
    if (std::rename(temp_.c_str(), target_.c_str()) != 0)
        return Fail(SystemReason(errno));
    temp_.clear();
    SyncFolder(target_.parent_path().empty() ? std::filesystem::path(".") : target_.parent_path());
    return true;
}

bool CAtomicFile::Fail(const std::string& reason) {
    error_ = "Could not write " + target_.string() + ": " + reason;
    Discard();
    return false;
}

void CAtomicFile::Discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
}
