#pragma once
// UTF-8 <-> UTF-16 at the converter's boundary. Text positions inside Quillet stay UTF-16; bytes
// only exist on the way in (a note file, an argument) and on the way out (HTML, JSON).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::convert {

struct Utf8Error {
    std::size_t byteOffset = 0; // first byte of the offending sequence
    std::string reason;
};

struct Utf8Decoding {
    std::u16string text;            // everything decoded before the error, or the whole text
    std::optional<Utf8Error> error; // absent when the bytes were valid UTF-8

    bool ok() const { return !error.has_value(); }
};

// Strict decoding: overlong forms, encoded surrogates, code points past U+10FFFF, stray
// continuation bytes and truncated sequences are errors; the first one stops decoding.
Utf8Decoding decodeUtf8(std::string_view bytes);

// "invalid UTF-8 at byte 17: truncated sequence"
std::string describe(const Utf8Error& error);

// Surrogate pairs become one four-byte sequence; a lone surrogate becomes U+FFFD so that the
// output is always valid UTF-8.
std::string encodeUtf8(std::u16string_view text);
void appendUtf8(std::string& out, char32_t codePoint);

} // namespace quillet::convert
