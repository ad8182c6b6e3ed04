// The search's scans. A match can start only at units whose folding begins with the search
// string's first folded unit: in most searches one ASCII letter in its two cases, sometimes a
// few more units. SSE2 tests eight units per step for those (or, when there are many, for the
// ASCII ones and everything above U+007F, which is then looked up in the finder's table). Line
// breaks are looked for only around occurrences.

#include "documents/OutlineLines.h"
#include "documents/SearchCaseFolding.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace quillet {

#if defined(__SSE2__)
namespace {

// Two mask bits per UTF-16 lane; lanes are numbered from the lowest bits.
template <typename Mask> std::size_t lowestLane(Mask mask) {
    return static_cast<std::size_t>(__builtin_ctzll(mask)) / 2;
}
std::size_t highestLane(unsigned mask) {
    return static_cast<std::size_t>(31 - __builtin_clz(mask)) / 2;
}
template <typename Mask> Mask withoutLowestLane(Mask mask) {
    mask &= mask - 1;
    return mask & (mask - 1);
}

class Block {
public:
    explicit Block(const char16_t* at) : units_(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at))) {}
    __m128i equals(char16_t unit) const { return _mm_cmpeq_epi16(units_, splat(unit)); }
    // Lanes equal to `letter` (a small ASCII letter, splatted) or to its capital.
    __m128i equalsIgnoringCaseBit(__m128i letter) const {
        return _mm_cmpeq_epi16(_mm_or_si128(units_, splat(0x20)), letter);
    }
    __m128i aboveAscii() const {
        const __m128i ascii = _mm_cmpeq_epi16(_mm_subs_epu16(units_, splat(0x7F)), _mm_setzero_si128());
        return _mm_andnot_si128(ascii, _mm_set1_epi16(-1));
    }
    // LF, CR, NEL, LINE SEPARATOR and PARAGRAPH SEPARATOR, exactly.
    unsigned lineBreaks() const {
        const __m128i separators = _mm_cmpeq_epi16(_mm_and_si128(units_, splat(0xFFFE)), splat(0x2028));
        return mask(
            _mm_or_si128(_mm_or_si128(equals(u'\n'), equals(u'\r')), _mm_or_si128(equals(0x85), separators)));
    }
    static unsigned mask(__m128i lanes) { return static_cast<unsigned>(_mm_movemask_epi8(lanes)); }

private:
    static __m128i splat(char16_t unit) { return _mm_set1_epi16(static_cast<short>(unit)); }
    __m128i units_;
};

// The lanes of a block where a match may start, one shape per kind of plan. The plan's unused
// slots repeat its first unit, so testing all of them is harmless.
struct LetterPair {
    __m128i letter;
    explicit LetterPair(const SearchScanPlan& plan) : letter(_mm_set1_epi16(short(plan.units[0] | 0x20))) {}
    __m128i operator()(const Block& block) const { return block.equalsIgnoringCaseBit(letter); }
};
struct LetterPairAndTwo {
    LetterPair pair;
    char16_t third, fourth;
    explicit LetterPairAndTwo(const SearchScanPlan& plan)
        : pair(plan), third(plan.units[2]), fourth(plan.units[3]) {}
    __m128i operator()(const Block& block) const {
        return _mm_or_si128(pair(block), _mm_or_si128(block.equals(third), block.equals(fourth)));
    }
};
struct FourUnits {
    char16_t units[4];
    explicit FourUnits(const SearchScanPlan& plan)
        : units{plan.units[0], plan.units[1], plan.units[2], plan.units[3]} {}
    __m128i operator()(const Block& block) const {
        return _mm_or_si128(_mm_or_si128(block.equals(units[0]), block.equals(units[1])),
                            _mm_or_si128(block.equals(units[2]), block.equals(units[3])));
    }
};
struct AsciiThenAbove {
    char16_t first, second;
    explicit AsciiThenAbove(const SearchScanPlan& plan) : first(plan.units[0]), second(plan.units[1]) {}
    __m128i operator()(const Block& block) const {
        return _mm_or_si128(_mm_or_si128(block.equals(first), block.equals(second)), block.aboveAscii());
    }
};

// Thirty-two units per step; every lane found is checked against the table of start units.
template <typename Test>
std::size_t scanBlocks(const Test& test, const std::uint8_t* startUnits, const char16_t* units,
                       std::size_t& position, std::size_t size) {
    for (; position + 32 <= size; position += 32) {
        std::uint64_t lanes = std::uint64_t(Block::mask(test(Block(units + position)))) |
                              std::uint64_t(Block::mask(test(Block(units + position + 8)))) << 16 |
                              std::uint64_t(Block::mask(test(Block(units + position + 16)))) << 32 |
                              std::uint64_t(Block::mask(test(Block(units + position + 24)))) << 48;
        for (; lanes != 0; lanes = withoutLowestLane(lanes)) {
            const std::size_t at = position + lowestLane(lanes);
            if (startUnits[units[at]]) return at;
        }
    }
    return size;
}

