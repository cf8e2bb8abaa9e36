#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

// Runs body(i) for i = 0 ... count - 1 on up to `threads` threads (0: DefaultThreadCount()),
// the calling thread among them. Indices are handed out one by one, so the work of each index
// must not depend on any other: then the results are the same for every thread count. The
// first exception a body throws is rethrown here once all threads have stopped; indices not yet
// started are then skipped.
void ParallelFor(std::size_t count, const std::function<void(std::size_t)>& body,
                 unsigned threads = 0);

// The number of threads ParallelFor uses for `threads` = 0: the count set for this process
// (SetDefaultThreadCount), else CARINOVA_THREADS when it holds a valid count, else the number of
// CPUs this process may run on (its affinity mask, so `taskset -c 0` gives one).
unsigned DefaultThreadCount();

// Sets that count for the rest of the process (the batch tool's --threads); 0 goes back to the
// environment and the affinity mask.
void SetDefaultThreadCount(unsigned threads);

// The most threads a count may ask for; larger requests are refused as mistakes.
inline constexpr unsigned kMaxThreadCount = 1024;

// A thread count as CARINOVA_THREADS or --threads spell it: a whole number from 1 to
// kMaxThreadCount; nothing otherwise.
std::optional<unsigned> ParseThreadCount(std::string_view text);

// The CPUs this process may run on; at least 1.
unsigned AffinityCpuCount();
