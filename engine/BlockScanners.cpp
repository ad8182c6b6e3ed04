#include "engine/BlockScanners.h"

#include "engine/CharacterSets.h"
#include "engine/LineEndScan.h"
#include "engine/ScanWindow.h"

#include <algorithm>
#include <cstdint>
#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace quillet::scan {

namespace {

// The code point at `at` and the code units it takes, a surrogate pair only when both halves
// lie before `stop`.
char32_t codePointAt(std::u16string_view s, std::size_t at, std::size_t stop, std::size_t& units) {
    const char16_t lead = s[at];
    if (U16_IS_LEAD(lead) && at + 1 < stop && U16_IS_TRAIL(s[at + 1])) {
        units = 2;
        return U16_GET_SUPPLEMENTARY(lead, s[at + 1]);
    }
    units = 1;
    return lead;
}

// The end of the run of `\w` code points that starts at `at`.
std::size_t skipWordRun(std::u16string_view s, std::size_t at, std::size_t stop) {
    while (at < stop) {
        std::size_t units = 1;
        if (!isWordCodePoint(codePointAt(s, at, stop, units))) break;
        at += units;
    }
    return at;
}

std::size_t skipBlanks(std::u16string_view s, std::size_t at, std::size_t stop) {
    while (at < stop && isWhitespace(s[at]))
        ++at;
    return at;
}

// `</[A-Za-z]\w*\>` at exactly `at`: the end of the match, or 0 when it does not match there.
std::size_t closingTagEnd(std::u16string_view s, std::size_t at, std::size_t stop) {
    if (at + 3 >= stop || s[at] != u'<' || s[at + 1] != u'/' || !isAsciiLetter(s[at + 2])) return 0;
    const std::size_t close = skipWordRun(s, at + 3, stop);
    return close < stop && s[close] == u'>' ? close + 1 : 0;
}

// Whether `$` matches at `at` in the window: at its end, before a final line terminator
// (not between the CR and LF of a final CR LF), or before a final CR LF.
bool endOfLineAt(std::u16string_view s, std::size_t at, Window w) {
    if (at == w.stop) return true;
    if (at + 1 == w.stop && isNewline(s[at])) return !(s[at] == u'\n' && at > w.start && s[at - 1] == u'\r');
    return at + 2 == w.stop && s[at] == u'\r' && s[at + 1] == u'\n';
}

Range matchFrom(std::size_t start, std::size_t end) {
    return {start, end - start};
}

// The end of a quoted title that opens at `at`, 0 when it does not close; `dead` collects the
// openers known to have no closer anywhere after them.
struct TitleScan {
    bool doubleQuoteDead = false;
    bool singleQuoteDead = false;
    bool curlyDoubleDead = false;
};

std::size_t closerAfter(std::u16string_view s, std::size_t from, std::size_t stop, char16_t closer) {
    for (std::size_t at = from; at < stop; ++at)
        if (s[at] == closer) return at;
    return 0;
}

std::size_t titleEnd(std::u16string_view s, std::size_t at, std::size_t stop, TitleScan& state) {
    auto closeWith = [&](char16_t closer, bool& dead) -> std::size_t {
        if (dead) return 0;
        const std::size_t close = closerAfter(s, at + 1, stop, closer);
        if (close == 0) dead = true;
        return close == 0 ? 0 : close + 1;
    };
    switch (s[at]) {
    case u'"':
        return closeWith(u'"', state.doubleQuoteDead);
    case u'\'':
        return closeWith(u'\'', state.singleQuoteDead);
    case u'\u201C':
        return closeWith(u'\u201D', state.curlyDoubleDead);
    case u'(':
        for (std::size_t next = at + 1; next < stop; ++next) {
            if (s[next] == u')') return next + 1;
            if (s[next] == u'(') return 0;
        }
        return 0;
    case u'\u2018': {
        // `[^‘]*’` is greedy: the title runs to the last ’ before the next ‘.
        std::size_t lastCloser = 0;
        for (std::size_t next = at + 1; next < stop && s[next] != u'\u2018'; ++next)
            if (s[next] == u'\u2019') lastCloser = next;
        return lastCloser == 0 ? 0 : lastCloser + 1;
    }
    default:
        return 0;
    }
}

} // namespace

bool isWordCodePoint(char32_t c) {
    if (c < 0x80)
        return isAsciiLetter(static_cast<char16_t>(c)) || isAsciiDigit(static_cast<char16_t>(c)) || c == U'_';
    // The set `[\p{Alphabetic}\p{M}\p{Nd}\p{Pc}\u200c\u200d]` read off the character's properties:
    // building it as a UnicodeSet costs millions of steps, once per process.
    const auto point = static_cast<UChar32>(c);
    if (c == 0x200C || c == 0x200D) return true;
    constexpr std::uint32_t kMarksDigitsConnectors = U_GC_M_MASK | U_GC_ND_MASK | U_GC_PC_MASK;
    return (U_GET_GC_MASK(point) & kMarksDigitsConnectors) != 0 || u_isUAlphabetic(point);
}

