#include "platform/atomic_file.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::size_t EntryCount(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

bool Mentions(const std::string& message, const fs::path& path, int error) {
    return message.find("Could not write " + path.string()) != std::string::npos &&
           message.find(std::strerror(error)) != std::string::npos;
}

class AtomicFileTest : public ::testing::Test {
protected:
    CScratchFolder folder_;
};

TEST_F(AtomicFileTest, CommitCreatesFileWithExactBytes) {
    const fs::path target = folder_.Path() / "new.txt";
    std::string big(5 * 1024 * 1024 + 3, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 % 251);
    CAtomicFile file;
    ASSERT_TRUE(file.Open(target)) << file.ErrorMessage();
    EXPECT_EQ(file.GetTempPath().parent_path(), folder_.Path());
    EXPECT_FALSE(fs::exists(target)); // nothing visible before the commit
    ASSERT_TRUE(file.Write("head\r\n"));
    ASSERT_TRUE(file.Write(big));
    ASSERT_TRUE(file.Commit()) << file.ErrorMessage();
    EXPECT_EQ(CScratchFolder::ReadBytes(target), "head\r\n" + big);
    EXPECT_EQ(EntryCount(folder_.Path()), 1u);
}

TEST_F(AtomicFileTest, ReplacesOldFileAndKeepsItsPermissions) {
    const std::string target = folder_.Write("doc.xml", "old version, longer than the new one");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    {
        CAtomicFile file;
        ASSERT_TRUE(file.Open(target));
        ASSERT_TRUE(file.Write("new"));
        ASSERT_TRUE(file.Commit()) << file.ErrorMessage();
    }
    EXPECT_EQ(CScratchFolder::ReadBytes(target), "new");
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(EntryCount(folder_.Path()), 1u);
}

TEST_F(AtomicFileTest, WithoutCommitOldFileStaysAndTempIsRemoved) {
    const std::string target = folder_.Write("doc.xml", "old");
    fs::path temp;
    {
        CAtomicFile file;
        ASSERT_TRUE(file.Open(target));
        ASSERT_TRUE(file.Write("half-written new version"));
        temp = file.GetTempPath();
        EXPECT_TRUE(fs::exists(temp));
    }
    EXPECT_FALSE(fs::exists(temp));
    EXPECT_EQ(CScratchFolder::ReadBytes(target), "old");
    EXPECT_EQ(EntryCount(folder_.Path()), 1u);
}

TEST_F(AtomicFileTest, MissingFolderIsReported) {
    const fs::path target = folder_.Path() / "missing" / "doc.xml";
    CAtomicFile file;
    EXPECT_FALSE(file.Open(target));
    EXPECT_TRUE(Mentions(file.ErrorMessage(), target, ENOENT)) << file.ErrorMessage();
    EXPECT_FALSE(file.Write("x"));
    EXPECT_FALSE(file.Commit());
    EXPECT_TRUE(Mentions(file.ErrorMessage(), target, ENOENT)) << "first error kept";
}

TEST_F(AtomicFileTest, FolderAtTargetIsReportedAndKept) {
    const fs::path target = folder_.Path() / "doc.xml";
    fs::create_directory(target);
    CAtomicFile file;
    EXPECT_FALSE(file.Open(target));
    EXPECT_TRUE(Mentions(file.ErrorMessage(), target, EISDIR)) << file.ErrorMessage();
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(EntryCount(folder_.Path()), 1u);
}

TEST_F(AtomicFileTest, FileInPlaceOfFolderIsReported) {
    const std::string notFolder = folder_.Write("plain", "x");
    const fs::path target = fs::path(notFolder) / "doc.xml";
    CAtomicFile file;
    EXPECT_FALSE(file.Open(target));
    EXPECT_TRUE(Mentions(file.ErrorMessage(), target, ENOTDIR)) << file.ErrorMessage();
}

TEST_F(AtomicFileTest, ReadOnlyFolderIsReported) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write into read-only folders";
    const fs::path locked = folder_.Path() / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    CAtomicFile file;
    const bool opened = file.Open(locked / "doc.xml");
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(Mentions(file.ErrorMessage(), locked / "doc.xml", EACCES)) << file.ErrorMessage();
}

TEST_F(AtomicFileTest, FailedRenameKeepsWhatIsInTheWayAndCleansUp) {
    // The target turns into a non-empty folder between opening and committing.
    const fs::path target = folder_.Path() / "doc.xml";
    CAtomicFile file;
    ASSERT_TRUE(file.Open(target));
    ASSERT_TRUE(file.Write("data"));
    fs::create_directory(target);
    folder_.Write("doc.xml/inside", "keep me");
    const fs::path temp = file.GetTempPath();
    EXPECT_FALSE(file.Commit());
    EXPECT_NE(file.ErrorMessage().find("Could not write " + target.string()), std::string::npos);
    EXPECT_FALSE(fs::exists(temp));
    EXPECT_EQ(CScratchFolder::ReadBytes(target / "inside"), "keep me");
}

TEST_F(AtomicFileTest, FolderRemovedBeforeCommitIsReported) {
    const fs::path sub = folder_.Path() / "sub";
    fs::create_directory(sub);
    CAtomicFile file;
    ASSERT_TRUE(file.Open(sub / "doc.xml"));
    ASSERT_TRUE(file.Write("data"));
    fs::remove_all(sub);
    EXPECT_FALSE(file.Commit());
    EXPECT_TRUE(Mentions(file.ErrorMessage(), sub / "doc.xml", ENOENT)) << file.ErrorMessage();
}

