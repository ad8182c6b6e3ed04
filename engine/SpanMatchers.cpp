#include "engine/SpanMatchers.h"

#include "engine/BlockScanners.h"
#include "engine/CharacterSets.h"
#include "engine/LineEndScan.h"
#include "engine/ScanWindow.h"

#include <algorithm>
#include <optional>
#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace quillet::spans {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

using scan::Window;
using scan::windowOf;

void charge(LineContext* line, std::size_t units) {
    if (line) line->units += units;
}

// The first line terminator at or after `at`, or `stop`; what the walk finds is kept in `line`.
std::size_t lineEndFrom(std::u16string_view s, std::size_t at, std::size_t stop, LineContext* line) {
    std::size_t end = at;
    const Range known = line ? line->newlineFree : Range{};
    const bool inKnown = line && at >= known.location && at <= known.end();
    if (inKnown) end = std::max(at, known.end());
    const std::size_t walkedFrom = end;
    const std::u16string_view searched = s.substr(0, stop);
    while (end < stop) {
        end = skipToLineEndOr<>(searched, end);
        if (end == stop || isNewline(s[end])) break;
        ++end;
    }
    if (line) {
        line->units += end > walkedFrom ? end - walkedFrom : 0;
        line->newlineFree = Range::fromBounds(inKnown ? known.location : at, std::max(end, walkedFrom));
    }
    return std::min(end, stop);
}

// Code units of the code point at `at`: a surrogate pair only when both halves lie before `stop`.
std::size_t unitsAt(std::u16string_view s, std::size_t at, std::size_t stop) {
    return U16_IS_LEAD(s[at]) && at + 1 < stop && U16_IS_TRAIL(s[at + 1]) ? 2 : 1;
}

char32_t codePointAt(std::u16string_view s, std::size_t at, std::size_t stop) {
    if (unitsAt(s, at, stop) == 2) return U16_GET_SUPPLEMENTARY(s[at], s[at + 1]);
    return s[at];
}

// The code point that ends at `at`, not reaching before `start`.
char32_t codePointBefore(std::u16string_view s, std::size_t at, std::size_t start, std::size_t& units) {
    const char16_t last = s[at - 1];
    if (U16_IS_TRAIL(last) && at - 1 > start && U16_IS_LEAD(s[at - 2])) {
        units = 2;
        return U16_GET_SUPPLEMENTARY(s[at - 2], last);
    }
    units = 1;
    return last;
}

// Characters a word boundary looks through: combining marks and format characters.
bool isExtendOrFormat(char32_t c) {
    if (c < 0x80) return false;
    const auto point = static_cast<UChar32>(c);
    return u_hasBinaryProperty(point, UCHAR_GRAPHEME_EXTEND) || u_charType(point) == U_FORMAT_CHAR;
}

// `\b` in front of a word character at `at`.
bool boundaryBeforeWordChar(std::u16string_view s, std::size_t at, std::size_t start) {
    while (at > start) {
        std::size_t units = 1;
        const char32_t previous = codePointBefore(s, at, start, units);
        at -= units;
        if (!isExtendOrFormat(previous)) return !scan::isWordCodePoint(previous);
    }
    return true;
}

// `\b` after a word character that ends at `at`.
bool boundaryAfterWordChar(std::u16string_view s, std::size_t at, std::size_t stop) {
    if (at >= stop) return true;
    const char32_t next = codePointAt(s, at, stop);
    return !isExtendOrFormat(next) && !scan::isWordCodePoint(next);
}

// ---- Delimited elements ----

enum class After {
    blankOrEnd,   // `(\s|$)`, taking the blank
    wordBoundary, // `\b`
    nothing,
};

struct Shape {
    char16_t marker;
    std::size_t width;
    bool longContentFirst; // the alternatives in the order `([\S].*[^\s\\])|([\S])`
    bool boundaryBefore;   // `\b` before the opening marker
    After after;
};

