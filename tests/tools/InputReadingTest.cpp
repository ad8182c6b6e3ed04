#include "tools/InputReading.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>

using namespace quillet::convert;

namespace {

// Bytes that differ from position to position, so that a chunk written twice or out of order shows.
std::string patternedBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t at = 0; at < size; ++at)
        bytes[at] = static_cast<char>('a' + (at * 7 + at / 251) % 26);
    return bytes;
}

class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& contents) {
        const int fd = ::mkstemp(path_.data());
        if (fd < 0) return;
        std::size_t written = 0;
        while (written < contents.size()) {
            const ssize_t count = ::write(fd, contents.data() + written, contents.size() - written);
            if (count <= 0) break;
            written += static_cast<std::size_t>(count);
        }
        ::close(fd);
    }
    ~TemporaryFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_ = "/tmp/quillet-input-XXXXXX";
};

} // namespace

TEST(InputReading, ReadsWholeFilesOfAnySize) {
    for (const std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(65535), std::size_t(65536),
                                   std::size_t(65537), std::size_t(3 * 65536 + 17)}) {
        const std::string bytes = patternedBytes(size);
        const TemporaryFile file(bytes);
        const ReadResult result = readFile(file.path());
        EXPECT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(result.bytes.size(), size);
        EXPECT_TRUE(result.bytes == bytes) << "size " << size;
    }
}

TEST(InputReading, ReadsAPipeToItsEndInWhateverPiecesItDelivers) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const std::string bytes = patternedBytes(5 * 65536 + 123);
    std::thread writer([&] {
        // Uneven pieces: the reader must keep what each read delivered.
        for (std::size_t at = 0, piece = 1; at < bytes.size(); at += piece, piece = piece * 3 % 70001 + 1) {
            const std::size_t length = std::min(piece, bytes.size() - at);
            if (::write(ends[1], bytes.data() + at, length) != static_cast<ssize_t>(length)) break;
        }
        ::close(ends[1]);
    });
    const ReadResult result = readDescriptor(ends[0], "pipe");
    writer.join();
    ::close(ends[0]);
    EXPECT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.bytes.size(), bytes.size());
    EXPECT_TRUE(result.bytes == bytes);
}

TEST(InputReading, ReportsAFileThatCannotBeRead) {
    const ReadResult missing = readFile("/tmp/quillet-no-such-folder/note.md");
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error.find("cannot read '/tmp/quillet-no-such-folder/note.md'"), std::string::npos);
    const int directory = ::open("/tmp", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(directory, 0);
    const ReadResult unreadable = readDescriptor(directory, "a folder");
    ::close(directory);
    EXPECT_FALSE(unreadable.ok());
    EXPECT_NE(unreadable.error.find("cannot read 'a folder'"), std::string::npos);
}
