// The inline parser: emphasis, strong emphasis, strike-through, superscript, subscript, code,
// links, images and backslash-escaped tags within one range of a line.

#include "engine/BlockScanners.h"
#include "engine/CharacterSets.h"
#include "engine/MarkdownString.h"
#include "engine/RegexSearch.h"
#include "engine/SpanMatchers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillet {

namespace {

// A line may cost this much matcher work (code units looked at) and nest its elements this deep;
// past either limit it is treated as holding no further element, like a line on which a regex
// search reaches its time limit. Ordinary lines stay orders of magnitude below both; the limits
// keep a pathological line of megabytes fast and its nesting off the end of the stack.
constexpr std::size_t kLineWorkLimit = std::size_t{1} << 26;
constexpr int kNestingLimit = 256;

// A title search's result, reused by later title searches of the same range that start no later
// than the title it found: a title does not depend on where the search for it starts.
struct TitleMemo {
    const char16_t* text = nullptr;
    std::size_t size = 0;
    std::size_t stop = 0;
    std::size_t searchedFrom = 0;
    Range title;
};

// What the searches within one range (one nesting level) learn about its text, so that no
// candidate scans the rest of the range again for what an earlier one found. Entering a level
// forgets its memos lazily: a memo filled before the level's latest entry is cleared when it is
// next asked for (a memo that names no text is taken up afresh by the next search).
struct LevelMemos {
    std::array<spans::DelimitedMemo, 8> delimited{};
    std::array<std::uint64_t, 8> delimitedEntry{};
    TitleMemo title;
    std::uint64_t titleEntry = 0;
    std::uint64_t entry = 0; // this level's latest entry

    spans::DelimitedMemo& delimitedMemo(spans::Delimited kind) {
        const auto k = static_cast<std::size_t>(kind);
        if (delimitedEntry[k] != entry) {
            delimited[k].text = nullptr;
            delimitedEntry[k] = entry;
        }
        return delimited[k];
    }
    TitleMemo& titleMemo() {
        if (titleEntry != entry) {
            title.text = nullptr;
            titleEntry = entry;
        }
        return title;
    }
};

// The scan of the line that the outermost findSpanElements call works on.
struct LineScan {
    int depth = 0;
    std::uint64_t entries = 0; // levels entered so far, numbering each entry
    spans::LineContext line;
    bool exhausted = false;
    // The memos of each level, kept from line to line so that entering a level costs no more
    // than forgetting what its memos knew.
    std::vector<LevelMemos> levels;

    LevelMemos& currentLevel() { return levels[static_cast<std::size_t>(depth - 1)]; }

    // What the matchers share about the line; none for a search made outside findSpanElements,
    // whose text may differ from one call to the next.
    spans::LineContext* context() { return depth > 0 ? &line : nullptr; }