Shape shapeOf(Delimited kind) {
    switch (kind) {
    case Delimited::strongStar:
        return {u'*', 2, false, false, After::blankOrEnd};
    case Delimited::emStar:
        return {u'*', 1, false, false, After::blankOrEnd};
    case Delimited::strongUnderscore:
        return {u'_', 2, false, true, After::wordBoundary};
    case Delimited::emUnderscore:
        return {u'_', 1, false, true, After::wordBoundary};
    case Delimited::strikethrough:
        return {u'~', 2, false, false, After::blankOrEnd};
    case Delimited::subscript:
        return {u'~', 1, false, false, After::nothing};
    case Delimited::superscript:
        return {u'^', 1, false, false, After::nothing};
    case Delimited::code:
        return {u'`', 1, true, false, After::blankOrEnd};
    }
    return {u'*', 1, false, false, After::nothing};
}

// One search for a delimited pattern. For an opening marker at P whose content starts at C, ICU
// tries the one-code-point content first (or second, for code) and then `[\S].*[^\s\\]`, whose
// greedy `.*` backs off from the end of C's line to the last closing marker that satisfies the
// rest of the pattern. That last closer does not depend on P, so it is found once per line, and
// kept in the memo for later searches.
class DelimitedSearch {
public:
    DelimitedSearch(Shape shape, std::u16string_view s, Window w, DelimitedMemo& memo, LineContext* line)
        : shape_(shape), s_(s), w_(w), memo_(memo), line_(line) {
        if (memo_.text != s.data() || memo_.size != s.size() || memo_.stop != w.stop) {
            memo_ = DelimitedMemo{};
            memo_.text = s.data();
            memo_.size = s.size();
            memo_.stop = w.stop;
        }
    }

    Range find() {
        if (const auto known = knownMatch()) return *known;
        Range match = Range::notFound();
        // Openers may stand before `last`: the shortest match takes 2 * width + 1 units.
        const std::size_t shortest = 2 * shape_.width + 1;
        const std::size_t last = w_.stop >= shortest ? w_.stop - shortest + 1 : 0;
        const std::u16string_view openers = s_.substr(0, std::max(last, w_.start));
        std::size_t at = w_.start;
        for (; at < last; ++at) {
            at = skipToUnit(openers, at, shape_.marker);
            if (at >= last) break;
            if (s_[at] != shape_.marker) continue;
            if (const auto end = matchEndAt(at)) {
                match = Range::fromBounds(at, *end);
                break;
            }
        }
        // One unit of work for each start tried, as a search one unit at a time counts.
        work_ += match.found() ? at - w_.start + 1 : (last > w_.start ? last - w_.start : 0);
        memo_.knowsMatch = true;
        memo_.searchedFrom = w_.start;
        memo_.match = match;
        return match;
    }

    std::size_t work() const { return work_; }

private:
    // The first match from an earlier search that started at or before this one and found its
    // match (or none) at or after this one's start. Success at a place does not depend on where
    // the search started, except through `\b` before the opening marker, which sees nothing before
    // the range: the starts whose look back reaches the new range start (through combining marks
    // and format characters, or to the second half of a surrogate pair split by it) are tried again.
    std::optional<Range> knownMatch() {
        if (!memo_.knowsMatch || memo_.searchedFrom > w_.start) return std::nullopt;
        const Range known = memo_.match;
        if (known.found() && known.location < w_.start) return std::nullopt;
        if (shape_.boundaryBefore) {
            const std::size_t limit = known.found() ? known.location : w_.stop;
            for (std::size_t at = w_.start; at < limit;) {
                ++work_;
                if (const auto end = matchEndAt(at)) return Range::fromBounds(at, *end);
                const bool splitPair = at == w_.start && U16_IS_TRAIL(s_[at]);
                if (!splitPair && !isExtendOrFormat(codePointAt(s_, at, w_.stop))) break;
                at += unitsAt(s_, at, w_.stop);
            }
        }
        return known;
    }

