// carinova-cli as a process: stopped by SIGTERM while it writes, and two runs into one folder at
// the same time. The folder then holds exactly one run's results and nothing else.
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

const std::string kSamples = CARINOVA_SAMPLES_DIR;

// Starts the batch tool headless, as on a server without a desktop session, with its output and
// errors going to files.
pid_t Start(const std::vector<std::string>& args, const fs::path& log) {
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(fd, 1);
    ::dup2(fd, 2);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::unsetenv("XDG_RUNTIME_DIR");
    std::vector<char*> argv{const_cast<char*>(CARINOVA_CLI_PATH)};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(CARINOVA_CLI_PATH, argv.data());
    ::_exit(127);
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

Files Contents(const fs::path& dir) {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), dir).string()] =
                CScratchFolder::ReadBytes(entry.path());
    return files;
}

// Staging folders beside the output folder.
std::vector<std::string> Staging(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.parent_path()))
        if (entry.path().filename().string().rfind(".carinova-", 0) == 0)
            names.push_back(entry.path().filename().string());
    return names;
}

// Valves enough to keep the tool busy for a few seconds with every output.
std::string ManyValves(int count) {
    std::string tps;
    for (int i = 0; i < count; ++i) {
        tps += "LM=0\nOUTLINES=1\nPOINTS=300\n";
        for (int k = 0; k < 300; ++k) {
            const double t = 2.0 * 3.14159265358979 * k / 300.0;
            const double r = 1.0 + 0.03 * std::sin(5 * t + i);
            tps += std::to_string(std::lround(640 + (350 + i % 40) * r * std::cos(t))) + " " +
                   std::to_string(std::lround(480 + (170 + i % 13) * r * std::sin(t))) + "\n";
        }
        tps += "ID=" + std::to_string(i) + "\n";
    }
    return tps;
}

TEST(BatchProcess, SigtermWhileWritingKeepsTheEarlierResults) {
    CScratchFolder scratch;
    const fs::path dir = scratch.Path() / "results";
    ASSERT_EQ(Wait(Start({"analyze", kSamples + "/valves.tps", "-o", dir.string()},
                         scratch.Path() / "first.log")),
              0)
        << CScratchFolder::ReadBytes(scratch.Path() / "first.log");
    // Qt's warning about the session's runtime folder is no concern of the tool's user.
    EXPECT_EQ(CScratchFolder::ReadBytes(scratch.Path() / "first.log").find("XDG_RUNTIME_DIR"),
              std::string::npos);
    const Files earlier = Contents(dir);
    const std::string many = scratch.Write("many.tps", ManyValves(600));

    const pid_t run = Start({"analyze", many, "-o", dir.string(), "--tables", "all", "--pictures",
                             "all", "--report", "full"},
                            scratch.Path() / "second.log");
    // Stopped once its document is written into the staging folder.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    bool writing = false;
    while (!writing && std::chrono::steady_clock::now() < deadline) {
        for (const std::string& name : Staging(dir))
            writing = writing || fs::exists(scratch.Path() / name / "document.xml");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(writing) << "the run never began to write";
    ::kill(run, SIGTERM);
    const int status = Wait(run);
    const std::string log = CScratchFolder::ReadBytes(scratch.Path() / "second.log");
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status << "\n" << log;
    EXPECT_NE(log.find("interrupted;"), std::string::npos) << log;
    EXPECT_EQ(Contents(dir), earlier);
    EXPECT_TRUE(Staging(dir).empty());
}

// Two runs started together: each waits for the other, both succeed, the folder ends with the
// whole results of one of them.
TEST(BatchProcess, TwoRunsIntoOneFolderTakeTurns) {
    CScratchFolder scratch;
    const fs::path dir = scratch.Path() / "results";
    const pid_t a =
        Start({"analyze", kSamples + "/valves.tps", "-o", dir.string()}, scratch.Path() / "a.log");
    const pid_t b = Start({"analyze", kSamples + "/valves.msd", kSamples + "/valves.txt", "-o",
                           dir.string(), "--report", "none"},
                          scratch.Path() / "b.log");
    EXPECT_EQ(Wait(a), 0) << CScratchFolder::ReadBytes(scratch.Path() / "a.log");
    EXPECT_EQ(Wait(b), 0) << CScratchFolder::ReadBytes(scratch.Path() / "b.log");
    const Files results = Contents(dir);
    const bool fromA = results.count("report.pdf") == 1;
    std::size_t pictures = 0;
    for (const auto& [name, content] : results)
        pictures += name.rfind("specimens/", 0) == 0;
    EXPECT_EQ(pictures, fromA ? 6u : 4u);
    const std::string exportText = results.at("export.txt");
    EXPECT_NE(exportText.find(fromA ? "valves.tps" : "valves.msd"), std::string::npos);
    EXPECT_EQ(exportText.find(fromA ? "valves.msd" : "valves.tps"), std::string::npos);
    EXPECT_TRUE(Staging(dir).empty());
}

} // namespace
