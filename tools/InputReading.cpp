#include "tools/InputReading.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::convert {

namespace {

// Large enough that reading costs few calls, small enough that each piece is decoded while it is
// still in the cache.
constexpr std::size_t kPieceBytes = 128 * 1024;

std::string systemError(const std::string& name) {
    return "cannot read '" + name + "': " + std::strerror(errno);
}

} // namespace

std::string readPieces(int fd, const std::string& name, InputPieces& to) {
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0)
        to.expect(static_cast<std::size_t>(status.st_size));
    const auto buffer = std::make_unique_for_overwrite<char[]>(kPieceBytes);
    for (;;) {
        const ssize_t count = ::read(fd, buffer.get(), kPieceBytes);
        if (count == 0) return {};
        if (count < 0) {
            if (errno == EINTR) continue;
            return systemError(name);
        }
        if (!to.take(std::string_view(buffer.get(), static_cast<std::size_t>(count)))) return {};
    }
}

std::string readFilePieces(const std::string& path, InputPieces& to) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return systemError(path);
    std::string error = readPieces(fd, path, to);
    ::close(fd);
    return error;
}

} // namespace quillet::convert
