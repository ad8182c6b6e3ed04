#pragma once
// Strict UTF-8 decoding and validation, the one set of rules for every byte that becomes text:
// note files, listings, attribute values, the converter's input and arguments. Overlong forms,
// encoded surrogates, code points past U+10FFFF, stray continuation bytes and truncated
// sequences are errors (Unicode's Table 3-7), and the first one stops decoding.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

struct Utf8Error {
    std::size_t byteOffset = 0; // first byte of the offending sequence
    std::string reason;         // "truncated sequence", "overlong encoding", ...
};

struct Utf8Decoding {
    std::u16string text;            // everything decoded before the error, or the whole text
    std::optional<Utf8Error> error; // absent when the bytes were valid UTF-8

    bool ok() const { return !error.has_value(); }
};

Utf8Decoding decodeUtf8(std::string_view bytes);

// The error decodeUtf8 would report, found without decoding; none when the bytes are valid.
std::optional<Utf8Error> firstUtf8Error(std::string_view bytes);

// Decodes UTF-8 handed over in pieces into one text, exactly as decodeUtf8 decodes the pieces
// joined: a sequence split between two pieces waits for its end, and an error gives its offset
// in the whole input. A large input then never exists whole in both encodings.
class Utf8PieceDecoder {
public:
    // Makes room at once for the text of this many bytes.
    void expect(std::size_t bytes);
    // False once an error was found: nothing after it is decoded.
    bool add(std::string_view piece);
    // Everything decoded; a sequence the input ends in the middle of is an error.
    Utf8Decoding finish();

private:
    void decode(std::string_view bytes);

    Utf8Decoding decoded_;
    std::size_t decodedBytes_ = 0; // the offset in the input of the next byte decoded
    char held_[4];                 // the start of a sequence the last piece ended in
    std::size_t heldCount_ = 0;
    std::unique_ptr<char16_t[]> scratch_; // a piece's units before they join the text
    std::size_t scratchUnits_ = 0;
};

} // namespace quillet
