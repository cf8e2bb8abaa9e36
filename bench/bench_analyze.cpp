// `carinova-cli analyze` end to end on seeded synthetic valves of 400 points, every output asked
// for: wall time, the CPU time of the tool and its peak resident memory (from wait4, so it is
// the tool's own peak, not this program's). Targets for 10,000 valves on 2 cores: under 5
// minutes and under 1 GB.

#include "valve_outlines.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void AppendNumber(std::string& out, float value) {
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// The valves as a TPS file, named "valve N".
fs::path WriteValves(const fs::path& folder, int count) {
    bench::CValveGenerator generator(20261208);
    const fs::path file = folder / ("valves-" + std::to_string(count) + ".tps");
    std::ofstream out(file, std::ios::binary);
    std::string text;
    for (int i = 0; i < count; ++i) {
        text = "LM=0\nOUTLINES=1\nPOINTS=400\n";
        for (const FPoint& p : generator.Outline(400)) {
            AppendNumber(text, p.x);
            text += ' ';
            AppendNumber(text, p.y);
            text += '\n';
        }
        text += "ID=valve " + std::to_string(i + 1) + "\n";
        out << text;
    }
    return file;
}

struct CRunFigures {
    int status = -1;
    double wallSeconds = 0.0;
    double cpuSeconds = 0.0;
    double peakMegabytes = 0.0;
};

CRunFigures RunTool(const std::vector<std::string>& args, const fs::path& log) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen(log.c_str(), "w", stdout);
        std::freopen(log.c_str(), "a", stderr);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> argv{const_cast<char*>(CARINOVA_CLI_PATH)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(CARINOVA_CLI_PATH, argv.data());
        _exit(127);
    }
    CRunFigures f;
    rusage usage{};
    wait4(pid, &f.status, 0, &usage);
    f.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    f.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    f.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return f;
}

void BM_Analyze(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const fs::path folder =
        fs::temp_directory_path() / ("carinova-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path valves = WriteValves(folder, count);
    CRunFigures figures;
    for (auto _ : state) {
        figures = RunTool({"analyze", valves.string(), "--mean", "-o", (folder / "out").string(),
                           "--tables", "all", "--pictures", "all", "--report", "full"},
                          folder / "analyze.log");
        state.SetIterationTime(figures.wallSeconds);
    }
    if (figures.status != 0) {
        std::ifstream log(folder / "analyze.log");
        state.SkipWithError(
            ("carinova-cli failed: " + std::string(std::istreambuf_iterator<char>(log), {}))
                .c_str());
    }
    // The tool's own line per stage ("Writing the pairwise tables: 10000 in 95.2 s").
    std::ifstream log(folder / "analyze.log");
    for (std::string line; std::getline(log, line);)
        if (line.find(" in ") != std::string::npos && line.back() == 's')
            std::printf("  %d valves: %s\n", count, line.c_str());
    state.counters["cpu_s"] = figures.cpuSeconds;
    state.counters["peak_MB"] = figures.peakMegabytes;
    state.SetItemsProcessed(count);
    std::error_code ec;
    fs::remove_all(folder, ec);
}
BENCHMARK(BM_Analyze)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseManualTime();

} // namespace

BENCHMARK_MAIN();
