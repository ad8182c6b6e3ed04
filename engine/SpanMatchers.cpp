#include "engine/SpanMatchers.h"

#include "engine/BlockScanners.h"
#include "engine/CharacterSets.h"

#include <algorithm>
#include <optional>
#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace quillet::spans {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The part of `s` a search inside `range` may look at.
struct Window {
    std::size_t start = 0;
    std::size_t stop = 0;
    bool valid = false;
};

Window windowOf(std::u16string_view s, Range range) {
    if (range.location > s.size()) return {};
    return {range.location, std::min(range.end(), s.size()), true};
}

void charge(ScanCost* cost, std::size_t units) {
    if (cost) cost->units += units;
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
// rest of the pattern. That last closer does not depend on P, so it is found once per line.
class DelimitedSearch {
public:
    DelimitedSearch(Shape shape, std::u16string_view s, Window w) : shape_(shape), s_(s), w_(w) {}

    Range find() {
        const std::size_t width = shape_.width;
        for (std::size_t at = w_.start; at + 2 * width + 1 <= w_.stop; ++at) {
            ++work_;
            if (!markerAt(at)) continue;
            if (shape_.boundaryBefore && !boundaryBeforeWordChar(s_, at, w_.start)) continue;
            const std::size_t content = at + width;
            if (isWhitespace(s_[content])) continue;
            const std::size_t firstUnits = unitsAt(s_, content, w_.stop);
            std::optional<std::size_t> end;
            if (shape_.longContentFirst) {
                end = longContentEnd(content, firstUnits);
                if (!end) end = singleContentEnd(content + firstUnits);
            } else {
                end = singleContentEnd(content + firstUnits);
                if (!end) end = longContentEnd(content, firstUnits);
            }
            if (end) return Range::fromBounds(at, *end);
        }
        return Range::notFound();
    }

    std::size_t work() const { return work_; }

private:
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
        if (content >= lineEnd_ || lineEnd_ == kNone) {
            lineEnd_ = content;
            while (lineEnd_ < w_.stop && !isNewline(s_[lineEnd_]))
                ++lineEnd_;
            work_ += lineEnd_ - content;
            closer_ = lastCloser(lowest);
        }
        if (closer_ == kNone || closer_ < lowest) return std::nullopt;
        return closer_ + shape_.width + *afterClosing(closer_ + shape_.width);
    }

    // The last closing marker of the current line at or after `lowest`, or kNone.
    std::size_t lastCloser(std::size_t lowest) {
        if (lineEnd_ < shape_.width) return kNone;
        for (std::size_t close = lineEnd_ - shape_.width + 1; close-- > lowest;) {
            ++work_;
            if (!markerAt(close)) continue;
            const char16_t last = s_[close - 1];
            if (isWhitespace(last) || last == u'\\') continue;
            if (afterClosing(close + shape_.width)) return close;
        }
        return kNone;
    }

    Shape shape_;
    std::u16string_view s_;
    Window w_;
    std::size_t lineEnd_ = kNone;
    std::size_t closer_ = kNone;
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
Range lazyUpTo(std::u16string_view s, Range range, char16_t closer, bool through, ScanCost* cost) {
    const Window w = windowOf(s, range);
    if (!w.valid) return Range::notFound();
    std::size_t start = w.start;
    while (start < w.stop) {
        if (isNewline(s[start])) {
            ++start;
            continue;
        }
        std::size_t at = start + 1;
        for (; at < w.stop && !isNewline(s[at]); ++at) {
            if (s[at] == closer) {
                charge(cost, at - w.start + 1);
                return Range::fromBounds(start, through ? at + 1 : at);
            }
        }
        start = at;
    }
    charge(cost, w.stop - w.start);
    return Range::notFound();
}

} // namespace

Range findDelimited(Delimited kind, std::u16string_view s, Range range, ScanCost* cost) {
    const Window w = windowOf(s, range);
    if (!w.valid) return Range::notFound();
    DelimitedSearch search(shapeOf(kind), s, w);
    const Range match = search.find();
    charge(cost, search.work());
    return match;
}

Range linkOpening(std::u16string_view s, Range range, ScanCost* cost) {
    const Window w = windowOf(s, range);
    if (!w.valid || w.start >= w.stop || s[w.start] != u'[') return Range::notFound();
    const std::size_t textStart = w.start + 1;
    std::size_t lineEnd = textStart;
    while (lineEnd < w.stop && !isNewline(s[lineEnd]))
        ++lineEnd;

    LinkClose close(s, w);
    std::optional<NestedLink> labelGroup; // `\[.+\]\[.+\]`
    std::optional<NestedLink> urlGroup;   // `\[.+\]\(.+\)`
    Range match = Range::notFound();
    // The lazy `.*?` takes one more code point each round; at each stop the optional group is
    // tried before the close.
    for (std::size_t x = textStart;; x += unitsAt(s, x, w.stop)) {
        if (x < w.stop && s[x] == u'[') {
            if (!labelGroup) labelGroup = nestedLink(s, textStart, lineEnd, u'[', u']', close);
            if (labelGroup->fitsAt(x)) {
                match = Range::fromBounds(w.start, labelGroup->end);
                break;
            }
            if (!urlGroup) urlGroup = nestedLink(s, textStart, lineEnd, u'(', u')', close);
            if (urlGroup->fitsAt(x)) {
                match = Range::fromBounds(w.start, urlGroup->end);
                break;
            }
        }
        if (const std::size_t end = close.endAt(x)) {
            match = Range::fromBounds(w.start, end);
            break;
        }
        if (x >= lineEnd) break;
    }
    charge(cost, close.work + (lineEnd - w.start));
    return match;
}

Range throughClosingParenthesis(std::u16string_view s, Range range, ScanCost* cost) {
    return lazyUpTo(s, range, u')', true, cost);
}

Range throughClosingBracket(std::u16string_view s, Range range, ScanCost* cost) {
    return lazyUpTo(s, range, u']', true, cost);
}

Range beforeClosingBracket(std::u16string_view s, Range range, ScanCost* cost) {
    return lazyUpTo(s, range, u']', false, cost);
}

Range linkURL(std::u16string_view s, Range range, ScanCost* cost) {
    const Window w = windowOf(s, range);
    if (!w.valid) return Range::notFound();
    std::size_t start = w.start;
    while (start < w.stop && isWhitespace(s[start]))
        ++start;
    if (start == w.stop) {
        charge(cost, start - w.start);
        return Range::notFound();
    }
    for (std::size_t at = start + unitsAt(s, start, w.stop); at < w.stop; ++at) {
        const char16_t c = s[at];
        if (isWhitespace(c) || c == u'"' || c == u')') {
            charge(cost, at - w.start);
            return Range::fromBounds(start, at);
        }
    }
    charge(cost, w.stop - w.start);
    return Range::notFound();
}

} // namespace quillet::spans
