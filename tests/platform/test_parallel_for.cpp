// How many threads the parallel loops use: the count set for the process, CARINOVA_THREADS, or
// the CPUs of the affinity mask.
#include "platform/parallel_for.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>
#include <sched.h>
#include <set>
#include <thread>

namespace {

struct ThreadCountCase {
    const char* name;
    const char* text;
    unsigned expected; // 0: refused
};

class ThreadCountText : public testing::TestWithParam<ThreadCountCase> {};

TEST_P(ThreadCountText, IsAWholeNumberFromOneToTheLimit) {
    const std::optional<unsigned> count = ParseThreadCount(GetParam().text);
    if (GetParam().expected == 0)
        EXPECT_FALSE(count.has_value());
    else
        EXPECT_EQ(count.value_or(0), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ThreadCountText,
    testing::Values(ThreadCountCase{"One", "1", 1}, ThreadCountCase{"Three", "3", 3},
                    ThreadCountCase{"Limit", "1024", 1024}, ThreadCountCase{"Zero", "0", 0},
                    ThreadCountCase{"AboveLimit", "1025", 0}, ThreadCountCase{"Negative", "-2", 0},
                    ThreadCountCase{"Empty", "", 0}, ThreadCountCase{"Word", "four", 0},
                    ThreadCountCase{"TrailingText", "4x", 0},
                    ThreadCountCase{"Huge", "99999999999999999999", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Restores the environment and the process setting whatever a test changes.
class DefaultThreads : public testing::Test {
protected:
    void SetUp() override {
        if (const char* env = std::getenv("CARINOVA_THREADS"))
            saved_ = env;
        unsetenv("CARINOVA_THREADS");
    }
    void TearDown() override {
        SetDefaultThreadCount(0);
        if (saved_.empty())
            unsetenv("CARINOVA_THREADS");
        else
            setenv("CARINOVA_THREADS", saved_.c_str(), 1);
    }
    std::string saved_;
};

TEST_F(DefaultThreads, FollowTheAffinityMaskNotTheMachine) {
    cpu_set_t saved;
    ASSERT_EQ(sched_getaffinity(0, sizeof saved, &saved), 0);
    EXPECT_EQ(DefaultThreadCount(), static_cast<unsigned>(CPU_COUNT(&saved)));
    // The mask of this thread only, as `taskset -c` would set it for the process.
    int first = 0;
    while (!CPU_ISSET(first, &saved))
        ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    const unsigned restricted = DefaultThreadCount();
    ASSERT_EQ(sched_setaffinity(0, sizeof saved, &saved), 0);
    EXPECT_EQ(restricted, 1u);
}

TEST_F(DefaultThreads, EnvironmentThenProcessSettingTakePrecedence) {
    setenv("CARINOVA_THREADS", "5", 1);
    EXPECT_EQ(DefaultThreadCount(), 5u);
    setenv("CARINOVA_THREADS", "lots", 1);
    EXPECT_EQ(DefaultThreadCount(), AffinityCpuCount()) << "an unusable value is ignored";
    setenv("CARINOVA_THREADS", "5", 1);
    SetDefaultThreadCount(3);
    EXPECT_EQ(DefaultThreadCount(), 3u);
    SetDefaultThreadCount(0);
    EXPECT_EQ(DefaultThreadCount(), 5u);
}

TEST_F(DefaultThreads, ParallelForStartsThatManyThreads) {
    SetDefaultThreadCount(3);
    std::mutex mutex;
    std::set<std::thread::id> seen;
    // Each index waits a little, so that every thread gets one before the loop ends.
    ParallelFor(64, [&](std::size_t) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const std::lock_guard lock(mutex);
        seen.insert(std::this_thread::get_id());
    });
    EXPECT_EQ(seen.size(), 3u);
}

} // namespace