    // The end of the match that starts at `at`, if one does.
    std::optional<std::size_t> matchEndAt(std::size_t at) {
        const std::size_t width = shape_.width;
        if (at + 2 * width + 1 > w_.stop || !markerAt(at)) return std::nullopt;
        if (shape_.boundaryBefore && !boundaryBeforeWordChar(s_, at, w_.start)) return std::nullopt;
        const std::size_t content = at + width;
        if (isWhitespace(s_[content])) return std::nullopt;
        const std::size_t firstUnits = unitsAt(s_, content, w_.stop);
        if (shape_.longContentFirst) {
            if (const auto end = longContentEnd(content, firstUnits)) return end;
            return singleContentEnd(content + firstUnits);
        }
        if (const auto end = singleContentEnd(content + firstUnits)) return end;
        return longContentEnd(content, firstUnits);
    }

    bool markerAt(std::size_t at) const {
        if (at + shape_.width > w_.stop) return false;
        for (std::size_t k = 0; k < shape_.width; ++k)
            if (s_[at + k] != shape_.marker) return false;
        return true;
    }

    // What follows a closing marker that ends at `at`: the code units it takes, or none.
    std::optional<std::size_t> afterClosing(std::size_t at) const {
        switch (shape_.after) {
        case After::blankOrEnd:
            if (at == w_.stop) return 0;
            if (isWhitespace(s_[at])) return 1;
            return std::nullopt;
        case After::wordBoundary:
            if (boundaryAfterWordChar(s_, at, w_.stop)) return 0;
            return std::nullopt;
        case After::nothing:
            return 0;
        }
        return std::nullopt;
    }

    // `([\S])` then the closing marker at `close`.
    std::optional<std::size_t> singleContentEnd(std::size_t close) const {
        if (!markerAt(close)) return std::nullopt;
        const auto after = afterClosing(close + shape_.width);
        if (!after) return std::nullopt;
        return close + shape_.width + *after;
    }

    // `([\S].*[^\s\\])` then the closing marker: the content holds at least two code points and
    // stays on the line of its first character.
    std::optional<std::size_t> longContentEnd(std::size_t content, std::size_t firstUnits) {
        const std::size_t lowest = content + firstUnits + 1;
        const bool sameLine = memo_.knowsCloser && content >= memo_.lineFrom && content < memo_.lineEnd;
        if (!sameLine || lowest < memo_.closerFloor) {
            const std::size_t lineEnd = sameLine ? memo_.lineEnd : lineEndFrom(s_, content, w_.stop, line_);
            memo_.knowsCloser = true;
            memo_.lineFrom = content;
            memo_.lineEnd = lineEnd;
            memo_.closerFloor = lowest;
            memo_.closer = lastCloser(lineEnd, lowest);
        }
        const std::size_t closer = memo_.closer;
        if (closer == kNone || closer < lowest) return std::nullopt;
        return closer + shape_.width + *afterClosing(closer + shape_.width);
    }

    // The last closing marker that ends before `lineEnd` and starts at or after `lowest`, or kNone.
    std::size_t lastCloser(std::size_t lineEnd, std::size_t lowest) {
        if (lineEnd < shape_.width) return kNone;
        const std::size_t top = lineEnd - shape_.width + 1;
        for (std::size_t close = top; close > lowest;) {
            close = skipBackOver(s_, lowest, close, shape_.marker);
            if (close-- == lowest) break;
            if (s_[close] != shape_.marker || !markerAt(close)) continue;
            const char16_t last = s_[close - 1];
            if (isWhitespace(last) || last == u'\\') continue;
            if (afterClosing(close + shape_.width)) {
                work_ += top - close;
                return close;
            }
        }
        work_ += top > lowest ? top - lowest : 0;
        return kNone;
    }

