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

// Keeps every piece; refuses pieces once `limit` bytes were taken.
class CollectedPieces : public InputPieces {
public:
    explicit CollectedPieces(std::size_t limit = std::string::npos) : limit_(limit) {}
    void expect(std::size_t bytes) override {
        EXPECT_TRUE(bytes_.empty()) << "the size comes before the first piece";
        expected_ = bytes;
    }
    bool take(std::string_view piece) override {
        EXPECT_FALSE(piece.empty());
        bytes_ += piece;
        ++pieces_;
        return bytes_.size() < limit_;
    }
    const std::string& bytes() const { return bytes_; }
    std::size_t expected() const { return expected_; }
    std::size_t pieces() const { return pieces_; }

private:
    std::size_t limit_;
    std::string bytes_;
    std::size_t expected_ = 0;
    std::size_t pieces_ = 0;
};

} // namespace

TEST(InputReading, ReadsWholeFilesOfAnySize) {
    for (const std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(65535), std::size_t(65536),
                                   std::size_t(65537), std::size_t(3 * 65536 + 17)}) {
        const std::string bytes = patternedBytes(size);
        const TemporaryFile file(bytes);
        CollectedPieces result;
        EXPECT_EQ(readFilePieces(file.path(), result), "");
        EXPECT_EQ(result.expected(), size);
        EXPECT_EQ(result.bytes().size(), size);
        EXPECT_TRUE(result.bytes() == bytes) << "size " << size;
        if (size > 3 * 65536) {
            EXPECT_GT(result.pieces(), 1u) << "a large file comes in several pieces";
        }
    }
}

TEST(InputReading, StopsWhenAPieceIsRefused) {
    const std::string bytes = patternedBytes(2 * 1024 * 1024);
    const TemporaryFile file(bytes);
    CollectedPieces result(1);
    EXPECT_EQ(readFilePieces(file.path(), result), "");
    EXPECT_EQ(result.pieces(), 1u);
    EXPECT_LT(result.bytes().size(), bytes.size());
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
    CollectedPieces result;
    const std::string error = readPieces(ends[0], "pipe", result);
    writer.join();
    ::close(ends[0]);
    EXPECT_EQ(error, "");
    EXPECT_EQ(result.expected(), 0u) << "a pipe has no size to tell";
    EXPECT_EQ(result.bytes().size(), bytes.size());
    EXPECT_TRUE(result.bytes() == bytes);
}

TEST(InputReading, ReportsAFileThatCannotBeRead) {
    CollectedPieces missing;
    EXPECT_NE(readFilePieces("/tmp/quillet-no-such-folder/note.md", missing)
                  .find("cannot read '/tmp/quillet-no-such-folder/note.md'"),
              std::string::npos);
    const int directory = ::open("/tmp", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(directory, 0);
    CollectedPieces unreadable;
    const std::string error = readPieces(directory, "a folder", unreadable);
    ::close(directory);
    EXPECT_NE(error.find("cannot read 'a folder'"), std::string::npos) << error;
    EXPECT_TRUE(unreadable.bytes().empty());
}
