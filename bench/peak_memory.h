#pragma once

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <fstream>
#include <string>

// The peak resident set of one benchmark run, read from /proc.
namespace bench {

inline long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    return 0;
}

// Returns freed memory to the system and restarts the peak, so the next peak is this run's.
inline long StartPeak() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    return StatusKb("VmRSS");
}

inline void ReportPeak(benchmark::State& state, long startKb) {
    state.counters["peak_MB"] = static_cast<double>(StatusKb("VmHWM") - startKb) / 1024.0;
}

} // namespace bench
