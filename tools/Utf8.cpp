#include "tools/Utf8.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillet::convert {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::size_t utf8Length(char32_t codePoint) {
    return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
}

char* writeUtf8(char* out, char32_t codePoint) {
    if (codePoint < 0x80) {
        *out++ = static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        *out++ = static_cast<char>(0xC0 | (codePoint >> 6));
        *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (codePoint >> 12));
        *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (codePoint >> 18));
        *out++ = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return out;
}

// The code point of the UTF-16 unit at `at` (a pair read as one, a lone surrogate as U+FFFD)
// and how many units it took.
char32_t codePointAt(std::u16string_view text, std::size_t at, std::size_t& units) {
    const char16_t unit = text[at];
    units = 1;
    if (unit < 0xD800 || unit > 0xDFFF) return unit;
    if (isHighSurrogate(unit) && at + 1 < text.size() && isLowSurrogate(text[at + 1])) {
        units = 2;
        return 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[at + 1]) - 0xDC00);
    }
    return kReplacement;
}

// HTML and notes are mostly ASCII: runs of it are found and copied eight units at a time,
// without encoding.
#if defined(__SSE2__)
// Narrows the ASCII units at the start of `text` into `out` (when not null); returns how many
// there are, or stops short of them only within eight units of the end.
std::size_t narrowAsciiBlocks(const char16_t* text, std::size_t size, char* out) {
    std::size_t at = 0;
    const __m128i high = _mm_set1_epi16(-128), zero = _mm_setzero_si128();
    for (; at + 8 <= size; at += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        if (out) _mm_storel_epi64(reinterpret_cast<__m128i*>(out + at), _mm_packus_epi16(block, block));
        // Two bits per unit, set for the units below 0x80.
        const unsigned ascii = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(block, high), zero)));
        if (ascii != 0xFFFF) return at + std::countr_zero(~ascii) / 2;
    }
    return at;
}
#else
std::size_t narrowAsciiBlocks(const char16_t* text, std::size_t size, char* out) {
    std::size_t at = 0;
    for (std::uint64_t word; at + 4 <= size; at += 4) {
        std::memcpy(&word, text + at, sizeof word);
        if (word & 0xFF80FF80FF80FF80u) break;
        if (!out) continue;
        for (std::size_t k = 0; k < 4; ++k)
            out[at + k] = static_cast<char>(text[at + k]);
    }
    return at;
}
#endif

// The ASCII units from `at` on, narrowed into `out` when it is not null; returns how many.
std::size_t narrowAsciiRun(std::u16string_view text, std::size_t at, char* out) {
    const std::size_t start = at;
    at += narrowAsciiBlocks(text.data() + at, text.size() - at, out);
    if (at < text.size() && text[at] >= 0x80) return at - start;
    for (; at < text.size() && text[at] < 0x80; ++at) {
        if (out) out[at - start] = static_cast<char>(text[at]);
    }
    return at - start;
}

// Encodes `text` at `out`, which has room for three bytes per unit; returns the end. Text
// mixes ASCII with other characters closely (accented words, CJK runs): ASCII is looked for
// eight units at a time after every other character, then copied unit by unit.
char* encodeInto(char* out, std::u16string_view text) {
    const char16_t* at = text.data();
    const char16_t* const end = at + text.size();
    while (at < end) {
        if (*at < 0x80) {
            const std::size_t run = narrowAsciiBlocks(at, std::size_t(end - at), out);
            at += run;
            out += run;
            while (at < end && *at < 0x80)
                *out++ = static_cast<char>(*at++);
            continue;
        }
        std::size_t units = 0;
        out = writeUtf8(out, codePointAt(std::u16string_view(at, std::size_t(end - at)), 0, units));
        at += units;
    }
    return out;
}

} // namespace

std::string describe(const Utf8Error& error) {
    return "invalid UTF-8 at byte " + std::to_string(error.byteOffset) + ": " + error.reason;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    char buffer[4];
    out.append(buffer, writeUtf8(buffer, codePoint));
}

std::string encodeUtf8(std::u16string_view text) {
    std::size_t length = 0;
    for (std::size_t at = 0, units = 0; at < text.size(); at += units) {
        const std::size_t run = narrowAsciiRun(text, at, nullptr);
        length += run;
        at += run;
        if (at == text.size()) break;
        length += utf8Length(codePointAt(text, at, units));
    }
    std::string out(length, '\0');
    char* write = out.data();
    for (std::size_t at = 0, units = 0; at < text.size(); at += units) {
        const std::size_t run = narrowAsciiRun(text, at, write);
        write += run;
        at += run;
        if (at == text.size()) break;
        write = writeUtf8(write, codePointAt(text, at, units));
    }
    return out;
}

// ---- Utf8Writer ----

char* Utf8Writer::room(std::size_t bytes) {
    assert(bytes <= kChunk);
    if (used_ + bytes > kChunk) flush();
    return chunk_ + used_;
}

void Utf8Writer::flush() {
    out_.append(chunk_, used_);
    used_ = 0;
}

char32_t Utf8Writer::takePending(char16_t next, bool& paired) {
    paired = isLowSurrogate(next);
    const char16_t high = pending_;
    pending_ = 0;
    if (!paired) return kReplacement;
    return 0x10000 + ((char32_t(high) - 0xD800) << 10) + (char32_t(next) - 0xDC00);
}

Utf8Writer& Utf8Writer::append(std::u16string_view text) {
    if (text.empty()) return *this;
    if (pending_) {
        bool paired = false;
        const char32_t codePoint = takePending(text.front(), paired);
        used_ = std::size_t(writeUtf8(room(4), codePoint) - chunk_);
        if (paired) text.remove_prefix(1);
    }
    // A high surrogate at the end may be completed by the next piece.
    if (!text.empty() && isHighSurrogate(text.back())) {
        pending_ = text.back();
        text.remove_suffix(1);
    }
    // Each unit takes at most three bytes (a pair takes four for two units): a chunk's worth of
    // units at a time always fits in an empty chunk.
    constexpr std::size_t kUnitsPerChunk = kChunk / 3 - 2;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = std::min(text.size(), start + kUnitsPerChunk);
        // Never split a pair between two rounds.
        if (end < text.size() && isHighSurrogate(text[end - 1])) ++end;
        const std::u16string_view part = text.substr(start, end - start);
        used_ = std::size_t(encodeInto(room(3 * part.size()), part) - chunk_);
        start = end;
    }
    return *this;
}

void Utf8Writer::finish() {
    if (pending_) {
        pending_ = 0;
        used_ = std::size_t(writeUtf8(room(4), kReplacement) - chunk_);
    }
    flush();
}

} // namespace quillet::convert
