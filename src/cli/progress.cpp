#include "progress.h"

#include "platform/c_format.h"

#include <ostream>
#include <unistd.h>

namespace {

std::string Duration(double seconds) {
    const long whole = static_cast<long>(seconds + 0.5);
    return whole >= 3600 ? FormatC("%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60)
                         : FormatC("%ld:%02ld", whole / 60, whole % 60);
}

} // namespace

bool CProgress::IsTerminal(int fd) {
    return ::isatty(fd) == 1;
}

void CProgress::Begin(std::string stage, std::size_t total) {
    stage_ = std::move(stage);
    total_ = total;
    done_ = 0;
    start_ = lastDraw_ = Clock::now();
    if (terminal_)
        Draw(0);
}

void CProgress::Advance(std::size_t steps) {
    const std::size_t done = done_ += steps;
    if (!terminal_)
        return;
    // One thread draws; the others carry on without waiting for it.
    std::unique_lock lock(drawing_, std::try_to_lock);
    if (lock && Clock::now() - lastDraw_ > std::chrono::milliseconds(200))
        Draw(done);
}

// "Writing the tables: 1234 of 10000 (12 %), about 1:05 left"
void CProgress::Draw(std::size_t done) {
    lastDraw_ = Clock::now();
    const double elapsed = std::chrono::duration<double>(lastDraw_ - start_).count();
    std::string line =
        "\r" + stage_ + ": " + std::to_string(done) + " of " + std::to_string(total_);
    if (total_ > 0)
        line += FormatC(" (%d %%)", static_cast<int>(100.0 * static_cast<double>(done) /
                                                     static_cast<double>(total_)));
    if (done > 0 && done < total_ && elapsed >= 1.0)
        line += ", about " +
                Duration(elapsed * static_cast<double>(total_ - done) / static_cast<double>(done)) +
                " left";
    line += "\033[K"; // clears what a longer line left
    err_ << line << std::flush;
}

void CProgress::End() {
    const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
    if (terminal_)
        err_ << "\r" << stage_ << ": " << total_ << " in " << Duration(elapsed) << "\033[K\n";
    else
        err_ << stage_ << ": " << total_ << FormatC(" in %.1f s\n", elapsed);
    err_ << std::flush;
}
