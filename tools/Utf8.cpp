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

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}
bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The shape a lead byte announces: how many continuation bytes follow, the payload bits of the
// lead byte and the smallest code point that may use this length (anything below is overlong).
struct LeadByte {
    int continuations = 0;
    char32_t bits = 0;
    char32_t minimum = 0;
};

std::optional<LeadByte> readLeadByte(unsigned char byte) {
    if (byte >= 0xC2 && byte <= 0xDF) return LeadByte{1, char32_t(byte & 0x1F), 0x80};
    if (byte >= 0xE0 && byte <= 0xEF) return LeadByte{2, char32_t(byte & 0x0F), 0x800};
    if (byte >= 0xF0 && byte <= 0xF4) return LeadByte{3, char32_t(byte & 0x07), 0x10000};
    return std::nullopt;
}

const char* leadByteProblem(unsigned char byte) {
    if (isContinuation(byte)) return "unexpected continuation byte";
    if (byte == 0xC0 || byte == 0xC1) return "overlong encoding";
    return "invalid lead byte";
}

// One multi-byte sequence starting at `at`: its code point, or why it is not valid.
struct Sequence {
    char32_t codePoint = 0;
    std::size_t length = 0;
    const char* problem = nullptr;
};

Sequence readSequence(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const auto shape = readLeadByte(lead);
    if (!shape) return {0, 0, leadByteProblem(lead)};
    char32_t codePoint = shape->bits;
    for (int k = 1; k <= shape->continuations; ++k) {
        if (at + k >= bytes.size()) return {0, 0, "truncated sequence"};
        const auto next = static_cast<unsigned char>(bytes[at + k]);
        if (!isContinuation(next)) return {0, 0, "truncated sequence"};
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < shape->minimum) return {0, 0, "overlong encoding"};
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return {0, 0, "encoded surrogate"};
    if (codePoint > 0x10FFFF) return {0, 0, "code point beyond U+10FFFF"};
    return {codePoint, std::size_t(1 + shape->continuations), nullptr};
}

char16_t* writeUtf16(char16_t* out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        *out++ = static_cast<char16_t>(codePoint);
        return out;
    }
    codePoint -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (codePoint >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    return out;
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

// Notes and HTML are mostly ASCII: runs of it are found and copied sixteen bytes (eight units)
// at a time, without decoding. A block is stored whole even when the run ends inside it: the
// buffer always has room for it (every byte left becomes at least one unit, every unit left at
// least one byte), and what lies past the run is overwritten next.
constexpr std::size_t kBlock = 16;

#if defined(__SSE2__)
// Widens the ASCII bytes at the start of `bytes` into `out`; returns how many there are, or
// stops short of them only within the last block's length of the end.
std::size_t widenAsciiBlocks(const char* bytes, std::size_t size, char16_t* out) {
    std::size_t at = 0;
    const __m128i zero = _mm_setzero_si128();
    for (; at + kBlock <= size; at += kBlock) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), _mm_unpacklo_epi8(block, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at + 8), _mm_unpackhi_epi8(block, zero));
        // The bytes with the high bit set.
        if (const int mask = _mm_movemask_epi8(block)) return at + std::countr_zero(unsigned(mask));
    }
    return at;
}

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
std::size_t widenAsciiBlocks(const char* bytes, std::size_t size, char16_t* out) {
    std::size_t at = 0;
    for (std::uint64_t word; at + sizeof word <= size; at += sizeof word) {
        std::memcpy(&word, bytes + at, sizeof word);
        if (word & 0x8080808080808080u) break;
        for (std::size_t k = 0; k < sizeof word; ++k)
            out[at + k] = static_cast<unsigned char>(bytes[at + k]);
    }
    return at;
}

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

// The ASCII bytes from `at` on, widened into `out`; returns how many.
std::size_t widenAsciiRun(std::string_view bytes, std::size_t at, char16_t* out) {
    const std::size_t start = at;
    at += widenAsciiBlocks(bytes.data() + at, bytes.size() - at, out);
    if (at < bytes.size() && static_cast<unsigned char>(bytes[at]) >= 0x80) return at - start;
    for (; at < bytes.size() && static_cast<unsigned char>(bytes[at]) < 0x80; ++at)
        out[at - start] = static_cast<unsigned char>(bytes[at]);
    return at - start;
}

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

