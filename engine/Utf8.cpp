#include "engine/Utf8.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillet {
namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
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

// Notes are mostly ASCII: runs of it are found (and, when decoding, copied) sixteen bytes at a
// time. A block is stored whole even when the run ends inside it: the buffer always has room for
// it (every byte left becomes at least one unit), and what lies past the run is overwritten next.
// Validation stores nothing, `out` being null.
constexpr std::size_t kBlock = 16;

#if defined(__SSE2__)
// The ASCII bytes at the start of `bytes`, widened into `out` when it is not null; returns how
// many there are, or stops short of them only within the last block's length of the end.
template <bool kStore> std::size_t asciiBlocks(const char* bytes, std::size_t size, char16_t* out) {
    std::size_t at = 0;
    const __m128i zero = _mm_setzero_si128();
    for (; at + kBlock <= size; at += kBlock) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
        if constexpr (kStore) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), _mm_unpacklo_epi8(block, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at + 8), _mm_unpackhi_epi8(block, zero));
        }
        // The bytes with the high bit set.
        if (const int mask = _mm_movemask_epi8(block)) return at + std::countr_zero(unsigned(mask));
    }
    return at;
}
#else
template <bool kStore> std::size_t asciiBlocks(const char* bytes, std::size_t size, char16_t* out) {
    std::size_t at = 0;
    for (std::uint64_t word; at + sizeof word <= size; at += sizeof word) {
        std::memcpy(&word, bytes + at, sizeof word);
        if (word & 0x8080808080808080u) break;
        if constexpr (kStore) {
            for (std::size_t k = 0; k < sizeof word; ++k)
                out[at + k] = static_cast<unsigned char>(bytes[at + k]);
        }
    }
    return at;
}
#endif

// The ASCII bytes from `at` on, widened into `out` when decoding; returns how many.
template <bool kStore> std::size_t asciiRun(std::string_view bytes, std::size_t at, char16_t* out) {
    const std::size_t start = at;
    at += asciiBlocks<kStore>(bytes.data() + at, bytes.size() - at, out);
    if (at < bytes.size() && static_cast<unsigned char>(bytes[at]) >= 0x80) return at - start;
    for (; at < bytes.size() && static_cast<unsigned char>(bytes[at]) < 0x80; ++at) {
        if constexpr (kStore) out[at - start] = static_cast<unsigned char>(bytes[at]);
    }
    return at - start;
}

// Reads `bytes`, which start `offset` bytes into the input, up to the first error, which is
// recorded in `error`. Decoding (kStore) writes the text at `begin`, which has room for as many
// units as there are bytes (a sequence of n bytes never makes more than n units, so nothing is
// decoded twice), and returns the number of units; validation writes nothing.
template <bool kStore>
std::size_t decodeInto(std::string_view bytes, std::size_t offset, char16_t* const begin,
                       std::optional<Utf8Error>& error) {
    char16_t* out = begin;
    const auto byteAt = [&bytes](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    for (std::size_t at = 0; at < bytes.size();) {
        const unsigned char lead = byteAt(at);
        if (lead < 0x80) {
            const std::size_t run = asciiRun<kStore>(bytes, at, out);
            if constexpr (kStore) out += run;
            at += run;
            continue;
        }
        // Text that is not ASCII is mostly two- and three-byte sequences, one after another:
        // those are read here when well formed, everything else by the general reader.
        if (lead >= 0xC2 && lead <= 0xDF && at + 1 < bytes.size() && isContinuation(byteAt(at + 1))) {
            if constexpr (kStore)
                *out++ = static_cast<char16_t>(((lead & 0x1F) << 6) | (byteAt(at + 1) & 0x3F));
            at += 2;
            continue;
        }
        if (lead >= 0xE0 && lead <= 0xEF && at + 2 < bytes.size() && isContinuation(byteAt(at + 1)) &&
            isContinuation(byteAt(at + 2))) {
            const char32_t codePoint =
                ((lead & 0x0F) << 12) | ((byteAt(at + 1) & 0x3F) << 6) | (byteAt(at + 2) & 0x3F);
            if (codePoint >= 0x800 && (codePoint < 0xD800 || codePoint > 0xDFFF)) {
                if constexpr (kStore) *out++ = static_cast<char16_t>(codePoint);
                at += 3;
                continue;
            }
        }
        const Sequence sequence = readSequence(bytes, at);
        if (sequence.problem) {
            error = Utf8Error{offset + at, sequence.problem};
            break;
        }
        if constexpr (kStore) out = writeUtf16(out, sequence.codePoint);
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
    result.text.resize(decodeInto<true>(bytes, 0, result.text.data(), result.error));
    return result;
}

std::optional<Utf8Error> firstUtf8Error(std::string_view bytes) {
    std::optional<Utf8Error> error;
    decodeInto<false>(bytes, 0, nullptr, error);
    return error;
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
    decoded_.text.append(scratch_.get(),
                         decodeInto<true>(bytes, decodedBytes_, scratch_.get(), decoded_.error));
    decodedBytes_ += bytes.size();
}

} // namespace quillet
