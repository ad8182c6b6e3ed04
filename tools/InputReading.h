#pragma once
// Reading a note's bytes from a file or from standard input, piece by piece as they arrive, with
// the system's reason on failure: a large note is decoded as it is read, never held whole.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet::convert {

// What the bytes are handed to.
class InputPieces {
public:
    virtual ~InputPieces() = default;
    // The size of a regular file, told before its first piece.
    virtual void expect(std::size_t bytes) = 0;
    // The next bytes; false stops the reading.
    virtual bool take(std::string_view piece) = 0;
};

// Reads `fd` to its end (or until `to` refuses a piece) without closing it. Empty on success,
// else the reason: "cannot read 'NAME': ..." with the system's words.
std::string readPieces(int fd, const std::string& name, InputPieces& to);
std::string readFilePieces(const std::string& path, InputPieces& to);

} // namespace quillet::convert
