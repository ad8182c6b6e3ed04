#pragma once
// Reading a note's bytes from a file or from standard input, with the system's reason on failure.

#include <string>

namespace quillet::convert {

struct ReadResult {
    std::string bytes;
    std::string error; // empty on success

    bool ok() const { return error.empty(); }
};

ReadResult readFile(const std::string& path);
// Reads `fd` to its end without closing it.
ReadResult readDescriptor(int fd, const std::string& name);

} // namespace quillet::convert
