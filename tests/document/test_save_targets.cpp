// Every way the user writes a file of their choosing (the document, the data export, the TPS
// export) refuses a protected file, leaves what it cannot replace as it was, keeps the
// permissions and owner of what it replaces, and says which file failed and why.
#include "document/command_ids.h"
#include "scratch_folder.h"
#include "xml_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <linux/fs.h>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace xmltest;

struct SFileState {
    std::string bytes;
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;

    static SFileState Of(const fs::path& file) {
        struct stat st {};
        EXPECT_EQ(::stat(file.c_str(), &st), 0) << file;
        return {CScratchFolder::ReadBytes(file), st.st_mode & 07777, st.st_uid, st.st_gid};
    }
};

// A folder that takes no new entries while the files in it may still be written: the superuser
// passes every permission check, so for them the folder is made immutable instead.
class CClosedFolder {
public:
    explicit CClosedFolder(fs::path path) : path_(std::move(path)) {
        if (::geteuid() != 0) {
            fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_exec);
            closed_ = true;
            refusal_ = EACCES;
            return;
        }
        const int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            closed_ = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        why_ = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        refusal_ = EPERM;
    }
    ~CClosedFolder() {
        if (!closed_)
            return;
        if (::geteuid() != 0) {
            fs::permissions(path_, fs::perms::owner_all);
            return;
        }
        const int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0)
            ::close(fd);
    }
    CClosedFolder(const CClosedFolder&) = delete;
    CClosedFolder& operator=(const CClosedFolder&) = delete;

    bool IsClosed() const { return closed_; }
    const std::string& WhyNot() const { return why_; }
    // What the system answers to a new file in it.
    std::string Refusal() const { return std::strerror(refusal_); }

private:
    fs::path path_;
    bool closed_ = false;
    std::string why_;
    int refusal_ = 0;
};

// A small tmpfs (mounting needs the superuser), unmounted at the end.
class CSmallFileSystem {
public:
    explicit CSmallFileSystem(fs::path path) : path_(std::move(path)) {
        fs::create_directory(path_);
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=256k") == 0;
        why_ = std::strerror(errno);
    }
    ~CSmallFileSystem() {
        if (mounted_)
            ::umount(path_.c_str());
    }
    CSmallFileSystem(const CSmallFileSystem&) = delete;
    CSmallFileSystem& operator=(const CSmallFileSystem&) = delete;

    bool IsMounted() const { return mounted_; }
    const std::string& WhyNot() const { return why_; }

