#include "platform/result_folder.h"

#include "platform/atomic_file.h"
#include "platform/file_names.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <random>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kManifestHeader = "carinova-cli results";
// In a staging folder while its results are being written: all of it belongs to the run.
constexpr const char* kWritingMark = ".carinova-writing";
constexpr const char* kSiblingPrefix = ".carinova-";
constexpr const char* kInsidePrefix = ".carinova-staging-";

using PathSet = std::set<std::string>;

std::string Reason(int error) {
    return std::strerror(error);
}

std::string CaseKey(const std::string& relative) {
    std::string key = relative;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return key;
}

bool Exists(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool IsDirectory(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<PathSet> ReadManifest(const fs::path& folder) {
    std::ifstream in(folder / CResultFolder::kManifestName);
    std::string line;
    if (!in || !std::getline(in, line) || line != kManifestHeader)
        return std::nullopt;
    PathSet entries;
    while (std::getline(in, line))
        if (!line.empty())
            entries.insert(line);
    return entries;
}

// Replaces the manifest in one rename, so it is always whole.
// 0 once every file of the file system that holds `folder` is on disk, else the reason.
int SyncFileSystemOf(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::syncfs(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

bool WriteManifest(const fs::path& folder, const PathSet& entries) {
    const fs::path temp = folder / (std::string(CResultFolder::kManifestName) + ".new");
    {
        std::ofstream out(temp, std::ios::trunc);
        out << kManifestHeader << '\n';
        for (const std::string& entry : entries)
            out << entry << '\n';
        out.flush();
        if (!out)
            return false;
    }
    return ::rename(temp.c_str(), (folder / CResultFolder::kManifestName).c_str()) == 0;
}

// Every folder that holds a listed entry: "a/b/c" gives "a" and "a/b".
PathSet FoldersOf(const PathSet& entries) {
    PathSet folders;
    for (const std::string& entry : entries)
        for (std::size_t slash = entry.find('/'); slash != std::string::npos;
             slash = entry.find('/', slash + 1))
            folders.insert(entry.substr(0, slash));
    return folders;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool MakeFolders(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    return IsDirectory(folder);
}

bool ProcessGone(long pid) {
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// The process id in a staging folder's name ("<prefix><pid>-<random>"); 0 when there is none.
long OwnerOf(const std::string& name, const std::string& prefix) {
    if (name.rfind(prefix, 0) != 0)
        return 0;
    const std::string rest = name.substr(prefix.size());
    char* end = nullptr;
    const long pid = std::strtol(rest.c_str(), &end, 10);
    return end != rest.c_str() && *end == '-' ? pid : 0;
}

std::string Hex(unsigned long long value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llx", digits, value);
    return text;
}

// Sibling staging folders of one output folder share a prefix made from its name.
std::string SiblingPrefix(const fs::path& dir) {
    unsigned long long hash = 1469598103934665603ull;
    for (const char c : dir.filename().string()) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return std::string(kSiblingPrefix) + Hex(hash, 16) + "-";
}

// Puts a staging folder or a replaced folder of a gone run right: what its manifest or the
// folder's manifest lists is removed; anything else came from the output folder and goes back
// there where its place is free. A folder still being written belongs to its run entirely.
class CReclaim {
public:
    CReclaim(fs::path dir, std::vector<std::string>& notes) : dir_(std::move(dir)), notes_(notes) {}

    void Run(const fs::path& folder) {
        const std::optional<PathSet> own = ReadManifest(folder);
        std::error_code ec;
        if (!own && Exists(folder / kWritingMark)) {
            fs::remove_all(folder, ec);
            return;
        }
        ours_ = ReadManifest(dir_).value_or(PathSet());
        if (own)
            ours_.insert(own->begin(), own->end());
        folders_ = FoldersOf(ours_);
        folder_ = folder;
        Walk("");
        if (::rmdir(folder.c_str()) != 0 && errno != ENOENT)
            notes_.push_back("kept " + folder.string() +
                             ": it holds entries that could not be put back into " + dir_.string());
    }

private:
    void Walk(const std::string& relative) {
        for (const std::string& name : Entries(folder_ / relative)) {
            const std::string entry = Join(relative, name);
            const fs::path path = folder_ / entry;
            std::error_code ec;
            if (relative.empty() &&
                (name == CResultFolder::kManifestName || name == kWritingMark)) {
                fs::remove(path, ec);
            } else if (ours_.count(entry)) {
                fs::remove_all(path, ec);
            } else if (folders_.count(entry) && IsDirectory(path) &&
                       (IsDirectory(dir_ / entry) || !Exists(dir_ / entry))) {
                Walk(entry);
                ::rmdir(path.c_str());
            } else if (!Exists(dir_ / entry) && MakeFolders((dir_ / entry).parent_path())) {
                ::rename(path.c_str(), (dir_ / entry).c_str());
            }
        }
    }

    fs::path dir_;
    fs::path folder_;
    PathSet ours_;
    PathSet folders_;
    std::vector<std::string>& notes_;
};

} // namespace

CResultFolder::CResultFolder(fs::path dir) : dir_(std::move(dir)) {}

CResultFolder::~CResultFolder() {
    if (!staging_.empty())
        CAtomicFile::EndDeferredSync(staging_);
    if (!staging_.empty() && !committed_)
        CReclaim(dir_, notes_).Run(staging_);
    for (const int fd : {stagingLockFd_, lockFd_})
        if (fd >= 0)
            ::close(fd);
}

bool CResultFolder::Fail(const std::string& message) {
    error_ = message;
    return false;
}

bool CResultFolder::Begin(const std::function<bool()>& waiting) {
    std::error_code ec;
    fs::create_directories(dir_, ec);
    if (!IsDirectory(dir_) && !fs::is_directory(dir_))
        return Fail("cannot create the output folder " + dir_.string() + ": " +
                    (ec ? ec.message() : "a file is in the way"));
    // The real folder, so that a symbolic link to it is not what gets exchanged.
    dir_ = fs::canonical(dir_, ec);
    if (ec)
        return Fail("cannot open the output folder " + dir_.string() + ": " + ec.message());
    nameLimit_ = FileNameLimit(dir_);
    if (!Lock(waiting))
        return false;
    oldResults_ = ReadManifest(dir_).value_or(PathSet());
    ReclaimStale();
    return CreateStaging();
}

// flock on the folder itself: nothing is left behind, and the lock ends with the process. A
// run that waited may find the folder exchanged meanwhile; it then locks the new one.
bool CResultFolder::Lock(const std::function<bool()>& waiting) {
    for (;;) {
        const int fd = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return Fail("cannot open the output folder " + dir_.string() + ": " + Reason(errno));
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (error != EWOULDBLOCK) {
                notes_.push_back("the output folder cannot be locked (" + Reason(error) +
                                 "); another run into it at the same time would not wait");
                lockFd_ = fd;
                return true;
            }
            ::close(fd);
            if (waiting && !waiting())
                return Fail("gave up waiting for another run into " + dir_.string());
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        struct stat locked {};
        struct stat current {};
        if (::fstat(fd, &locked) == 0 && ::stat(dir_.c_str(), &current) == 0 &&
            locked.st_dev == current.st_dev && locked.st_ino == current.st_ino) {
            lockFd_ = fd;
            return true;
        }
        ::close(fd);
    }
}

void CResultFolder::ReclaimStale() {
    const std::string sibling = SiblingPrefix(dir_);
    for (const std::string& name : Entries(dir_.parent_path()))
        if (ProcessGone(OwnerOf(name, sibling)))
            CReclaim(dir_, notes_).Run(dir_.parent_path() / name);
    for (const std::string& name : Entries(dir_))
        if (ProcessGone(OwnerOf(name, kInsidePrefix)))
            CReclaim(dir_, notes_).Run(dir_ / name);
}

// Beside the folder when the exchange can work there, else inside it.
bool CResultFolder::CreateStaging() {
    std::random_device random;
    const std::string unique = std::to_string(::getpid()) + "-" + Hex(random(), 8);
    struct stat folder {};
    ::stat(dir_.c_str(), &folder);
    exchange_ = false;
    if (allowExchange_ && dir_.has_parent_path() && dir_ != dir_.root_path()) {
        const fs::path sibling = dir_.parent_path() / (SiblingPrefix(dir_) + unique);
        struct stat st {};
        if (::mkdir(sibling.c_str(), 0700) == 0) {
            if (::stat(sibling.c_str(), &st) == 0 && st.st_dev == folder.st_dev)
                exchange_ = true;
            else
                ::rmdir(sibling.c_str());
        }
        if (exchange_)
            staging_ = sibling;
    }
    if (!exchange_) {
        staging_ = dir_ / (kInsidePrefix + unique);
        if (::mkdir(staging_.c_str(), 0700) != 0) {
            const int error = errno;
            staging_.clear();
            return Fail("cannot write into " + dir_.string() + ": " + Reason(error));
        }
    }
    std::ofstream(staging_ / kWritingMark).put('\n');
    // The staging folder becomes visible only as a whole: it is flushed once, at Commit.
    CAtomicFile::DeferSyncBelow(staging_);
    // Held through the exchange, so that a run arriving then waits for this one to finish.
    stagingLockFd_ = ::open(staging_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (stagingLockFd_ >= 0)
        ::flock(stagingLockFd_, LOCK_EX | LOCK_NB);
    return true;
}

bool CResultFolder::ProtectInputs(const std::vector<fs::path>& inputs) {
    for (const fs::path& input : inputs) {
        struct stat st {};
        if (::stat(input.c_str(), &st) == 0)
            inputs_.insert({static_cast<unsigned long long>(st.st_dev),
                            static_cast<unsigned long long>(st.st_ino)});
    }
    for (const std::string& old : oldResults_)
        if (ClashesWithInput(old))
            return false;
    return true;
}

bool CResultFolder::ClashesWithInput(const std::string& relative) {
    struct stat st {};
    if (inputs_.empty() || ::lstat((dir_ / relative).c_str(), &st) != 0)
        return false;
    if (!inputs_.count({static_cast<unsigned long long>(st.st_dev),
                        static_cast<unsigned long long>(st.st_ino)}))
        return false;
    inputClash_ = true;
    error_ = (dir_ / relative).string() + " is an input of this run; its results must go into " +
             "another folder";
    return true;
}

std::string CResultFolder::Claim(const std::string& relative) {
    std::string shortened;
    std::size_t start = 0;
    for (std::size_t slash = relative.find('/');; slash = relative.find('/', start)) {
        const std::string part = relative.substr(start, slash - start);
        shortened = Join(shortened, ShortenFileName(part, nameLimit_));
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    std::string claimed = shortened;
    const fs::path p(shortened);
    const std::string folder = p.has_parent_path() ? p.parent_path().string() : std::string();
    if (resultKeys_.count(CaseKey(claimed))) {
        int& n = nextNumber_.try_emplace(CaseKey(shortened), 2).first->second;
        for (;; ++n) {
            claimed = Join(folder, NumberedFileName(p.filename().string(), n, nameLimit_));
            if (!resultKeys_.count(CaseKey(claimed)))
                break;
        }
    }
    if (ClashesWithInput(claimed))
        return {};
    results_.insert(claimed);
    resultKeys_.insert(CaseKey(claimed));
    return claimed;
}

fs::path CResultFolder::StagingPath(const std::string& claimed) const {
    const fs::path path = staging_ / claimed;
    MakeFolders(path.parent_path());
    return path;
}

void CResultFolder::Step(CommitStep step) const {
    if (hook_)
        hook_(step);
}

// A result may replace a file nobody listed (older results, say), never a folder; and no input.
bool CResultFolder::CheckConflicts() {
    for (const std::string& result : results_) {
        if (ClashesWithInput(result))
            return false;
        if (IsDirectory(dir_ / result))
            return Fail("cannot write " + (dir_ / result).string() + ": a folder is in the way");
    }
    for (const std::string& folder : FoldersOf(results_)) {
        const fs::path path = dir_ / folder;
        if (Exists(path) && !IsDirectory(path) && !oldResults_.count(folder))
            return Fail("cannot write into " + path.string() + ": a file is in the way");
    }
    for (const std::string& old : oldResults_)
        if (!results_.count(old) && ClashesWithInput(old))
            return false;
    return true;
}

bool CResultFolder::Commit() {
    if (staging_.empty() || committed_)
        return Fail("no results to commit into " + dir_.string());
    if (!CheckConflicts())
        return false;
    if (!WriteManifest(staging_, results_))
        return Fail("cannot write the list of results into " + staging_.string());
    ::unlink((staging_ / kWritingMark).c_str());
    // Everything staged reaches the disk before it takes the old results' place.
    CAtomicFile::EndDeferredSync(staging_);
    if (const int error = SyncFileSystemOf(staging_))
        return Fail("cannot flush the results in " + staging_.string() + " to disk: " +
                    Reason(error));
    Step(CommitStep::Staged);
    return exchange_ ? CommitByExchange() : CommitByMoving();
}

// Moves an entry of the folder that this run neither wrote before nor writes now into the
// staging folder; folders that hold results are walked.
bool CResultFolder::Carry(const std::string& relative, const std::set<std::string>& folders) {
    for (const std::string& name : Entries(dir_ / relative)) {
        const std::string entry = Join(relative, name);
        if ((relative.empty() && name == kManifestName) || oldResults_.count(entry) ||
            results_.count(entry))
            continue;
        const fs::path from = dir_ / entry;
        const fs::path to = staging_ / entry;
        if (folders.count(entry) && IsDirectory(from)) {
            struct stat st {};
            ::stat(from.c_str(), &st);
            if (!IsDirectory(to) && ::mkdir(to.c_str(), st.st_mode & 07777) != 0)
                return Fail("cannot keep " + from.string() + ": " + Reason(errno));
            if (!Carry(entry, folders))
                return false;
        } else if (::rename(from.c_str(), to.c_str()) != 0) {
            return Fail("cannot keep " + from.string() + " in the new results: " + Reason(errno));
        }
    }
    return true;
}

bool CResultFolder::CommitByExchange() {
    PathSet folders = FoldersOf(results_);
    const PathSet oldFolders = FoldersOf(oldResults_);
    folders.insert(oldFolders.begin(), oldFolders.end());
    if (!Carry("", folders)) {
        CReclaim(dir_, notes_).Run(staging_);
        staging_.clear();
        return false;
    }
    // The new folder takes the old one's permissions and, where allowed, its owner.
    struct stat old {};
    if (::stat(dir_.c_str(), &old) == 0) {
        ::chmod(staging_.c_str(), old.st_mode & 07777);
        if (::chown(staging_.c_str(), old.st_uid, old.st_gid) != 0)
            ::chmod(staging_.c_str(), old.st_mode & 0777);
    }
    Step(CommitStep::Carried);
    if (::renameat2(AT_FDCWD, staging_.c_str(), AT_FDCWD, dir_.c_str(), RENAME_EXCHANGE) != 0) {
        const int error = errno;
        CReclaim(dir_, notes_).Run(staging_);
        staging_.clear();
        return Fail("cannot put the results into " + dir_.string() + ": " + Reason(error));
    }
    committed_ = true;
    Step(CommitStep::Exchanged);
    // The staging name now holds the old folder: its results go, anything else comes back.
    CReclaim(dir_, notes_).Run(staging_);
    Step(CommitStep::Cleaned);
    return true;
}

// Without an exchange: the manifest first lists old and new results, so that whatever a kill
// leaves is known to be ours; then each result is moved, the old ones removed, the list cut.
bool CResultFolder::CommitByMoving() {
    PathSet both = oldResults_;
    both.insert(results_.begin(), results_.end());
    if (!WriteManifest(dir_, both))
        return Fail("cannot write the list of results into " + dir_.string());
    Step(CommitStep::Carried);
    for (const std::string& result : results_) {
        const fs::path target = dir_ / result;
        if (!MakeFolders(target.parent_path()) ||
            ::rename((staging_ / result).c_str(), target.c_str()) != 0)
            return Fail("cannot move " + target.string() + " into place: " + Reason(errno));
    }
    committed_ = true;
    std::error_code ec;
    for (const std::string& old : oldResults_)
        if (!results_.count(old))
            fs::remove(dir_ / old, ec);
    const PathSet folders = FoldersOf(oldResults_);
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        ::rmdir((dir_ / *it).c_str()); // only when empty
    Step(CommitStep::Exchanged);
    WriteManifest(dir_, results_);
    fs::remove_all(staging_, ec);
    Step(CommitStep::Cleaned);
    return true;
}
