#pragma once
// Passing over the plain part of a line eight units at a time: notes are long and most of
// their units end nothing and mean nothing to a line scan.

#include <bit>
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillet {

// The first position from `at` on that may end a line or hold one of `Extra`, or a position
// less than eight units from the end (the caller looks at the rest one by one). A unit up to
// CR, NEL, LS and PS is taken as a possible line end; the caller decides exactly.
template <char16_t... Extra> std::size_t skipToLineEndOr(std::u16string_view text, std::size_t at) {
#if defined(__SSE2__)
    const __m128i carriageReturn = _mm_set1_epi16(u'\r'), nextLine = _mm_set1_epi16(0x0085),
                  lineSeparator = _mm_set1_epi16(0x2028), paragraphSeparator = _mm_set1_epi16(0x2029),
                  zero = _mm_setzero_si128();
    for (; at + 8 <= text.size(); at += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        // Up to CR: nothing is left when CR is taken away (saturating at zero).
        __m128i flagged = _mm_cmpeq_epi16(_mm_subs_epu16(block, carriageReturn), zero);
        flagged = _mm_or_si128(flagged, _mm_cmpeq_epi16(block, nextLine));
        flagged = _mm_or_si128(flagged, _mm_or_si128(_mm_cmpeq_epi16(block, lineSeparator),
                                                     _mm_cmpeq_epi16(block, paragraphSeparator)));
        ((flagged = _mm_or_si128(flagged, _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(Extra))))),
         ...);
        if (const int mask = _mm_movemask_epi8(flagged)) return at + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    return at;
}

// The first position from `at` on that may hold a blank (any unit up to the space, or from NEL
// on) or one of `Extra`, or a position less than eight units from the end; the caller decides
// exactly.
template <char16_t... Extra> std::size_t skipToBlankOr(std::u16string_view text, std::size_t at) {
#if defined(__SSE2__)
    const __m128i space = _mm_set1_epi16(u' '), beforeNextLine = _mm_set1_epi16(0x0084),
                  zero = _mm_setzero_si128();
    for (; at + 8 <= text.size(); at += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        __m128i flagged = _mm_or_si128(_mm_cmpeq_epi16(_mm_subs_epu16(block, space), zero),
                                       _mm_cmpeq_epi16(_mm_subs_epu16(beforeNextLine, block), zero));
        ((flagged = _mm_or_si128(flagged, _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(Extra))))),
         ...);
        if (const int mask = _mm_movemask_epi8(flagged)) return at + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    return at;
}

// The first position from `at` on that holds one of `Wanted`, or a position less than eight
// units from the end (the caller looks at the rest one by one).
template <char16_t... Wanted> std::size_t skipToAnyOf(std::u16string_view text, std::size_t at) {
#if defined(__SSE2__)
    for (; at + 8 <= text.size(); at += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        __m128i flagged = _mm_setzero_si128();
        ((flagged =
              _mm_or_si128(flagged, _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(Wanted))))),
         ...);
        if (const int mask = _mm_movemask_epi8(flagged)) return at + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    return at;
}

// The first position from `at` on that holds `wanted`, or a position less than eight units
// from the end.
inline std::size_t skipToUnit(std::u16string_view text, std::size_t at, char16_t wanted) {
#if defined(__SSE2__)
    const __m128i pattern = _mm_set1_epi16(static_cast<short>(wanted));
    for (; at + 8 <= text.size(); at += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, pattern)))
            return at + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    return at;
}

// Walking back from `end` towards `floor`: a position at or after `floor` such that nothing
// from it up to `end` is `wanted`, and that either lies less than eight units past `floor` or
// ends a block of eight that holds `wanted` (the caller looks at that block one by one).
inline std::size_t skipBackOver(std::u16string_view text, std::size_t floor, std::size_t end,
                                char16_t wanted) {
#if defined(__SSE2__)
    const __m128i pattern = _mm_set1_epi16(static_cast<short>(wanted));
    for (; end >= floor + 8; end -= 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + end - 8));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(block, pattern))) return end;
    }
#else
    (void)text, (void)floor, (void)wanted;
#endif
    return end;
}

} // namespace quillet
