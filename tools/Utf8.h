#pragma once
// UTF-8 <-> UTF-16 at the converter's boundary. Text positions inside Quillet stay UTF-16; bytes
// only exist on the way in (a note file, an argument), decoded by the engine's strict decoder,
// and on the way out (HTML, JSON), encoded here.

#include "engine/Utf8.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet::convert {

// Decoding is the engine's (engine/Utf8.h), under the converter's names.
using quillet::decodeUtf8;
using quillet::Utf8Decoding;
using quillet::Utf8Error;
using quillet::Utf8PieceDecoder;

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