TEST_F(AtomicFileTest, WritingThroughSymbolicLinkUpdatesItsTarget) {
    const std::string real = folder_.Write("real.txt", "old");
    const fs::path link = folder_.Path() / "link.txt";
    fs::create_symlink(real, link);
    CAtomicFile file;
    ASSERT_TRUE(file.Open(link));
    ASSERT_TRUE(file.Write("new"));
    ASSERT_TRUE(file.Commit()) << file.ErrorMessage();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(CScratchFolder::ReadBytes(real), "new");
}

TEST_F(AtomicFileTest, UseWithoutOpenOrEmptyNameFails) {
    CAtomicFile file;
    EXPECT_FALSE(file.Write("x"));
    EXPECT_FALSE(file.ErrorMessage().empty());
    EXPECT_FALSE(file.Commit());
    CAtomicFile unnamed;
    EXPECT_FALSE(unnamed.Open(""));
    EXPECT_FALSE(unnamed.ErrorMessage().empty());
}

// Temporary names as a save of doc.xml by process `pid` makes them.
std::string TempNameOf(pid_t pid, const char* token) {
    return ".doc.xml." + std::to_string(pid) + "." + token + ".tmp";
}

// A process id that was just in use and now is not.
pid_t GonePid() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// Saves that were killed leave their temporary files; the next save of the same target takes
// away those whose process is gone and nothing else.
TEST_F(AtomicFileTest, TempFilesOfKilledSavesAreRemovedByTheNextSave) {
    const pid_t gone = GonePid();
    const std::string stale = TempNameOf(gone, "9f3a");
    const std::string running = TempNameOf(::getpid(), "77");
    const std::string init = TempNameOf(1, "1");
    const std::vector<std::string> others{
        ".other.xml." + std::to_string(gone) + ".9f3a.tmp", // another target's
        ".doc.xml." + std::to_string(gone) + ".9f3a.tmp.bak",
        ".doc.xml." + std::to_string(gone) + ".xyz.tmp", ".doc.xml.notes"};
    for (const std::string& name : std::vector<std::string>{stale, running, init})
        folder_.Write(name, "half");
    for (const std::string& name : others)
        folder_.Write(name, "keep");
    fs::create_directory(folder_.Path() / TempNameOf(gone, "ab")); // not a file of ours
    CAtomicFile file;
    ASSERT_TRUE(file.Open(folder_.Path() / "doc.xml"));
    ASSERT_TRUE(file.Write("new"));
    ASSERT_TRUE(file.Commit());
    EXPECT_FALSE(fs::exists(folder_.Path() / stale));
    EXPECT_TRUE(fs::exists(folder_.Path() / running));
    EXPECT_TRUE(fs::exists(folder_.Path() / init));
    for (const std::string& name : others)
        EXPECT_TRUE(fs::exists(folder_.Path() / name)) << name;
    EXPECT_TRUE(fs::is_directory(folder_.Path() / TempNameOf(gone, "ab")));
}

// Written in place (the folder takes no new file), the space is reserved before the old
// contents are touched: a full disk leaves them whole.
TEST_F(AtomicFileTest, WritingInPlaceOntoAFullDiskLeavesTheOldContents) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs the superuser to mount a small file system";
    const fs::path mountPoint = folder_.Path() / "small";
    fs::create_directory(mountPoint);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
    struct Unmount {
        fs::path path;
        ~Unmount() { ::umount(path.c_str()); }
    } unmount{mountPoint};
    const fs::path target = mountPoint / "doc.xml";
    const std::string old(8192, 'o');
    std::ofstream(target, std::ios::binary) << old;
    // An immutable folder takes no new file, though the file in it may be written.
    const int fd = ::open(mountPoint.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool locked = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags |= FS_IMMUTABLE_FL;
    locked = locked && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (!locked) {
        const std::string why = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        GTEST_SKIP() << "cannot make a folder immutable here: " << why;
    }
    CAtomicFile file;
    const bool opened = file.Open(target);
    const bool inPlace = file.IsWritingInPlace();
    const bool written = opened && file.Write(std::string(128 * 1024, 'n'));
    const bool committed = written && file.Commit();
    flags &= ~FS_IMMUTABLE_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);
    EXPECT_TRUE(opened) << file.ErrorMessage();
    EXPECT_TRUE(inPlace);
    EXPECT_FALSE(committed);
    EXPECT_TRUE(Mentions(file.ErrorMessage(), target, ENOSPC)) << file.ErrorMessage();
    EXPECT_EQ(CScratchFolder::ReadBytes(target), old);
}

TEST_F(AtomicFileTest, ReopeningDiscardsTheFirstTempFile) {
    const fs::path first = folder_.Path() / "a.txt";
    const fs::path second = folder_.Path() / "b.txt";
    CAtomicFile file;
    ASSERT_TRUE(file.Open(first));
    const fs::path firstTemp = file.GetTempPath();
    ASSERT_TRUE(file.Open(second));
    EXPECT_FALSE(fs::exists(firstTemp));
    ASSERT_TRUE(file.Write("b"));
    ASSERT_TRUE(file.Commit());
    EXPECT_FALSE(fs::exists(first));
    EXPECT_EQ(CScratchFolder::ReadBytes(second), "b");
    EXPECT_EQ(EntryCount(folder_.Path()), 1u);
}

} // namespace
