#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <mutex>
#include <string>

// Progress of the long stages of a batch run on the error stream. On a terminal each stage
// redraws one line with its count, share and the time left; elsewhere (a log, a pipe) each
// stage writes one line when it ends, with its count and duration. Advance may be called from
// any thread.
class CProgress {
public:
    CProgress(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}

    void Begin(std::string stage, std::size_t total);
    void Advance(std::size_t steps = 1);
    void End();

    // Whether the file descriptor is a terminal that shows a redrawn line.
    static bool IsTerminal(int fd);

private:
    using Clock = std::chrono::steady_clock;

    void Draw(std::size_t done);

    std::ostream& err_;
    const bool terminal_;
    std::string stage_;
    std::size_t total_ = 0;
    std::atomic<std::size_t> done_{0};
    Clock::time_point start_;
    Clock::time_point lastDraw_;
    std::mutex drawing_;
};
