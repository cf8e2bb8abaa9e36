#include "platform/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <sched.h>
#include <thread>
#include <vector>

namespace {

std::atomic<unsigned> processThreadCount{0};

} // namespace

std::optional<unsigned> ParseThreadCount(std::string_view text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > kMaxThreadCount)
        return std::nullopt;
    return value;
}

unsigned AffinityCpuCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0)
            return static_cast<unsigned>(count);
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

unsigned DefaultThreadCount() {
    if (const unsigned set = processThreadCount.load(); set != 0)
        return set;
    if (const char* env = std::getenv("CARINOVA_THREADS"))
        if (const std::optional<unsigned> count = ParseThreadCount(env))
            return *count;
    return AffinityCpuCount();
}

void SetDefaultThreadCount(unsigned threads) {
    processThreadCount = std::min(threads, kMaxThreadCount);
}

void ParallelFor(std::size_t count, const std::function<void(std::size_t)>& body,
                 unsigned threads) {
    if (threads == 0)
        threads = DefaultThreadCount();
    const std::size_t workers = std::min<std::size_t>(threads, count);
    if (workers <= 1) {
        for (std::size_t i = 0; i < count; ++i)
            body(i);
        return;
    }
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr error;
    std::mutex errorMutex;
    const auto work = [&] {
        for (std::size_t i = next++; i < count && !failed; i = next++) {
            try {
                body(i);
            } catch (...) {
                const std::lock_guard lock(errorMutex);
                if (!error)
                    error = std::current_exception();
                failed = true;
            }
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(workers - 1);
    for (std::size_t w = 1; w < workers; ++w)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
    if (error)
        std::rethrow_exception(error);
}