Range blanksThenNonBlank(std::u16string_view s, Range range) {
    const Window w = windowOf(s, range);
    if (!w.valid) return Range::notFound();
    const std::size_t text = skipBlanks(s, w.start, w.stop);
    if (text == w.start || text == w.stop) return Range::notFound();
    std::size_t units = 1;
    codePointAt(s, text, w.stop, units);
    return matchFrom(w.start, text + units);
}

std::size_t firstNonBlankOf(std::u16string_view s, Range match) {
    const std::size_t last = match.end() - 1;
    if (match.length >= 2 && U16_IS_TRAIL(s[last]) && U16_IS_LEAD(s[last - 1])) return last - 1;
    return last;
}

Range leadingBlanks(std::u16string_view s, Range range) {
    const Window w = windowOf(s, range);
    if (!w.valid) return Range::notFound();
    const std::size_t end = skipBlanks(s, w.start, w.stop);
    return end == w.start ? Range::notFound() : matchFrom(w.start, end);
}

Range openingTagAtStart(std::u16string_view s, Range range) {
    const Window w = windowOf(s, range);
    const std::size_t at = w.start;
    if (!w.valid || at + 2 >= w.stop || s[at] != u'<' || !isAsciiLetter(s[at + 1])) return Range::notFound();
    const std::size_t close = skipWordRun(s, at + 2, w.stop);
    return close < w.stop && s[close] == u'>' ? matchFrom(at, close + 1) : Range::notFound();
}

Range closingTagAtStart(std::u16string_view s, Range range) {
    const Window w = windowOf(s, range);
    if (!w.valid) return Range::notFound();
    const std::size_t end = closingTagEnd(s, w.start, w.stop);
    return end == 0 ? Range::notFound() : matchFrom(w.start, end);
}

Range firstClosingTag(std::u16string_view s, Range range) {
    const Window w = windowOf(s, range);
    if (!w.valid) return Range::notFound();
    for (std::size_t at = w.start; at < w.stop; ++at) {
        if (s[at] != u'<') continue;
        if (const std::size_t end = closingTagEnd(s, at, w.stop)) return matchFrom(at, end);
    }
    return Range::notFound();
}

Range closingHashes(std::u16string_view s, Range range) {
    const Window w = windowOf(s, range);
    if (!w.valid || w.stop == w.start) return Range::notFound();
    // `$` matches only at the end or just before a final terminator, so the hashes must end at
    // one of those few places; at most one of them can follow a '#'.
    for (std::size_t back = 0; back <= 2 && back < w.stop - w.start; ++back) {
        const std::size_t hashesEnd = w.stop - back;
        if (s[hashesEnd - 1] != u'#' || !endOfLineAt(s, hashesEnd, w)) continue;
        std::size_t hashesStart = hashesEnd - 1;
        while (hashesStart > w.start && s[hashesStart - 1] == u'#')
            --hashesStart;
        std::size_t blanksStart = hashesStart;
        while (blanksStart > w.start && isWhitespace(s[blanksStart - 1]))
            --blanksStart;
        if (blanksStart == hashesStart) return Range::notFound();
        return matchFrom(blanksStart, hashesEnd);
    }
    return Range::notFound();
}

Range labelDefinition(std::u16string_view s, Range range) {
    const Window w = windowOf(s, range);
    if (!w.valid) return Range::notFound();
    std::size_t at = w.start;
    while (at < w.stop) {
        const std::size_t open = s.substr(0, w.stop).find(u'[', at);
        if (open == std::u16string_view::npos) return Range::notFound();
        // `.+?` takes at least one character that is no line terminator, then the first "]:".
        if (open + 1 >= w.stop) return Range::notFound();
        if (isNewline(s[open + 1])) {
            at = open + 2;
            continue;
        }
        std::size_t scan = open + 2;
        for (; scan + 1 < w.stop; ++scan) {
            if (s[scan] == u']' && s[scan + 1] == u':') return matchFrom(open, scan + 2);
            if (isNewline(s[scan])) break;
        }
        // No "]:" before the terminator (or the end): no '[' before that point can match either.
        if (scan + 1 >= w.stop) return Range::notFound();
        at = scan + 1;
    }
    return Range::notFound();
}

Range firstNonBlankRun(std::u16string_view s, Range range) {
    const Window w = windowOf(s, range);
    if (!w.valid) return Range::notFound();
    std::size_t start = w.start;
    while (start < w.stop && isWhitespace(s[start]))
        ++start;
    if (start == w.stop) return Range::notFound();
    const std::u16string_view searched = s.substr(0, w.stop);
    std::size_t end = start;
    while (end < w.stop) {
        end = skipToBlankOr<>(searched, end);
        if (end == w.stop || isWhitespace(s[end])) break;
        ++end;
    }
    return matchFrom(start, end);
}

Range quotedTitle(std::u16string_view s, Range range) {
    const Window w = windowOf(s, range);
    if (!w.valid) return Range::notFound();
    TitleScan state;
    const std::u16string_view searched = s.substr(0, w.stop);
    for (std::size_t at = w.start; at < w.stop; ++at) {
        at = skipToAnyOf<u'"', u'\'', u'(', u'\u2018', u'\u201C'>(searched, at);
        if (at == w.stop) break;
        if (const std::size_t end = titleEnd(s, at, w.stop, state)) return matchFrom(at, end);
    }
    return Range::notFound();
}

} // namespace quillet::scan
