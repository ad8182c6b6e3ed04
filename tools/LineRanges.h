#pragma once
// Lines as the platform's text system counts them: a line ends after LF, CR, CR LF, NEL (U+0085),
// LINE SEPARATOR (U+2028) or PARAGRAPH SEPARATOR (U+2029). VT and FF do not end a line.

#include "engine/Range.h"

#include <string_view>

namespace quillet::convert {

bool isLineTerminator(char16_t c);

// The line that holds `position`, its terminator included. A position on the LF of a CR LF
// belongs to the line that the pair ends. A position at or past the end gives the last line
// (an empty range at the end when the text ends with a terminator or is empty).
Range lineRangeAt(std::u16string_view text, std::size_t position);

} // namespace quillet::convert