    Shape shape_;
    std::u16string_view s_;
    Window w_;
    DelimitedMemo& memo_;
    LineContext* line_;
    std::size_t work_ = 0;
};

// ---- Links ----

// `\s*\](\(|\[)` matched from `at`, with a memo for runs of blanks that several starts share.
class LinkClose {
public:
    LinkClose(std::u16string_view s, Window w) : s_(s), w_(w) {}

    // The end of the match at `at`, or 0.
    std::size_t endAt(std::size_t at) {
        const std::size_t bracket = skipBlanks(at);
        if (bracket + 1 >= w_.stop || s_[bracket] != u']') return 0;
        const char16_t next = s_[bracket + 1];
        return next == u'(' || next == u'[' ? bracket + 2 : 0;
    }

    std::size_t work = 0;

private:
    std::size_t skipBlanks(std::size_t at) {
        if (at >= skipFrom_ && at <= skipTo_) return skipTo_;
        std::size_t end = at;
        while (end < w_.stop && isWhitespace(s_[end]))
            ++end;
        work += end - at + 1;
        skipFrom_ = at;
        skipTo_ = end;
        return end;
    }

    std::u16string_view s_;
    Window w_;
    std::size_t skipFrom_ = kNone;
    std::size_t skipTo_ = 0;
};

// The optional group `(\[.+\]M.+C)` of the link pattern (M, C being "[", "]" or "(", ")") followed
// by the rest of the pattern, tried at a '[' inside the link text. Greedy `.+` makes the group end
// at the last C of the first line that the close `\s*\](\(|\[)` follows, whatever '[' it starts at;
// it fits a start x when a "]M" lies between x + 2 and three characters before that C.
struct NestedLink {
    std::size_t end = 0;        // the end of the whole match, 0 when the group never fits
    std::size_t lastMiddle = 0; // the last "]M" that leaves room before C

    bool fitsAt(std::size_t x) const { return end != 0 && lastMiddle >= x + 2; }
};

NestedLink nestedLink(std::u16string_view s, std::size_t textStart, std::size_t lineEnd, char16_t middle,
                      char16_t closer, LinkClose& close) {
    NestedLink nested;
    std::size_t closerAt = lineEnd;
    while (closerAt-- > textStart) {
        ++close.work;
        if (s[closerAt] != closer) continue;
        if (const std::size_t end = close.endAt(closerAt + 1)) {
            nested.end = end;
            break;
        }
    }
    if (nested.end == 0 || closerAt < textStart + 3) return {};
    for (std::size_t at = closerAt - 3 + 1; at-- > textStart;) {
        ++close.work;
        if (s[at] == u']' && s[at + 1] == middle) {
            nested.lastMiddle = at;
            return nested;
        }
    }
    return {};
}

// `.+?C` (through) or `.+?(?=C)` (before): the first start with a C after at least one character
// on the same line. A start that fails makes every later start of its line fail too.
template <char16_t Closer>
Range lazyUpTo(std::u16string_view s, Range range, bool through, LineContext* line) {
    const Window w = windowOf(s, range);
    if (!w.valid) return Range::notFound();
    const std::u16string_view searched = s.substr(0, w.stop);
    std::size_t start = w.start;
    while (start < w.stop) {
        if (isNewline(s[start])) {
            ++start;
            continue;
        }
        std::size_t at = start + 1;
        for (; at < w.stop; ++at) {
            at = skipToLineEndOr<Closer>(searched, at);
            if (at == w.stop || isNewline(s[at])) break;
            if (s[at] == Closer) {
                charge(line, at - w.start + 1);
                return Range::fromBounds(start, through ? at + 1 : at);
            }
        }
        start = at;
    }
    charge(line, w.stop - w.start);
    return Range::notFound();
}

} // namespace

