#include "tools/InputReading.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::convert {

namespace {

constexpr std::size_t kChunk = 65536;

std::string systemError(const std::string& name) {
    return "cannot read '" + name + "': " + std::strerror(errno);
}

} // namespace

ReadResult readDescriptor(int fd, const std::string& name) {
    ReadResult result;
    std::string& bytes = result.bytes;
    // Reads go straight into the string: for a regular file its size is known and one read
    // takes all of it; a pipe grows the string as it delivers.
    struct stat status {};
    const bool sized = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0;
    std::size_t filled = 0;
    bytes.resize(sized ? static_cast<std::size_t>(status.st_size) + 1 : kChunk);
    for (;;) {
        if (filled == bytes.size()) bytes.resize(bytes.size() + std::max(bytes.size(), kChunk));
        const ssize_t count = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (count == 0) break;
        if (count < 0) {
            if (errno == EINTR) continue;
            result.error = systemError(name);
            break;
        }
        filled += static_cast<std::size_t>(count);
    }
    bytes.resize(filled);
    return result;
}

ReadResult readFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ReadResult{{}, systemError(path)};
    ReadResult result = readDescriptor(fd, path);
    ::close(fd);
    return result;
}

} // namespace quillet::convert