    void charge(std::size_t units) {
        if (depth == 0) return;
        line.units += units;
        if (line.units > kLineWorkLimit) exhausted = true;
    }
    // Checks the limit after a matcher has charged its work through context().
    void settle() { charge(0); }
};

thread_local LineScan lineScan;

class NestingScope {
public:
    NestingScope() {
        if (lineScan.depth++ == 0) {
            lineScan.line = {};
            lineScan.exhausted = false;
        } else if (lineScan.depth > kNestingLimit) {
            lineScan.exhausted = true;
        }
        const auto depth = static_cast<std::size_t>(lineScan.depth);
        if (lineScan.levels.size() < depth) lineScan.levels.resize(depth);
        lineScan.currentLevel().entry = ++lineScan.entries;
    }
    ~NestingScope() { --lineScan.depth; }
    NestingScope(const NestingScope&) = delete;
    NestingScope& operator=(const NestingScope&) = delete;
};

// The memo of the current level for a kind of delimited element; none outside findSpanElements.
spans::DelimitedMemo* memoFor(spans::Delimited kind) {
    if (lineScan.depth == 0) return nullptr;
    return &lineScan.currentLevel().delimitedMemo(kind);
}

// `(?=\s*)("[^"]*"|'[^']*'|\([^\(\)]*\)|‘[^‘]*’|“[^”]*”)` from `from` to `stop`.
Range titleAfter(std::u16string_view s, std::size_t from, std::size_t stop) {
    TitleMemo* memo = lineScan.depth > 0 ? &lineScan.currentLevel().titleMemo() : nullptr;
    if (memo && memo->text == s.data() && memo->size == s.size() && memo->stop == stop &&
        memo->searchedFrom <= from && (!memo->title.found() || from <= memo->title.location))
        return memo->title;
    const Range title = scan::quotedTitle(s, Range::fromBounds(from, stop));
    lineScan.charge((title.found() ? title.end() : stop) - from);
    if (memo) *memo = {s.data(), s.size(), stop, from, title};
    return title;
}

enum CharacterRole : unsigned char { plain, trigger, backslash };

constexpr std::array<CharacterRole, 128> kRoles = [] {
    std::array<CharacterRole, 128> table{};
    for (char16_t c : std::u16string_view(u"~*_`[!^"))
        table[c] = trigger;
    table[u'\\'] = backslash;
    return table;
}();

// The first trigger character of a range and, in front of it, the first backslash (`stop` when
// there is none).
struct Candidate {
    std::size_t trigger;
    std::size_t backslash;
};

// The first position from `at` on that may hold a trigger or a backslash, or a position less
// than eight units from the end: '[' to '`' (which takes in ']' as well) as one range, and '!',
// '*' and '~'. The caller decides exactly.
std::size_t skipToCandidate(std::u16string_view text, std::size_t at) {
#if defined(__SSE2__)
    const __m128i bracket = _mm_set1_epi16(u'['), rangeTop = _mm_set1_epi16(u'`' - u'['),
                  bang = _mm_set1_epi16(u'!'), star = _mm_set1_epi16(u'*'), tilde = _mm_set1_epi16(u'~'),
                  zero = _mm_setzero_si128();
    for (; at + 8 <= text.size(); at += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        // Below '[' the difference wraps round to a large value, so one unsigned test covers the range.
        const __m128i inRange =
            _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(block, bracket), rangeTop), zero);
        const __m128i others =
            _mm_or_si128(_mm_cmpeq_epi16(block, bang),
                         _mm_or_si128(_mm_cmpeq_epi16(block, star), _mm_cmpeq_epi16(block, tilde)));
        if (const int mask = _mm_movemask_epi8(_mm_or_si128(inRange, others)))
            return at + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    return at;
}

Candidate firstCandidate(std::u16string_view s, std::size_t from, std::size_t stop) {
    Candidate found{stop, stop};
    const std::u16string_view searched = s.substr(0, stop);
    std::size_t at = from;
    for (; at < stop; ++at) {
        at = skipToCandidate(searched, at);
        if (at == stop) break;
        const char16_t c = s[at];
        if (c >= 128 || kRoles[c] == plain) continue;
        if (kRoles[c] == trigger) break;
        if (found.backslash == stop) found.backslash = at;
    }
    found.trigger = at;
    lineScan.charge(at - from);
    return found;
}

// Records are made in place inside the optional that carries them out of findSpanElement: a
// record is large, and moving it costs more than most searches.
using Found = std::optional<SpanDict>;

// The record of a place where no element begins.
Found nothingAt(std::size_t at) {
    Found nothing(std::in_place);
    nothing->strRange = {at, 0};
    return nothing;
}

