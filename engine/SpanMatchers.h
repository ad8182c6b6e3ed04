#pragma once
// Hand-written matchers for the patterns the inline parser searches for. Each returns exactly the
// first match ICU finds for the pattern named beside it when the search is confined to `range`
// (anchoring bounds on, transparent bounds off), or Range::notFound(). They run for every
// candidate character of every line, so they avoid the regex engine, never allocate and take
// time linear in the range.
//
// ICU semantics reproduced here: `\s` is Unicode White_Space (isWhitespace), `.` is any code
// point but a line terminator (isNewline), a surrogate pair is one code point only when both
// halves lie inside the range, `$` matches at the range end (or before a final line terminator,
// which `\s` takes first in every pattern here), lookarounds do not see past the range, and `\b`
// compares the code point at the position with the one before it, skipping combining marks and
// format characters backwards, sees nothing outside the range and is never true in front of a
// combining mark or format character.

#include "engine/Range.h"

#include <cstddef>
#include <string_view>

namespace quillet::spans {

// The delimited inline elements. Each is an opening marker, content that begins with a non-blank
// and ends with a character that is neither blank nor a backslash, the same marker again, and a
// condition after it. Greedy: the content runs to the last closing marker of its line.
enum class Delimited {
    strongStar,       // `\*\*(([\S])|([\S].*[^\s\\]))\*\*(\s|$)`
    emStar,           // `\*(([\S])|([\S].*[^\s\\]))\*(\s|$)`
    strongUnderscore, // `\b__(([\S])|([\S].*[^\s\\]))__\b`
    emUnderscore,     // `\b_(([\S])|([\S].*[^\s\\]))_\b`
    strikethrough,    // `~~(([\S])|([\S].*[^\s\\]))~~(\s|$)`
    subscript,        // `\~(([\S])|([\S].*[^\s\\]))\~`
    superscript,      // `\^(([\S])|([\S].*[^\s\\]))\^`
    code,             // `` `(([\S].*[^\s\\])|([\S]))`(\s|$) ``
};

// What the searches on one line share: the work they did (code units looked at, summed over
// calls), which lets the caller bound what one line may cost, and a stretch of the text known to
// hold no line terminator, which spares later searches the walk to the end of the line.
struct LineContext {
    std::size_t units = 0;
    Range newlineFree;
};

// What searches for one kind of delimited element learnt about a text and a range end: the last
// closing marker of a line and the first match from a place. Searches of the same kind in the same
// text with the same range end, made in order of their start, reuse it instead of scanning the
// line again; a memo handed a different text or range end starts afresh. Filled by findDelimited.
struct DelimitedMemo {
    const char16_t* text = nullptr;
    std::size_t size = 0;
    std::size_t stop = 0;
    // The last closer at or after `closerFloor` of the line [lineFrom, lineEnd).
    bool knowsCloser = false;
    std::size_t lineFrom = 0;
    std::size_t lineEnd = 0;
    std::size_t closerFloor = 0;
    std::size_t closer = 0;
    // The first match of a search that started at `searchedFrom`.
    bool knowsMatch = false;
    std::size_t searchedFrom = 0;
    Range match;
};

// The match of the delimited pattern, its trailing blank (when the pattern takes one) included.
Range findDelimited(Delimited kind, std::u16string_view s, Range range, LineContext* line = nullptr,
                    DelimitedMemo* memo = nullptr);

// `^\[.*?((\[.+\]\[.+\])|(\[.+\]\(.+\)))?\s*\](\(|\[)`: a link's bracketed text up to and with
// the "](" or "][" that follows it.
Range linkOpening(std::u16string_view s, Range range, LineContext* line = nullptr);

// `.+?\)`: from the first place where at least one character precedes a ')' on the same line,
// through that ')'.
Range throughClosingParenthesis(std::u16string_view s, Range range, LineContext* line = nullptr);

// `.+?\]`: as throughClosingParenthesis, for ']'.
Range throughClosingBracket(std::u16string_view s, Range range, LineContext* line = nullptr);

// `.+?(?=\])`: the characters before the first ']' that follows at least one character.
Range beforeClosingBracket(std::u16string_view s, Range range, LineContext* line = nullptr);

// `(?!\s).+?(?=(\s|"|\)))`: a URL, from the first non-blank up to a blank, '"' or ')'.
Range linkURL(std::u16string_view s, Range range, LineContext* line = nullptr);

} // namespace quillet::spans
