#pragma once
// UTF-8 <-> UTF-16 at the converter's boundary. Text positions inside Quillet stay UTF-16; bytes
// only exist on the way in (a note file, an argument) and on the way out (HTML, JSON).

#include <cstddef>
#include <memory>
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

// "invalid UTF-8 at byte 17: truncated sequence"
std::string describe(const Utf8Error& error);

// Surrogate pairs become one four-byte sequence; a lone surrogate becomes U+FFFD so that the
// output is always valid UTF-8.
std::string encodeUtf8(std::u16string_view text);
void appendUtf8(std::string& out, char32_t codePoint);

// Encodes UTF-16 text handed over in pieces at the end of a byte string, as encodeUtf8 would
// the pieces joined (a pair split between two pieces is still one sequence), so that a long
// text is never held in both encodings. The bytes reach `out` in chunks; finish() writes the
// rest, and nothing may be added after it.
class Utf8Writer {
public:
    explicit Utf8Writer(std::string& out) : out_(out) {}
    Utf8Writer(const Utf8Writer&) = delete;
    Utf8Writer& operator=(const Utf8Writer&) = delete;

    Utf8Writer& operator+=(std::u16string_view text) {
        // Markup and short words: ASCII, copied unit by unit.
        if (text.size() <= kShort && !pending_ && used_ + kShort <= kChunk) {
            char* out = chunk_ + used_;
            std::size_t at = 0;
            while (at < text.size() && text[at] < 0x80) {
                out[at] = static_cast<char>(text[at]);
                ++at;
            }
            if (at == text.size()) {
                used_ += at;
                return *this;
            }
        }
        return append(text);
    }
    Utf8Writer& operator+=(char16_t unit) {
        if (unit < 0x80 && !pending_ && used_ < kChunk) {
            chunk_[used_++] = static_cast<char>(unit);
            return *this;
        }
        return append(std::u16string_view(&unit, 1));
    }
    void finish();

private:
    static constexpr std::size_t kShort = 16;
    Utf8Writer& append(std::u16string_view text);
    // Room for `bytes` more in the chunk, writing the chunk out first when it has too little.
    char* room(std::size_t bytes);
    void flush();
    // The code point of a high surrogate held over from the end of the last piece, if `next`
    // completes it, else U+FFFD; `paired` tells which.
    char32_t takePending(char16_t next, bool& paired);

    static constexpr std::size_t kChunk = 4096;
    std::string& out_;
    std::size_t used_ = 0;
    char16_t pending_ = 0; // a high surrogate that ended the last piece
    char chunk_[kChunk];
};

} // namespace quillet::convert
