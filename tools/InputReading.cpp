#include "tools/InputReading.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace quillet::convert {

namespace {

std::string systemError(const std::string& name) {
    return "cannot read '" + name + "': " + std::strerror(errno);
}

} // namespace

ReadResult readDescriptor(int fd, const std::string& name) {
    ReadResult result;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0) break;
        if (count < 0) {
            if (errno == EINTR) continue;
            result.error = systemError(name);
            break;
        }
        result.bytes.append(buffer, static_cast<std::size_t>(count));
    }
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