Range findDelimited(Delimited kind, std::u16string_view s, Range range, LineContext* line,
                    DelimitedMemo* memo) {
    const Window w = windowOf(s, range);
    if (!w.valid) return Range::notFound();
    DelimitedMemo local;
    DelimitedSearch search(shapeOf(kind), s, w, memo ? *memo : local, line);
    const Range match = search.find();
    charge(line, search.work());
    return match;
}

Range linkOpening(std::u16string_view s, Range range, LineContext* line) {
    const Window w = windowOf(s, range);
    if (!w.valid || w.start >= w.stop || s[w.start] != u'[') return Range::notFound();
    const std::size_t textStart = w.start + 1;
    LinkClose close(s, w);
    // The end of the first line, needed only when the text holds a '['.
    std::size_t lineEnd = 0;
    const auto firstLineEnd = [&] {
        if (lineEnd == 0) lineEnd = lineEndFrom(s, textStart, w.stop, line);
        return lineEnd;
    };

    std::optional<NestedLink> labelGroup; // `\[.+\]\[.+\]`
    std::optional<NestedLink> urlGroup;   // `\[.+\]\(.+\)`
    Range match = Range::notFound();
    // The lazy `.*?` takes one more code point each round, but not a line terminator; at each stop
    // the optional group is tried before the close.
    const std::u16string_view searched = s.substr(0, w.stop);
    for (std::size_t x = textStart;; x += unitsAt(s, x, w.stop)) {
        // Only a '[' can open the group, and only a blank or ']' can begin the close. The units
        // passed over are no surrogates, so each is one round of the lazy `.*?`.
        const std::size_t next = skipToBlankOr<u'[', u']'>(searched, x);
        close.work += next - x + 1;
        x = next;
        if (x < w.stop && s[x] != u'[' && s[x] != u']' && !isWhitespace(s[x])) continue;
        if (x < w.stop && s[x] == u'[') {
            if (!labelGroup) labelGroup = nestedLink(s, textStart, firstLineEnd(), u'[', u']', close);
            if (labelGroup->fitsAt(x)) {
                match = Range::fromBounds(w.start, labelGroup->end);
                break;
            }
            if (!urlGroup) urlGroup = nestedLink(s, textStart, firstLineEnd(), u'(', u')', close);
            if (urlGroup->fitsAt(x)) {
                match = Range::fromBounds(w.start, urlGroup->end);
                break;
            }
        }
        if (const std::size_t end = close.endAt(x)) {
            match = Range::fromBounds(w.start, end);
            break;
        }
        if (x >= w.stop || isNewline(s[x])) break;
    }
    charge(line, close.work);
    return match;
}

Range throughClosingParenthesis(std::u16string_view s, Range range, LineContext* line) {
    return lazyUpTo<u')'>(s, range, true, line);
}

Range throughClosingBracket(std::u16string_view s, Range range, LineContext* line) {
    return lazyUpTo<u']'>(s, range, true, line);
}

Range beforeClosingBracket(std::u16string_view s, Range range, LineContext* line) {
    return lazyUpTo<u']'>(s, range, false, line);
}

Range linkURL(std::u16string_view s, Range range, LineContext* line) {
    const Window w = windowOf(s, range);
    if (!w.valid) return Range::notFound();
    std::size_t start = w.start;
    while (start < w.stop && isWhitespace(s[start]))
        ++start;
    if (start == w.stop) {
        charge(line, start - w.start);
        return Range::notFound();
    }
    const std::u16string_view searched = s.substr(0, w.stop);
    for (std::size_t at = start + unitsAt(s, start, w.stop); at < w.stop; ++at) {
        at = skipToBlankOr<u'"', u')'>(searched, at);
        if (at == w.stop) break;
        const char16_t c = s[at];
        if (isWhitespace(c) || c == u'"' || c == u')') {
            charge(line, at - w.start);
            return Range::fromBounds(start, at);
        }
    }
    charge(line, w.stop - w.start);
    return Range::notFound();
}

} // namespace quillet::spans
