#include "platform/atomic_file.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
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
