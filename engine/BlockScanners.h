#pragma once
// Hand-written matchers for the patterns the line classifier searches for. Each one returns
// exactly the first match that ICU finds for the pattern named beside it when the search is
// confined to `range` (anchoring bounds on, transparent bounds off), or Range::notFound(). They
// run for every line of a note, so they avoid the regex engine and never allocate.
//
// ICU semantics reproduced here: `\s` is Unicode White_Space (isWhitespace), `.` is any code
// point but a line terminator (isNewline), `\w` is ICU's word set, and `$` matches at the range
// end or before one final line terminator (CR LF counting as one).

#include "engine/Range.h"

#include <string_view>

namespace quillet::scan {

// `^\s+[^\s]`
Range blanksThenNonBlank(std::u16string_view s, Range range);
// `^\s+`
Range leadingBlanks(std::u16string_view s, Range range);
// `^<[A-Za-z]\w*\>`
Range openingTagAtStart(std::u16string_view s, Range range);
// `^</[A-Za-z]\w*\>`
Range closingTagAtStart(std::u16string_view s, Range range);
// `(?=.*)</[A-Za-z]\w*\>`
Range firstClosingTag(std::u16string_view s, Range range);
// `(?=.*)\s+#+$`
Range closingHashes(std::u16string_view s, Range range);
// `(?=\s*)\[.+?\]\:`
Range labelDefinition(std::u16string_view s, Range range);
// `[^\s]*[^\s]`
Range firstNonBlankRun(std::u16string_view s, Range range);
// `(?=\s*)("[^"]*"|'[^']*'|\([^\(\)]*\)|‘[^‘]*’|“[^”]*”)`
Range quotedTitle(std::u16string_view s, Range range);

// The position of the first non-blank character of a `blanksThenNonBlank` match: its end less
// the code units of its last code point (two for a surrogate pair).
std::size_t firstNonBlankOf(std::u16string_view s, Range match);

// Whether `c` is in ICU's `\w` set: [\p{Alphabetic}\p{M}\p{Nd}\p{Pc}\u200c\u200d].
bool isWordCodePoint(char32_t c);

} // namespace quillet::scan
