// An output folder holds the results of exactly one run: under kills at every step of the
// commit, with two runs at once, with files the runs did not write, and never over an input.
#include "platform/atomic_file.h"
#include "platform/file_names.h"
#include "platform/result_folder.h"
#include "platform/text_file.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>; // relative path -> content

// The results of run `run`: a fixed file, a table, and `pictures` pictures in a sub-folder.
Files RunResults(int run, int pictures) {
    Files files{{"export.txt", "export of run " + std::to_string(run)},
                {"area_total.tsv", "table of run " + std::to_string(run)}};
    for (int i = 0; i < pictures; ++i)
        files["specimens/valve " + std::to_string(i) + ".png"] =
            "picture " + std::to_string(i) + " of run " + std::to_string(run);
    return files;
}

// Every file below `dir`; the control files and staging folders are left out.
Files Contents(const fs::path& dir) {
    Files files;
    for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator();
         ++it) {
        if (it->path().filename().string().rfind(".carinova", 0) == 0) {
            if (it->is_directory())
                it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file())
            files[fs::relative(it->path(), dir).string()] = CScratchFolder::ReadBytes(it->path());
    }
    return files;
}

// What the parent folder holds besides the output folder: staging left behind.
std::vector<std::string> Leftovers(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.parent_path()))
        if (entry.path() != dir)
            names.push_back(entry.path().filename().string());
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().rfind(".carinova-staging", 0) == 0)
            names.push_back(entry.path().filename().string());
    return names;
}

bool WriteResults(CResultFolder& folder, const Files& files) {
    for (const auto& [name, content] : files) {
        const std::string claimed = folder.Claim(name);
        if (claimed != name)
            return false;
        std::ofstream(folder.StagingPath(claimed), std::ios::binary) << content;
    }
    return true;
}

bool RunInto(const fs::path& dir, const Files& files, bool exchange = true,
             std::function<void(CResultFolder::CommitStep)> hook = {}) {
    CResultFolder folder(dir);
    folder.AllowExchange(exchange);
    folder.SetCommitHook(std::move(hook));
    return folder.Begin() && WriteResults(folder, files) && folder.Commit();
}

Files With(Files a, const Files& b) {
    a.insert(b.begin(), b.end());
    return a;
}

class ResultFolder : public testing::TestWithParam<bool> {
protected:
    CScratchFolder scratch;
    const fs::path dir = scratch.Path() / "results";
    // Files the user put there: never removed, never left elsewhere.
    const Files foreign{{"notes.txt", "my notes"},
                        {"specimens/keep.png", "my own picture"},
                        {"raw/a.tps", "an input"}};

    void PutForeign() {
        for (const auto& [name, content] : foreign) {
            fs::create_directories((dir / name).parent_path());
            std::ofstream(dir / name) << content;
        }
    }
};

TEST_P(ResultFolder, ASmallerRunRemovesOnlyItsOwnEarlierResults) {
    ASSERT_TRUE(RunInto(dir, RunResults(1, 5), GetParam()));
    PutForeign();
    ASSERT_TRUE(RunInto(dir, RunResults(2, 2), GetParam()));
    EXPECT_EQ(Contents(dir), With(RunResults(2, 2), foreign));
    EXPECT_TRUE(Leftovers(dir).empty());
    ASSERT_TRUE(RunInto(dir, {{"export.txt", "tables only"}}, GetParam()));
    EXPECT_EQ(Contents(dir), With({{"export.txt", "tables only"}}, foreign));
}

