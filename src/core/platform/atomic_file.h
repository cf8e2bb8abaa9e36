#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Writes a file so that the previous version survives any failure: the data goes to a unique
// temporary file beside the target, which Commit flushes to disk and renames over the target.
// Without Commit (or after a failure) the temporary file is removed. A replaced file keeps its
// permissions and, where the user may set them, its owner and group.
//
// An existing target that the user may not write is refused. The system decides that for an
// ordinary user; the superuser, whom the system lets write anything, is refused a file that has
// no write permission for anybody, as editors do, so that a file protected that way stays so.
// Where the folder takes no new file but the target may be written, Commit writes the data into
// the target itself, after reserving the space, so that a full disk fails before anything of
// the old contents is overwritten.
//
// Opening also removes the temporary files of earlier saves of the same target whose process
// is gone (saves that were killed). A folder is looked through at its first save and then at
// most once a minute, so that many saves into one folder cost linear time. Every failing call
// returns false and leaves a message naming the file and the system's reason.
class CAtomicFile {
public:
    // Files committed below `folder` (until EndDeferredSync) are renamed into place without a
    // flush of their own: whoever writes many files into a folder that only becomes visible as
    // a whole makes that folder durable once, before it does so. A flush a file would cost more
    // than the writing of ten thousand small results.
    static void DeferSyncBelow(const std::filesystem::path& folder);
    static void EndDeferredSync(const std::filesystem::path& folder);
    static bool IsSyncDeferred(const std::filesystem::path& target);

    CAtomicFile() = default;
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    bool Open(const std::filesystem::path& target);
    bool Write(std::string_view data);
    bool Commit();

    const std::string& ErrorMessage() const { return error_; }
    // Empty when the target is written in place.
    const std::filesystem::path& GetTempPath() const { return temp_; }
    bool IsWritingInPlace() const { return inPlace_; }

private:
    int CreateTemp();
    bool CommitInPlace();
    bool Fail(const std::string& reason);
    void Discard();

    int fd_ = -1;
    bool inPlace_ = false;
    std::string pending_; // what Commit writes in place
    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::string error_;
};