// One pass into a buffer of one unit per byte, which is never too small: a sequence of n
// bytes becomes at most n units (notes may be many megabytes, so nothing is decoded twice).
namespace {

// Decodes `bytes`, which start `offset` bytes into the input, into `begin` (room for as many
// units as there are bytes) up to the first error, which is recorded in `error`. Returns the
// number of units written.
std::size_t decodeInto(std::string_view bytes, std::size_t offset, char16_t* const begin,
                       std::optional<Utf8Error>& error) {
    char16_t* out = begin;
    const auto byteAt = [&bytes](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    for (std::size_t at = 0; at < bytes.size();) {
        const unsigned char lead = byteAt(at);
        if (lead < 0x80) {
            const std::size_t run = widenAsciiRun(bytes, at, out);
            out += run;
            at += run;
            continue;
        }
        // Text that is not ASCII is mostly two- and three-byte sequences, one after another:
        // those are read here when well formed, everything else by the general reader.
        if (lead >= 0xC2 && lead <= 0xDF && at + 1 < bytes.size() && isContinuation(byteAt(at + 1))) {
            *out++ = static_cast<char16_t>(((lead & 0x1F) << 6) | (byteAt(at + 1) & 0x3F));
            at += 2;
            continue;
        }
        if (lead >= 0xE0 && lead <= 0xEF && at + 2 < bytes.size() && isContinuation(byteAt(at + 1)) &&
            isContinuation(byteAt(at + 2))) {
            const char32_t codePoint =
                ((lead & 0x0F) << 12) | ((byteAt(at + 1) & 0x3F) << 6) | (byteAt(at + 2) & 0x3F);
            if (codePoint >= 0x800 && (codePoint < 0xD800 || codePoint > 0xDFFF)) {
                *out++ = static_cast<char16_t>(codePoint);
                at += 3;
                continue;
            }
        }
        const Sequence sequence = readSequence(bytes, at);
        if (sequence.problem) {
            error = Utf8Error{offset + at, sequence.problem};
            break;
        }
        out = writeUtf16(out, sequence.codePoint);
        at += sequence.length;
    }
    return static_cast<std::size_t>(out - begin);
}

// The bytes a sequence with this first byte takes; 1 for a byte that cannot start one.
std::size_t sequenceLength(unsigned char lead) {
    const auto shape = readLeadByte(lead);
    return shape ? std::size_t(1 + shape->continuations) : 1;
}

// Where `bytes` would be cut so that a sequence they end in the middle of is left out.
std::size_t endOfWholeSequences(std::string_view bytes) {
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, size); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if (isContinuation(byte)) continue;
        return sequenceLength(byte) > back ? size - back : size;
    }
    return size;
}

} // namespace

Utf8Decoding decodeUtf8(std::string_view bytes) {
    Utf8Decoding result;
    result.text.resize(bytes.size());
    result.text.resize(decodeInto(bytes, 0, result.text.data(), result.error));
    return result;
}

void Utf8PieceDecoder::expect(std::size_t bytes) {
    // A UTF-8 byte never makes more than one UTF-16 unit.
    decoded_.text.reserve(decoded_.text.size() + bytes);
}

bool Utf8PieceDecoder::add(std::string_view piece) {
    if (!decoded_.ok()) return false;
    if (heldCount_ > 0) {
        // The sequence the last piece ended in, completed from this one.
        const std::size_t length = sequenceLength(static_cast<unsigned char>(held_[0]));
        const std::size_t taken = std::min(length - heldCount_, piece.size());
        std::copy_n(piece.data(), taken, held_ + heldCount_);
        heldCount_ += taken;
        piece.remove_prefix(taken);
        if (heldCount_ < length) return true;
        decode(std::string_view(held_, heldCount_));
        heldCount_ = 0;
        if (!decoded_.ok()) return false;
    }
    const std::size_t whole = endOfWholeSequences(piece);
    decode(piece.substr(0, whole));
    heldCount_ = piece.size() - whole;
    std::copy_n(piece.data() + whole, heldCount_, held_);
    return decoded_.ok();
}

Utf8Decoding Utf8PieceDecoder::finish() {
    if (decoded_.ok() && heldCount_ > 0) decode(std::string_view(held_, heldCount_));
    heldCount_ = 0;
    return std::move(decoded_);
}

// Each piece is decoded into a buffer of its own and appended, rather than into the text grown
// first, which would fill the room with zeros only to write over them.
void Utf8PieceDecoder::decode(std::string_view bytes) {
    if (bytes.size() > scratchUnits_) {
        scratch_ = std::make_unique_for_overwrite<char16_t[]>(bytes.size());
        scratchUnits_ = bytes.size();
    }
    decoded_.text.append(scratch_.get(), decodeInto(bytes, decodedBytes_, scratch_.get(), decoded_.error));
    decodedBytes_ += bytes.size();
}

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