// A found delimited element, or nothing at the candidate `at`. A blank that the pattern took after
// the closing marker belongs to the text that follows, not to the element.
Found delimitedElement(std::u16string_view s, Range searched, spans::Delimited kind, SpanType type,
                       std::size_t markerWidth, std::size_t at) {
    Range match = spans::findDelimited(kind, s, searched, lineScan.context(), memoFor(kind));
    lineScan.settle();
    if (!match.found()) return nothingAt(at);
    if (match.length > 1 && isWhitespace(s[match.end() - 1])) --match.length;
    Found element(std::in_place);
    element->type = type;
    element->typeId = spanTypeId(type);
    element->range = match;
    element->strRange = {match.location + markerWidth, match.length - 2 * markerWidth};
    return element;
}

// A backslash in front of '<' shows the tag that follows as text. Only the range's first
// backslash (at `at`) counts.
Found escapedTag(std::u16string_view s, std::size_t at, std::size_t stop) {
    if (at >= stop || at + 1 >= s.size() || s[at + 1] != u'<') return std::nullopt;
    const Range close = findLiteral(s, Range::fromBounds(at + 1, stop), u">");
    lineScan.charge((close.found() ? close.location : stop) - at);
    Found element(std::in_place);
    element->type = SpanType::backslash;
    element->typeId = spanTypeId(SpanType::backslash);
    if (close.found()) {
        element->range = Range{at, close.location - at + 1};
        element->strRange = {at + 1, close.location - at};
    } else {
        element->range = Range{at, 1};
        element->strRange = Range::notFound();
    }
    return element;
}

// The record of a link that did not form (still untouched): the rest of the range, so that the
// scan ends.
void failLink(SpanDict& link, Range range) {
    link.strRange = {range.location + 1, range.length > 0 ? range.length - 1 : 0};
}

// The link (or image without its '!') that begins the range, written into `link`, which the
// search leaves untouched until the link has formed.
void linkElement(std::u16string_view s, Range range, SpanDict& link);

// A link or image that formed records the use of its label and becomes an element; an image's
// range takes in its '!'.
Found linkAt(MarkdownString& engine, std::u16string_view s, Range range, SpanType type) {
    Found link(std::in_place);
    linkElement(s, range, *link);
    if (!link->range) return link;
    if (link->linkType == LinkType::local) engine.linkLabel(link->reference, link->urlRange);
    if (type == SpanType::image) link->range = Range{link->range->location - 1, link->range->length + 1};
    link->type = type;
    link->typeId = spanTypeId(type);
    return link;
}

} // namespace

std::vector<SpanDict> MarkdownString::findSpanElements(std::u16string_view s, Range range) {
    const NestingScope scope;
    std::vector<SpanDict> elements;
    const std::size_t end = std::min(range.end(), s.size());
    std::size_t location = range.location;
    while (location < end && !lineScan.exhausted) {
        std::optional<SpanDict> element = findSpanElement(s, Range::fromBounds(location, end));
        if (!element) break;
        if (element->range) {
            const std::size_t elementEnd = element->range->end();
            if (element->strRange.length >= 2 && element->type != SpanType::code)
                element->spanArray = findSpanElements(s, element->strRange);
            if (elements.empty()) elements.reserve(4);
            elements.push_back(std::move(*element));
            if (elementEnd >= end) break;
            location = elementEnd;
        } else {
            location = element->strRange.end() + 1;
        }
    }
    return elements;
}

