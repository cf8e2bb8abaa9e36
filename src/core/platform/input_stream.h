#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// A source of bytes: the count it put into the buffer, 0 at its end, or -1 with errno set on a
// failure.
using ByteSource = std::function<long(char* buffer, std::size_t size)>;

// The bytes of one input, read once from its start to its end: a regular file, a pipe or FIFO,
// a socket, a terminal, standard input, or any source. Each input is opened and read exactly
// once, so a pipe reads the same as a file.
class CInputStream {
public:
    // A file, FIFO or device by path. A folder, a device that is no terminal, or a FIFO that no
    // program writes into is refused (Error() says why) instead of being waited for.
    static CInputStream Open(const std::string& path);
    static CInputStream StandardInput();
    explicit CInputStream(ByteSource source) : source_(std::move(source)) {}
    // The bytes of a text held in memory.
    static CInputStream OfText(std::string text);

    CInputStream(CInputStream&& other) noexcept;
    CInputStream& operator=(CInputStream&& other) noexcept;
    ~CInputStream();

    // Reads up to `size` bytes; 0 at the end and after a failure.
    std::size_t Read(char* buffer, std::size_t size);

    // Why the input cannot be read (when it could not be opened), or the failure that ended
    // the reading before the end; empty when neither happened.
    const std::string& Error() const { return error_; }
    bool FailedWhileReading() const { return failedWhileReading_; }

private:
    CInputStream() = default;
    static CInputStream Refused(std::string why);
    CInputStream& Refuse(std::string why);

    ByteSource source_;
    std::string pending_; // read already while opening, handed out first
    std::string error_;
    bool failedWhileReading_ = false;
    bool ended_ = false;
    int ownedDescriptor_ = -1;
};