    // Takes every free block, so that the next write fails.
    void Fill() const {
        const int fd = ::open((path_ / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
    }

private:
    fs::path path_;
    bool mounted_ = false;
    std::string why_;
};

enum class Save { Document, DataExport, TpsExport };

std::string SaveName(const ::testing::TestParamInfo<Save>& info) {
    switch (info.param) {
    case Save::Document:
        return "Document";
    case Save::DataExport:
        return "DataExport";
    case Save::TpsExport:
        return "TpsExport";
    }
    return "";
}

class SaveTargets : public ::testing::TestWithParam<Save> {
protected:
    CScratchFolder scratch;
    CScriptedInteraction ui;
    CCarinovaDoc doc{ui};

    void SetUp() override {
        BuildSampleDocument(doc, false);
        doc.SetSelectedRecord(doc.GetSpecimenList()[1].get());
        // The document writer's diagnostic report is not the user's message.
        savedLog_ = std::clog.rdbuf(log_.rdbuf());
    }
    void TearDown() override { std::clog.rdbuf(savedLog_); }

    // Writes `target` through the command; true when no message was shown.
    bool SaveTo(const fs::path& target) {
        ui.messages.clear();
        switch (GetParam()) {
        case Save::Document:
            return doc.OnSaveDocument(target.string()) && ui.messages.empty();
        case Save::DataExport:
            ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {target.string()}});
            doc.ExportClusterData(doc.GetClusterList());
            break;
        case Save::TpsExport:
            ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {target.string()}});
            doc.OnCommand(ID_SPECIMEN_EXPORT_TPS);
            break;
        }
        return ui.messages.empty();
    }

    // The one message of a failed save: the command's own text (the document has one) and the
    // file with the system's reason.
    void ExpectReported(const fs::path& target, const std::string& reason) const {
        const std::string failure = "Could not write " + target.string() + ": " + reason;
        EXPECT_EQ(ui.MessageTexts(),
                  std::vector<std::string>{GetParam() == Save::Document
                                               ? "Failed to save Carinova Document.\n" + failure
                                               : failure});
    }

    std::ostringstream log_;
    std::streambuf* savedLog_ = nullptr;

    std::vector<std::string> Entries(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Root included: a file nobody may write was protected on purpose.
TEST_P(SaveTargets, AReadOnlyFileIsRefusedAndKept) {
    const fs::path target = scratch.Write("target", "the old contents");
    ::chmod(target.c_str(), 0444);
    const SFileState before = SFileState::Of(target);
    EXPECT_FALSE(SaveTo(target));
    ExpectReported(target, "Permission denied");
    const SFileState after = SFileState::Of(target);
    EXPECT_EQ(after.bytes, before.bytes);
    EXPECT_EQ(after.mode, 0444u);
    EXPECT_EQ(Entries(scratch.Path()), std::vector<std::string>{"target"});
}

// A folder that takes no new file: the temporary file cannot be made, so the file is written
// where it is; a new file there cannot be made at all.
TEST_P(SaveTargets, AClosedFolderIsWrittenInPlace) {
    const fs::path folder = scratch.Path() / "closed";
    fs::create_directory(folder);
    const fs::path target = folder / "target";
    {
        // Longer than the new contents of the exports: what is left of it must go.
        std::ofstream(target, std::ios::binary) << std::string(100000, 'o');
    }
    ::chmod(target.c_str(), 0640);
    std::string expected;
    {
        CScratchFolder open;
        const fs::path reference = open.Path() / "reference";
        ASSERT_TRUE(SaveTo(reference)) << ui.MessageTexts().front();
        expected = CScratchFolder::ReadBytes(reference);
    }
    const CClosedFolder closed(folder);
    if (!closed.IsClosed())
        GTEST_SKIP() << "cannot make a folder immutable here: " << closed.WhyNot();
    EXPECT_TRUE(SaveTo(target)) << ::testing::PrintToString(ui.MessageTexts());
    const SFileState after = SFileState::Of(target);
    EXPECT_EQ(after.bytes.size(), expected.size());
    EXPECT_TRUE(after.bytes == expected);
    EXPECT_EQ(after.mode, 0640u);
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"target"});

    EXPECT_FALSE(SaveTo(folder / "new"));
    ExpectReported(folder / "new", closed.Refusal());
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"target"});
}

TEST_P(SaveTargets, AFullFileSystemKeepsTheOldFile) {
    const CSmallFileSystem small(scratch.Path() / "small");
    if (!small.IsMounted())
        GTEST_SKIP() << "cannot mount a small file system here: " << small.WhyNot();
    const fs::path target = scratch.Path() / "small" / "target";
    { std::ofstream(target, std::ios::binary) << "the old contents"; }
    const SFileState before = SFileState::Of(target);
    small.Fill();
    EXPECT_FALSE(SaveTo(target));
    ExpectReported(target, "No space left on device");
    EXPECT_EQ(SFileState::Of(target).bytes, before.bytes);
    EXPECT_EQ(Entries(scratch.Path() / "small"), (std::vector<std::string>{"filler", "target"}));
}

// Owner and group only where the user may set them: the superuser may set both.
TEST_P(SaveTargets, AReplacedFileKeepsItsPermissionsOwnerAndGroup) {
    const fs::path target = scratch.Write("target", "the old contents");
    ::chmod(target.c_str(), 0604);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(target.c_str(), 4242, 4343), 0);
    }
    const SFileState before = SFileState::Of(target);
    EXPECT_TRUE(SaveTo(target)) << ::testing::PrintToString(ui.MessageTexts());
    const SFileState after = SFileState::Of(target);
    EXPECT_NE(after.bytes, before.bytes);
    EXPECT_EQ(after.mode, 0604u);
    EXPECT_EQ(after.owner, before.owner);
    EXPECT_EQ(after.group, before.group);
    if (!root)
        GTEST_SKIP() << "the owner was the user's own; only the superuser can test another";
}

INSTANTIATE_TEST_SUITE_P(EverySave, SaveTargets,
                         ::testing::Values(Save::Document, Save::DataExport, Save::TpsExport),
                         SaveName);

} // namespace
