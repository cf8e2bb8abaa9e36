#include "platform/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <mutex>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

constexpr int kMaxNameAttempts = 100;
// Keeps the temporary name within the usual 255-byte file name limit.
constexpr std::size_t kMaxStemBytes = 120;
constexpr std::string_view kTempEnding = ".tmp";

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

std::filesystem::path FolderOf(const std::filesystem::path& target) {
    return target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
}

// Every temporary name of a target starts so: "." and the (shortened) file name and ".".
std::string TempPrefix(const std::filesystem::path& target) {
    return "." + target.filename().string().substr(0, kMaxStemBytes) + ".";
}

// The prefix, then the writing process's id and a random token: ".doc.xml.4711.9f3a.tmp".
std::string TempName(const std::filesystem::path& target, unsigned long long token) {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, "%ld.%llx", static_cast<long>(getpid()), token);
    return TempPrefix(target) + suffix + std::string(kTempEnding);
}

// The process id in what follows the prefix of a temporary name, or 0 when the rest is not
// "<pid>.<hex>.tmp".
pid_t TempOwner(std::string_view rest) {
    long pid = 0;
    const auto [afterPid, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
    if (error != std::errc() || pid <= 0 || afterPid == rest.data() + rest.size() ||
        *afterPid != '.')
        return 0;
    std::string_view token(afterPid + 1,
                           static_cast<std::size_t>(rest.data() + rest.size() - afterPid - 1));
    if (token.size() <= kTempEnding.size() || !token.ends_with(kTempEnding))
        return 0;
    token.remove_suffix(kTempEnding.size());
    if (token.find_first_not_of("0123456789abcdef") != std::string_view::npos)
        return 0;
    return static_cast<pid_t>(pid);
}

bool IsProcessGone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// The prefix of a temporary name (up to the "." before the process id), or empty when the
// name is not "<prefix><pid>.<hex>.tmp".
std::string_view TempPrefixOf(std::string_view name) {
    if (!name.ends_with(kTempEnding))
        return {};
    const std::size_t tokenDot = name.rfind('.', name.size() - kTempEnding.size() - 1);
    if (tokenDot == std::string_view::npos || tokenDot == 0)
        return {};
    const std::size_t pidDot = name.rfind('.', tokenDot - 1);
    if (pidDot == std::string_view::npos || pidDot == 0 || name.front() != '.' ||
        TempOwner(name.substr(pidDot + 1)) == 0)
        return {};
    return name.substr(0, pidDot + 1);
}

// A save that was killed leaves its temporary file; once its process is gone nobody will
// finish or remove it. A folder is read at its first save and then at most once a minute, and
// the temporary names found there are kept by target: reading the folder at every save would
// make n saves into one folder (a batch run's pictures and TPS files) cost n squared. A save
// killed since the last reading is found at the next one.
class CStaleTempFiles {
public:
    // Removes the temporary files of `target` whose process is gone (not this process's, not
    // those of running saves, nothing but regular files).
    void Remove(const std::filesystem::path& target) {
        std::error_code ec;
        const std::filesystem::path folder =
            std::filesystem::absolute(FolderOf(target), ec).lexically_normal();
        if (ec)
            return;
        const std::lock_guard lock(mutex_);
        const auto now = std::chrono::steady_clock::now();
        CFolder& known = folders_[folder.string()];
        if (!known.read || now - known.readAt >= kRereadAfter) {
            known.names.clear();
            known.read = Read(folder, known.names);
            known.readAt = now;
        }
        const auto names = known.names.find(TempPrefix(target));
        if (names == known.names.end())
            return;
        const std::string folderName = folder.string();
        std::erase_if(names->second, [&](const std::string& name) {
            return RemoveIfStale(folderName, name, names->first.size());
        });
        if (names->second.empty())
            known.names.erase(names);
    }

private:
    static constexpr auto kRereadAfter = std::chrono::minutes(1);
    using CNamesByPrefix = std::unordered_map<std::string, std::vector<std::string>>;
    struct CFolder {
        bool read = false;
        std::chrono::steady_clock::time_point readAt;
        CNamesByPrefix names;
    };

    static bool Read(const std::filesystem::path& folder, CNamesByPrefix& names) {
        DIR* dir = ::opendir(folder.c_str());
        if (!dir)
            return false;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            const std::string_view prefix = TempPrefixOf(name);
            if (!prefix.empty())
                names[std::string(prefix)].emplace_back(name);
        }
        ::closedir(dir);
        return true;
    }

    // True when the name is done with: removed now, or gone already.
    static bool RemoveIfStale(const std::string& folder, const std::string& name,
                              std::size_t prefixSize) {
        const std::string path = folder + "/" + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            return true;
        if (!S_ISREG(st.st_mode) ||
            !IsProcessGone(TempOwner(std::string_view(name).substr(prefixSize))))
            return false;
        return ::unlink(path.c_str()) == 0 || errno == ENOENT;
    }

    std::mutex mutex_;
    std::unordered_map<std::string, CFolder> folders_;
};

