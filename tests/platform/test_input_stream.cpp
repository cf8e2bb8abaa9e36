#include "platform/input_stream.h"
#include "platform/line_cursor.h"
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

// Everything the input gives, in reads of an odd size.
std::string ReadAll(CInputStream& input) {
    std::string all;
    char buffer[7001];
    for (std::size_t n; (n = input.Read(buffer, sizeof buffer)) > 0;)
        all.append(buffer, n);
    return all;
}

TEST(InputStreamTest, ReadsARegularFileToItsEnd) {
    CScratchFolder folder;
    const std::string bytes = RandomBytes(300000, 5);
    CInputStream input = CInputStream::Open(folder.Write("f.tps", bytes));
    EXPECT_EQ(ReadAll(input), bytes);
    EXPECT_EQ(input.Error(), "");
    EXPECT_FALSE(input.FailedWhileReading());
}

TEST(InputStreamTest, RefusesWhatCannotBeReadWithTheReason) {
    CScratchFolder folder;
    EXPECT_EQ(CInputStream::Open((folder.Path() / "none.tps").string()).Error(),
              "No such file or directory");
    EXPECT_EQ(CInputStream::Open(folder.Path().string()).Error(), "it is a folder");
    CInputStream device = CInputStream::Open("/dev/null");
    EXPECT_EQ(device.Error(), "not a regular file or a readable stream");
    char c = 0;
    EXPECT_EQ(device.Read(&c, 1), 0u);
}

// A FIFO nobody writes into is refused at once instead of waiting for a writer for ever.
TEST(InputStreamTest, FifoWithoutWriterIsRefusedAtOnce) {
    CScratchFolder folder;
    const std::string fifo = (folder.Path() / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    const CInputStream input = CInputStream::Open(fifo);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(input.Error(), "nothing to read: the pipe is empty and no program writes into it");
}

TEST(InputStreamTest, FifoWithAWriterIsReadToItsEnd) {
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
    CInputStream input = CInputStream::Open(fifo);
    EXPECT_EQ(input.Error(), "");
    const std::string read = ReadAll(input);
    writer.join();
    EXPECT_EQ(read.size(), bytes.size());
    EXPECT_EQ(read, bytes);
}

// A source that fails after some bytes: what came before is given, the failure named.
TEST(InputStreamTest, ReadErrorEndsTheInputAndSaysWhy) {
    const std::string bytes = RandomBytes(150000, 3);
    std::size_t given = 0;
    CInputStream input([&](char* buffer, std::size_t size) -> long {
        if (given >= 131072) {
            errno = EIO;
            return -1;
        }
        const std::size_t n = std::min({size, std::size_t{4096}, bytes.size() - given});
        std::copy_n(bytes.data() + given, n, buffer);
        given += n;
        return static_cast<long>(n);
    });
    EXPECT_EQ(ReadAll(input), bytes.substr(0, 131072));
    EXPECT_TRUE(input.FailedWhileReading());
    EXPECT_EQ(input.Error(), "Input/output error");
}

// Lines read from an input, through the refills of the cursor's buffer, are the lines of the
// text held in memory; so is the look at the start.
TEST(InputStreamTest, LinesOfAnInputAreTheLinesOfItsText) {
    std::mt19937 random(11);
    std::string text = "\xEF\xBB\xBF";
    for (int i = 0; i < 30000; ++i) {
        text += std::string(random() % 40, static_cast<char>('a' + i % 26));
        text += i % 7 == 0 ? "\r\n" : (i % 11 == 0 ? "\r" : "\n");
    }
    text += std::string(200000, 'z'); // a long last line without a line end
    CInputStream input = CInputStream::OfText(text);
    CLineCursor streamed(input);
    CLineCursor held(text);
    EXPECT_EQ(streamed.Ahead(1000), held.Ahead(1000).substr(0, streamed.Ahead(1000).size()));
    std::string_view a;
    std::string_view b;
    while (held.Next(b)) {
        ASSERT_TRUE(streamed.Next(a));
        ASSERT_EQ(a, b) << "line " << held.LineNumber();
        ASSERT_EQ(streamed.HadLineEnd(), held.HadLineEnd());
        if (held.LineNumber() % 1000 == 0) { // a line read again after a look back
            streamed.Unread();
            ASSERT_TRUE(streamed.Next(a));
            ASSERT_EQ(a, b);
        }
    }
    EXPECT_FALSE(streamed.Next(a));
    EXPECT_TRUE(streamed.AtEnd());
    EXPECT_EQ(streamed.LineNumber(), held.LineNumber());
}

// A line end, a CR LF pair or the text's end right at the end of one read of the input.
TEST(InputStreamTest, LineEndsAtTheEdgeOfAReadAreFound) {
    for (const char* end : {"\n", "\r\n", "\r", ""}) {
        for (std::size_t size = (1 << 16) - 3; size <= (1 << 16) + 3; ++size) {
            const std::string text = std::string(size, 'a') + end + "b" + end;
            CInputStream input = CInputStream::OfText(text);
            CLineCursor streamed(input);
            CLineCursor held(text);
            std::string_view a;
            std::string_view b;
            while (held.Next(b)) {
                ASSERT_TRUE(streamed.Next(a)) << size;
                ASSERT_EQ(a, b) << size;
                ASSERT_EQ(streamed.HadLineEnd(), held.HadLineEnd()) << size;
            }
            ASSERT_FALSE(streamed.Next(a)) << size;
            ASSERT_TRUE(streamed.AtEnd());
        }
    }
}

} // namespace