// A child process runs the second commit and ends itself right after `step`, as a kill would:
// the folder then holds run 1 or run 2 whole, and the next run tidies up what was left. (Moving
// the results one by one is whole only at these steps; a kill between two moves mixes them
// until the next run. The exchange has no such moment.)
TEST_P(ResultFolder, KilledAtEveryStepOfTheCommitHoldsOneRun) {
    for (const auto step :
         {CResultFolder::CommitStep::Staged, CResultFolder::CommitStep::Carried,
          CResultFolder::CommitStep::Exchanged, CResultFolder::CommitStep::Cleaned}) {
        SCOPED_TRACE(static_cast<int>(step));
        fs::remove_all(dir);
        ASSERT_TRUE(RunInto(dir, RunResults(1, 4), GetParam()));
        PutForeign();
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RunInto(dir, RunResults(2, 2), GetParam(), [step](CResultFolder::CommitStep at) {
                if (at == step)
                    _exit(0);
            });
            _exit(1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

        Files results = Contents(dir);
        for (const auto& [name, content] : foreign)
            results.erase(name);
        const bool newRun = step == CResultFolder::CommitStep::Exchanged ||
                            step == CResultFolder::CommitStep::Cleaned;
        EXPECT_EQ(results, RunResults(newRun ? 2 : 1, newRun ? 2 : 4));

        ASSERT_TRUE(RunInto(dir, RunResults(3, 1), GetParam()));
        EXPECT_EQ(Contents(dir), With(RunResults(3, 1), foreign));
        EXPECT_TRUE(Leftovers(dir).empty());
    }
}

// Runs in two processes at once, many times over: each commit is whole, nothing is left over.
TEST_P(ResultFolder, ConcurrentRunsTakeTurns) {
    PutForeign();
    std::vector<pid_t> children;
    for (int process = 0; process < 2; ++process) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            bool ok = true;
            for (int round = 0; round < 8; ++round)
                ok = RunInto(dir, RunResults(10 * process + round, 1 + (round + process) % 4),
                             GetParam()) &&
                     ok;
            _exit(ok ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    Files results = Contents(dir);
    for (const auto& [name, content] : foreign)
        EXPECT_EQ(results[name], content);
    const std::string run = results["export.txt"].substr(std::string("export of run ").size());
    const int last = std::stoi(run);
    EXPECT_TRUE(last == 7 || last == 17) << run;
    for (const auto& [name, content] : foreign)
        results.erase(name);
    EXPECT_EQ(results, RunResults(last, 1 + (last % 10 + last / 10) % 4));
    EXPECT_TRUE(Leftovers(dir).empty());
}

TEST_P(ResultFolder, AFolderWhereAResultGoesStopsTheCommitBeforeAnyChange) {
    ASSERT_TRUE(RunInto(dir, RunResults(1, 2), GetParam()));
    fs::create_directories(dir / "specimens/valve 2.png");
    CResultFolder folder(dir);
    folder.AllowExchange(GetParam());
    ASSERT_TRUE(folder.Begin());
    ASSERT_TRUE(WriteResults(folder, RunResults(2, 3)));
    EXPECT_FALSE(folder.Commit());
    EXPECT_NE(folder.Error().find("a folder is in the way"), std::string::npos) << folder.Error();
    EXPECT_EQ(Contents(dir), RunResults(1, 2));
    EXPECT_TRUE(fs::is_directory(dir / "specimens/valve 2.png"));
}

TEST_P(ResultFolder, NeverReplacesOrRemovesAnInput) {
    ASSERT_TRUE(RunInto(dir, RunResults(1, 2), GetParam()));
    // An earlier result read as an input: the run would replace or remove it.
    {
        CResultFolder folder(dir);
        ASSERT_TRUE(folder.Begin());
        EXPECT_FALSE(folder.ProtectInputs({dir / "specimens/valve 1.png"}));
        EXPECT_TRUE(folder.RefusedForInput());
    }
    // A document in the folder, reached through another name (a hard link), whose name the
    // results would take.
    std::ofstream(dir / "doc.xml") << "<document/>";
    fs::create_hard_link(dir / "doc.xml", scratch.Path() / "elsewhere.xml");
    CResultFolder folder(dir);
    folder.AllowExchange(GetParam());
    ASSERT_TRUE(folder.Begin());
    ASSERT_TRUE(folder.ProtectInputs({scratch.Path() / "elsewhere.xml"}));
    EXPECT_EQ(folder.Claim("export.txt"), "export.txt");
    EXPECT_EQ(folder.Claim("doc.xml"), "");
    EXPECT_TRUE(folder.RefusedForInput());
    EXPECT_NE(folder.Error().find("doc.xml is an input"), std::string::npos) << folder.Error();
    EXPECT_EQ(CScratchFolder::ReadBytes(dir / "doc.xml"), "<document/>");
}

INSTANTIATE_TEST_SUITE_P(Commit, ResultFolder, testing::Bool(), [](const auto& info) {
    return info.param ? std::string("ByExchange") : std::string("ByMoving");
});

TEST(ResultFolderPlace, ALinkedFolderKeepsItsLinkAndTheResultsGoWhereItPoints) {
    CScratchFolder scratch;
    fs::create_directories(scratch.Path() / "real");
    fs::create_directory_symlink(scratch.Path() / "real", scratch.Path() / "link");
    ASSERT_TRUE(RunInto(scratch.Path() / "link", RunResults(1, 1)));
    EXPECT_TRUE(fs::is_symlink(scratch.Path() / "link"));
    EXPECT_EQ(Contents(scratch.Path() / "real"), RunResults(1, 1));
}

TEST(ResultFolderPlace, AStagingFolderOfALiveProcessIsLeftAlone) {
    CScratchFolder scratch;
    const fs::path dir = scratch.Path() / "results";
    ASSERT_TRUE(RunInto(dir, RunResults(1, 1)));
    // Named as this process's own (alive), and as a process id that cannot exist.
    const fs::path alive = dir / (".carinova-staging-" + std::to_string(getpid()) + "-1");
    const fs::path gone = dir / ".carinova-staging-2147483646-1";
    for (const fs::path& p : {alive, gone}) {
        fs::create_directories(p);
        std::ofstream(p / ".carinova-writing") << "\n";
        std::ofstream(p / "export.txt") << "half written";
    }
    ASSERT_TRUE(RunInto(dir, RunResults(2, 1)));
    EXPECT_TRUE(fs::exists(alive / "export.txt"));
    EXPECT_FALSE(fs::exists(gone));
}

TEST(ResultFolderNames, LongNamesAreShortenedUniqueAndReadable) {
    CScratchFolder scratch;
    const fs::path dir = scratch.Path() / "results";
    CResultFolder folder(dir);
    ASSERT_TRUE(folder.Begin());
    const std::size_t limit = FileNameLimit(dir);
    // Multi-byte characters across the cut; two names that differ only at their ends; the
    // same name twice, and a name that differs only in case.
    const std::string stem =
        "Cythere lutea " + std::string(120, 'x') + " \xC3\xA4\xC3\xB6 " + std::string(200, 'y');
    const std::vector<std::string> names = {
        "specimens/" + stem + "1.png", "specimens/" + stem + "2.png", "specimens/" + stem + "2.png",
        "specimens/A.png", "specimens/a.png"};
    std::set<std::string> claimed;
    for (const std::string& name : names) {
        const std::string c = folder.Claim(name);
        ASSERT_FALSE(c.empty());
        const std::string file = fs::path(c).filename().string();
        EXPECT_LE(file.size(), limit) << file;
        EXPECT_EQ(file.substr(file.size() - 4), ".png");
        EXPECT_EQ(c.rfind("specimens/", 0), 0u);
        if (name.size() > limit) {
            EXPECT_EQ(file.rfind("Cythere lutea xxx", 0), 0u) << file;
        }
        EXPECT_TRUE(claimed.insert(c).second) << c;
        std::ofstream(folder.StagingPath(c)) << name;
        EXPECT_TRUE(fs::exists(folder.StagingPath(c))) << "the file system takes the name";
    }
    EXPECT_TRUE(claimed.count("specimens/a (2).png")) << "a second name that differs in case";
    ASSERT_TRUE(folder.Commit());
}

// Each repeat of a name takes the smallest free number, also where a numbered name was claimed
// as it stands; the staged files are written without a flush each, and made durable at Commit.
TEST(ResultFolderNames, RepeatedNamesTakeTheSmallestFreeNumber) {
    CScratchFolder scratch;
    const fs::path dir = scratch.Path() / "results";
    CResultFolder folder(dir);
    ASSERT_TRUE(folder.Begin());
    std::vector<std::string> claimed;
    for (const char* name : {"v.tps", "v (3).tps", "v.tps", "V.TPS", "v.tps", "w.tps", "v.tps"})
        claimed.push_back(folder.Claim(name));
    EXPECT_EQ(claimed, (std::vector<std::string>{"v.tps", "v (3).tps", "v (2).tps", "V (4).TPS",
                                                 "v (5).tps", "w.tps", "v (6).tps"}));
    const fs::path staged = folder.StagingPath("v (2).tps");
    EXPECT_TRUE(CAtomicFile::IsSyncDeferred(staged));
    EXPECT_FALSE(CAtomicFile::IsSyncDeferred(dir / "v (2).tps"));
    EXPECT_FALSE(CAtomicFile::IsSyncDeferred(staged.parent_path()));
    std::string error;
    ASSERT_TRUE(WriteTextFile(staged, "LM=0\n", error)) << error;
    ASSERT_TRUE(folder.Commit());
    EXPECT_FALSE(CAtomicFile::IsSyncDeferred(staged));
    EXPECT_EQ(CScratchFolder::ReadBytes(dir / "v (2).tps"), "LM=0\r\n");
}

TEST(ResultFolderNames, ShorteningKeepsWholeCharactersAndTheLimit) {
    // Two-byte characters throughout: a cut at any limit leaves valid UTF-8.
    std::string name;
    for (int i = 0; i < 150; ++i)
        name += "\xC3\xA4";
    name += ".tps";
    for (std::size_t limit = 20; limit <= 40; ++limit) {
        const std::string shortened = ShortenFileName(name, limit);
        EXPECT_LE(shortened.size(), limit);
        const std::size_t tilde = shortened.find('~');
        ASSERT_NE(tilde, std::string::npos);
        EXPECT_EQ(tilde % 2, 0u) << "cut inside a character at limit " << limit;
        EXPECT_EQ(shortened.substr(shortened.size() - 4), ".tps");
    }
    EXPECT_EQ(ShortenFileName("short.png", 255), "short.png");
    EXPECT_EQ(NumberedFileName("valve.png", 12, 255), "valve (12).png");
    EXPECT_EQ(SafeFileName(".hidden/a:b\n"), "_hidden_a_b_");
}

} // namespace