std::optional<SpanDict> MarkdownString::findSpanElement(std::u16string_view s, Range range) {
    const std::size_t loc = range.location;
    const std::size_t end = std::min(range.end(), s.size());
    if (loc >= end || end - loc < 2) return std::nullopt;
    if (lineScan.depth > 0 && lineScan.exhausted) return std::nullopt;

    const Candidate candidate = firstCandidate(s, loc, end);
    const std::size_t i = candidate.trigger;
    if (i == end) return escapedTag(s, candidate.backslash, end);
    const char16_t c = s[i];
    const char16_t before = i == 0 ? u' ' : s[i - 1];
    const char16_t after = i + 1 < s.size() ? s[i + 1] : u'x';
    if (before == u'\\') return nothingAt(i);

    const Range fromCandidate = Range::fromBounds(i, end);
    const Range whole = Range::fromBounds(loc, end);
    using spans::Delimited;
    switch (c) {
    case u'[':
        return linkAt(*this, s, fromCandidate, SpanType::link);
    case u'!':
        if (after != u'[') return nothingAt(i);
        return linkAt(*this, s, Range::fromBounds(i + 1, end), SpanType::image);
    case u'_':
        if (after == u'_' && before != u'_')
            return delimitedElement(s, fromCandidate, Delimited::strongUnderscore, SpanType::strong, 2, i);
        if (before == u'_') return nothingAt(i);
        return delimitedElement(s, whole, Delimited::emUnderscore, SpanType::em, 1, i);
    case u'*':
        if (after == u'*' && before != u'*')
            return delimitedElement(s, fromCandidate, Delimited::strongStar, SpanType::strong, 2, i);
        if (before == u'*') return nothingAt(i);
        return delimitedElement(s, whole, Delimited::emStar, SpanType::em, 1, i);
    case u'~':
        if (after == u'~' && before != u'~')
            return delimitedElement(s, fromCandidate, Delimited::strikethrough, SpanType::strikethrough, 2,
                                    i);
        if (before == u'~') return nothingAt(i);
        return delimitedElement(s, whole, Delimited::subscript, SpanType::subscript, 1, i);
    case u'^':
        if (before == u'^') return nothingAt(i);
        return delimitedElement(s, whole, Delimited::superscript, SpanType::superscript, 1, i);
    case u'`':
        return delimitedElement(s, whole, Delimited::code, SpanType::code, 1, i);
    default:
        return nothingAt(i);
    }
}

namespace {

void linkElement(std::u16string_view s, Range range, SpanDict& link) {
    const std::size_t end = std::min(range.end(), s.size());
    const Range opening = spans::linkOpening(s, range, lineScan.context());
    lineScan.settle();
    if (!opening.found()) return failLink(link, range);
    const std::size_t afterOpening = opening.end();
    // The link text lies between the brackets; a URL or label that begins after blanks does not
    // move its end.
    const Range text{opening.location + 1, opening.length - 3};

    if (s[afterOpening - 1] == u'(') {
        const Range target =
            spans::throughClosingParenthesis(s, Range::fromBounds(afterOpening, end), lineScan.context());
        if (!target.found()) return failLink(link, range);
        const Range url = spans::linkURL(s, target, lineScan.context());
        if (!url.found()) return failLink(link, range);
        const Range title = titleAfter(s, url.end(), end);
        link.linkType = LinkType::external;
        link.range = Range::fromBounds(opening.location, target.end());
        link.urlRange = url;
        link.reference.assign(s.substr(url.location, url.length));
        link.optionRange = title.length > 2 ? Range{title.location + 1, title.length - 2} : title;
    } else {
        if (afterOpening >= s.size()) return failLink(link, range);
        if (s[afterOpening] != u']') {
            const Range target =
                spans::throughClosingBracket(s, Range::fromBounds(afterOpening, end), lineScan.context());
            if (!target.found()) return failLink(link, range);
            const Range label = spans::beforeClosingBracket(s, target, lineScan.context());
            if (!label.found()) return failLink(link, range);
            link.range = Range::fromBounds(opening.location, target.end());
            link.urlRange = label;
        } else {
            // "[text][]": the text is its own label.
            link.range = Range{opening.location, opening.length + 1};
            link.urlRange = text;
        }
        link.linkType = LinkType::local;
        link.reference.assign(s.substr(link.urlRange.location, link.urlRange.length));
    }
    lineScan.settle();
    link.strRange = text;
    link.refRange = text;
}

} // namespace

SpanDict MarkdownString::findLinkElement(std::u16string_view s, Range range) {
    SpanDict link;
    linkElement(s, range, link);
    return link;
}

} // namespace quillet