void RemoveStaleTempFiles(const std::filesystem::path& target) {
    static CStaleTempFiles staleTempFiles;
    staleTempFiles.Remove(target);
}

// 0 when the user may replace the file, else the reason.
int WriteDenied(const std::filesystem::path& file, const struct stat& st) {
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return EACCES;
    return ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

// The replacement takes over the old file's owner and group where the user may set them (the
// superuser both, an owner the group among their own groups) and then its permissions, last,
// because a change of owner clears the set-user-ID bits.
void TakeOverOwnerAndMode(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        static_cast<void>(::fchown(fd, static_cast<uid_t>(-1), old.st_gid));
    ::fchmod(fd, old.st_mode & 07777);
}

void SyncFolder(const std::filesystem::path& folder) {
    // Makes the rename itself durable; a failure here loses nothing already written.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// The folders whose files are made durable as a whole, absolute and normalised. A target is
// compared as written (or as its link resolves); where the two spellings differ, the file is
// simply flushed on its own.
std::mutex deferredMutex;
std::vector<std::filesystem::path> deferredFolders;

std::filesystem::path Absolute(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return (ec ? path : absolute).lexically_normal();
}

bool IsBelow(const std::filesystem::path& path, const std::filesystem::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p)
        if (f->empty() && std::next(f) == folder.end())
            break; // a trailing separator
        else if (p == path.end() || *p != *f)
            return false;
    return p != path.end();
}

bool WriteAll(int fd, std::string_view data, off_t offset, int& error) {
    while (!data.empty()) {
        const ssize_t written = ::pwrite(fd, data.data(), data.size(), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error = written < 0 ? errno : ENOSPC;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

} // namespace

void CAtomicFile::DeferSyncBelow(const std::filesystem::path& folder) {
    const std::lock_guard lock(deferredMutex);
    deferredFolders.push_back(Absolute(folder));
}

void CAtomicFile::EndDeferredSync(const std::filesystem::path& folder) {
    const std::lock_guard lock(deferredMutex);
    const auto found = std::find(deferredFolders.begin(), deferredFolders.end(), Absolute(folder));
    if (found != deferredFolders.end())
        deferredFolders.erase(found);
}

bool CAtomicFile::IsSyncDeferred(const std::filesystem::path& target) {
    const std::lock_guard lock(deferredMutex);
    if (deferredFolders.empty())
        return false;
    const std::filesystem::path absolute = Absolute(target);
    return std::any_of(deferredFolders.begin(), deferredFolders.end(),
                       [&](const std::filesystem::path& f) { return IsBelow(absolute, f); });
}

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
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return Fail(SystemReason(EISDIR));
    const bool replaces = exists && S_ISREG(existing.st_mode);
    if (replaces)
        if (const int denied = WriteDenied(target_, existing))
            return Fail(SystemReason(denied));
    RemoveStaleTempFiles(target_);
    const int error = CreateTemp();
    if (error == 0) {
        if (replaces)
            TakeOverOwnerAndMode(fd_, existing);
        return true;
    }
    if (!replaces || (error != EACCES && error != EPERM))
        return Fail(error > 0 ? SystemReason(error)
                              : "no unique temporary file name could be found");
    // The folder refuses new files, the file itself may be written: it is rewritten in place.
    fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0)
        return Fail(SystemReason(errno));
    inPlace_ = true;
    return true;
}

// 0, or the reason no temporary file could be made (-1: every name was taken).
int CAtomicFile::CreateTemp() {
    const std::filesystem::path folder = FolderOf(target_);
    std::random_device device;
    std::mt19937_64 random((static_cast<unsigned long long>(device()) << 32) ^ device());
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        const std::filesystem::path candidate = folder / TempName(target_, random());
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temp_ = candidate;
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return -1;
}

bool CAtomicFile::Write(std::string_view data) {
    if (fd_ < 0)
        return error_.empty() ? Fail("the file is not open") : false;
    if (inPlace_) {
        pending_.append(data);
        return true;
    }
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
    if (inPlace_)
        return CommitInPlace();
    const bool deferred = IsSyncDeferred(target_);
    if (!deferred && ::fsync(fd_) != 0)
        return Fail(SystemReason(errno));
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        return Fail(SystemReason(errno));
    if (std::rename(temp_.c_str(), target_.c_str()) != 0)
        return Fail(SystemReason(errno));
    temp_.clear();
    if (!deferred)
        SyncFolder(FolderOf(target_));
    return true;
}

bool CAtomicFile::CommitInPlace() {
    const auto size = static_cast<off_t>(pending_.size());
    const int reserved = ::posix_fallocate(fd_, 0, size);
    if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL)
        return Fail(SystemReason(reserved));
    int error = 0;
    if (!WriteAll(fd_, pending_, 0, error) || ::ftruncate(fd_, size) != 0 || ::fsync(fd_) != 0) {
        if (error == 0)
            error = errno;
        return Fail(SystemReason(error) + " (written in place: the file may be incomplete)");
    }
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        return Fail(SystemReason(errno) + " (written in place: the file may be incomplete)");
    Discard();
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
    inPlace_ = false;
    pending_.clear();
    pending_.shrink_to_fit();
}