#if defined(__x86_64__)
// The common case, one ASCII letter in its two cases, sixteen units per test where AVX2 is there.
__attribute__((target("avx2"))) inline std::uint64_t letterLanesWide(const char16_t* at, __m256i letter) {
    const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    const __m256i folded = _mm256_or_si256(block, _mm256_set1_epi16(0x20));
    return std::uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi16(folded, letter)));
}

__attribute__((target("avx2"))) std::size_t scanLetterPairWide(char16_t letter,
                                                               const std::uint8_t* startUnits,
                                                               const char16_t* units, std::size_t& position,
                                                               std::size_t size) {
    const __m256i wanted = _mm256_set1_epi16(static_cast<short>(letter | 0x20));
    const __m256i caseBit = _mm256_set1_epi16(0x20);
    // Sixty-four units per step are only tested for any candidate; most steps hold none.
    for (; position + 64 <= size; position += 64) {
        const auto* at = reinterpret_cast<const __m256i*>(units + position);
        const __m256i any = _mm256_or_si256(
            _mm256_or_si256(_mm256_cmpeq_epi16(_mm256_or_si256(_mm256_loadu_si256(at), caseBit), wanted),
                            _mm256_cmpeq_epi16(_mm256_or_si256(_mm256_loadu_si256(at + 1), caseBit), wanted)),
            _mm256_or_si256(
                _mm256_cmpeq_epi16(_mm256_or_si256(_mm256_loadu_si256(at + 2), caseBit), wanted),
                _mm256_cmpeq_epi16(_mm256_or_si256(_mm256_loadu_si256(at + 3), caseBit), wanted)));
        if (_mm256_testz_si256(any, any)) continue;
        for (std::size_t half = 0; half < 64; half += 32) {
            std::uint64_t lanes = letterLanesWide(units + position + half, wanted) |
                                  letterLanesWide(units + position + half + 16, wanted) << 32;
            for (; lanes != 0; lanes = withoutLowestLane(lanes)) {
                const std::size_t found = position + half + lowestLane(lanes);
                if (startUnits[units[found]]) {
                    position += half;
                    return found;
                }
            }
        }
    }
    for (; position + 32 <= size; position += 32) {
        std::uint64_t lanes =
            letterLanesWide(units + position, wanted) | letterLanesWide(units + position + 16, wanted) << 32;
        for (; lanes != 0; lanes = withoutLowestLane(lanes)) {
            const std::size_t at = position + lowestLane(lanes);
            if (startUnits[units[at]]) return at;
        }
    }
    return size;
}

bool hasWideVectors() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}
#endif

// Line breaks sixteen units at a time, as Block::lineBreaks.
__attribute__((target("avx2"))) inline unsigned lineBreakLanesWide(const char16_t* at) {
    const __m256i units = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    const __m256i lineFeeds = _mm256_cmpeq_epi16(units, _mm256_set1_epi16(u'\n'));
    const __m256i returns = _mm256_cmpeq_epi16(units, _mm256_set1_epi16(u'\r'));
    const __m256i nextLines = _mm256_cmpeq_epi16(units, _mm256_set1_epi16(0x85));
    const __m256i separators = _mm256_cmpeq_epi16(_mm256_and_si256(units, _mm256_set1_epi16(short(0xFFFE))),
                                                  _mm256_set1_epi16(0x2028));
    return unsigned(_mm256_movemask_epi8(
        _mm256_or_si256(_mm256_or_si256(lineFeeds, returns), _mm256_or_si256(nextLines, separators))));
}

// Line breaks among thirty-two units, as lineBreakLanesWide.
__attribute__((target("avx2"))) inline std::uint64_t lineBreakLanes32(const char16_t* at) {
    return lineBreakLanesWide(at) | std::uint64_t(lineBreakLanesWide(at + 16)) << 32;
}

// The first line break at or after `position`, or `size` when there is none.
__attribute__((target("avx2"))) inline std::size_t lineEndFromWide(const char16_t* units,
                                                                   std::size_t position, std::size_t size) {
    for (; position + 32 <= size; position += 32)
        if (const std::uint64_t lanes = lineBreakLanes32(units + position))
            return position + lowestLane(lanes);
    while (position < size && !isLineBreak(units[position]))
        ++position;
    return position;
}

// Just after the last line break before `position`, looking back no further than `floor`.
__attribute__((target("avx2"))) inline std::size_t
lineStartFromWide(const char16_t* units, std::size_t position, std::size_t floor) {
    for (; position >= floor + 32; position -= 32)
        if (const std::uint64_t lanes = lineBreakLanes32(units + position - 32))
            return position - 32 + static_cast<std::size_t>(63 - __builtin_clzll(lanes)) / 2 + 1;
    while (position > floor && !isLineBreak(units[position - 1]))
        --position;
    return position;
}

