#pragma once

#include <cstddef>
#include <functional>
#include <string>

// The whole content of one input, read once: a regular file, a pipe or FIFO, a socket or a
// terminal. Each input is read exactly once, so a pipe or standard input reads the same as a
// file, and a reader that wants another look at the start looks at these bytes.
struct CInputBytes {
    std::string bytes;
    // Why the input could not be read (empty when it was). After a failure while reading,
    // `bytes` holds what came before it.
    std::string error;
    bool failedWhileReading = false;
};

// Larger inputs are refused: no outline file comes near it, and it bounds the memory a
// hostile stream can take.
constexpr std::size_t kMaxInputBytes = std::size_t{1} << 30;

// A file, FIFO or device by path. A folder, a device that is no terminal, or a FIFO that no
// program writes into is refused with a message instead of being waited for.
CInputBytes ReadInputFile(const std::string& path);

// The process's standard input.
CInputBytes ReadStandardInput();

// Bytes from a source that returns the count it put into the buffer, 0 at its end, or -1 with
// errno set on a failure.
using ByteSource = std::function<long(char* buffer, std::size_t size)>;
CInputBytes ReadInputSource(const ByteSource& source);
