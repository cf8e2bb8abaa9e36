#include "platform/input_bytes.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <random>
#include <sys/stat.h>
#include <thread>

namespace {

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

TEST(InputBytesTest, ReadsARegularFileWhole) {
    CScratchFolder folder;
    const std::string bytes = RandomBytes(300000, 5); // several reads' worth
    const CInputBytes input = ReadInputFile(folder.Write("f.tps", bytes));
    EXPECT_EQ(input.error, "");
    EXPECT_EQ(input.bytes, bytes);
    EXPECT_EQ(ReadInputFile(folder.Write("e.tps", "")).bytes, "");
}

TEST(InputBytesTest, RefusesWhatCannotBeReadWithTheReason) {
    CScratchFolder folder;
    EXPECT_EQ(ReadInputFile((folder.Path() / "none.tps").string()).error,
              "No such file or directory");
    EXPECT_EQ(ReadInputFile(folder.Path().string()).error, "it is a folder");
    EXPECT_EQ(ReadInputFile("/dev/null").error, "not a regular file or a readable stream");
}

// A FIFO nobody writes into is refused at once instead of waiting for a writer for ever.
TEST(InputBytesTest, FifoWithoutWriterIsRefusedAtOnce) {
    CScratchFolder folder;
    const std::string fifo = (folder.Path() / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    const CInputBytes input = ReadInputFile(fifo);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(input.error, "nothing to read: the pipe is empty and no program writes into it");
}

TEST(InputBytesTest, FifoWithAWriterIsReadToItsEnd) {
    CScratchFolder folder;
    const std::string fifo = (folder.Path() / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string bytes = RandomBytes(200000, 9); // more than the pipe holds at once
    std::thread writer([&] {
        std::ofstream out(fifo, std::ios::binary); // opens once the reader has opened
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    });
    // The writer blocks in its open until the reader comes; give it the time to get there.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const CInputBytes input = ReadInputFile(fifo);
    writer.join();
    EXPECT_EQ(input.error, "");
    EXPECT_EQ(input.bytes.size(), bytes.size());
    EXPECT_EQ(input.bytes, bytes);
}

// A source that fails after some bytes: what came before is kept, the failure named.
TEST(InputBytesTest, ReadErrorKeepsTheBytesBeforeItAndSaysWhy) {
    const std::string bytes = RandomBytes(150000, 3);
    std::size_t given = 0;
    const CInputBytes input = ReadInputSource([&](char* buffer, std::size_t size) -> long {
        if (given >= 131072) {
            errno = EIO;
            return -1;
        }
        const std::size_t n = std::min({size, std::size_t{4096}, bytes.size() - given});
        std::copy_n(bytes.data() + given, n, buffer);
        given += n;
        return static_cast<long>(n);
    });
    EXPECT_TRUE(input.failedWhileReading);
    EXPECT_EQ(input.error, "Input/output error");
    EXPECT_EQ(input.bytes, bytes.substr(0, 131072));
}

} // namespace