// The line around the occurrence [position, end), as CaseInsensitiveFinder::lineAround.
__attribute__((target("avx2"))) Range lineAroundWide(const char16_t* units, std::size_t position,
                                                     std::size_t end, std::size_t size) {
    return Range::fromBounds(lineStartFromWide(units, position, 0), lineEndFromWide(units, end, size));
}
} // namespace
#endif

Range CaseInsensitiveFinder::lineAround(const char16_t* units, std::size_t position, std::size_t end,
                                        std::size_t size) {
#if defined(__x86_64__)
    if (hasWideVectors()) return lineAroundWide(units, position, end, size);
#endif
    return Range::fromBounds(lineStartBefore(units, position, 0), nextLineBreak(units, end, size));
}

std::size_t CaseInsensitiveFinder::nextCandidate(const char16_t* units, std::size_t position,
                                                 std::size_t size) const {
    const std::uint8_t* startUnits = startUnits_.data();
#if defined(__SSE2__)
    std::size_t found = size;
    switch (plan_.kind) {
    case SearchScanPlan::Kind::exact:
        if (plan_.letterPair && plan_.count == 2) {
#if defined(__x86_64__)
            if (hasWideVectors()) {
                found = scanLetterPairWide(plan_.units[0], startUnits, units, position, size);
                break;
            }
#endif
            found = scanBlocks(LetterPair(plan_), startUnits, units, position, size);
        } else if (plan_.letterPair)
            found = scanBlocks(LetterPairAndTwo(plan_), startUnits, units, position, size);
        else
            found = scanBlocks(FourUnits(plan_), startUnits, units, position, size);
        break;
    case SearchScanPlan::Kind::asciiFirst:
        found = scanBlocks(AsciiThenAbove(plan_), startUnits, units, position, size);
        break;
    case SearchScanPlan::Kind::unitByUnit:
        break;
    }
    if (found < size) return found;
#endif
    while (position < size && !startUnits[units[position]])
        ++position;
    return position;
}

std::size_t CaseInsensitiveFinder::asciiMatchAt(const char16_t* units, std::size_t position,
                                                std::size_t size) const {
#if defined(__SSE2__)
    const std::size_t length = static_cast<std::size_t>(folded_.size());
    if (position > size || size - position < paddedNeedle_.size()) return kUndecided;
    const __m128i capitalA = _mm_set1_epi16(u'A');
    const __m128i lettersAfterA = _mm_set1_epi16(25);
    const __m128i caseBit = _mm_set1_epi16(0x20);
    for (std::size_t offset = 0; offset < length; offset += 8) {
        const __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + position + offset));
        // Capitals get their case bit, as ASCII folds; every other unit stays as it is.
        const __m128i capitals = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(text, capitalA), lettersAfterA),
                                                 _mm_setzero_si128());
        const __m128i folded = _mm_add_epi16(text, _mm_and_si128(capitals, caseBit));
        const __m128i wanted =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(paddedNeedle_.data() + offset));
        const unsigned compared = length - offset >= 8 ? 0xFFFFu : (1u << (2 * (length - offset))) - 1;
        if (const unsigned differing = ~Block::mask(_mm_cmpeq_epi16(folded, wanted)) & compared) {
            // An ASCII unit folds to itself alone, so it cannot match; another may fold to ASCII.
            return units[position + offset + lowestLane(differing)] < 0x80 ? 0 : kUndecided;
        }
    }
    return length;
#else
    (void)units;
    (void)position;
    (void)size;
    return kUndecided;
#endif
}

std::size_t CaseInsensitiveFinder::nextLineBreak(const char16_t* units, std::size_t position,
                                                 std::size_t size) {
#if defined(__SSE2__)
#if defined(__x86_64__)
    if (hasWideVectors()) return lineEndFromWide(units, position, size);
#endif
    for (; position + 8 <= size; position += 8)
        if (const unsigned lanes = Block(units + position).lineBreaks()) return position + lowestLane(lanes);
#endif
    while (position < size && !isLineBreak(units[position]))
        ++position;
    return position;
}

std::size_t CaseInsensitiveFinder::lineStartBefore(const char16_t* units, std::size_t position,
                                                   std::size_t floor) {
#if defined(__SSE2__)
#if defined(__x86_64__)
    if (hasWideVectors()) return lineStartFromWide(units, position, floor);
#endif
    for (; position >= floor + 8; position -= 8)
        if (const unsigned lanes = Block(units + position - 8).lineBreaks())
            return position - 8 + highestLane(lanes) + 1;
#endif
    while (position > floor && !isLineBreak(units[position - 1]))
        --position;
    return position;
}

} // namespace quillet
