#pragma once

#include <cstddef>
#include <functional>

// Runs body(i) for i = 0 ... count - 1 on up to `threads` threads (0: one per core), the
// calling thread among them. Indices are handed out one by one, so the work of each index must
// not depend on any other: then the results are the same for every thread count. The first
// exception a body throws is rethrown here once all threads have stopped; indices not yet
// started are then skipped.
void ParallelFor(std::size_t count, const std::function<void(std::size_t)>& body,
                 unsigned threads = 0);

// The number of threads ParallelFor uses for `threads` = 0.
unsigned DefaultThreadCount();
