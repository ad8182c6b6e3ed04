#pragma once
// Lines of a note's text as the outline and the search see them: a line ends with LF, CR,
// CR LF, NEL, LINE SEPARATOR or PARAGRAPH SEPARATOR.

#include "engine/Range.h"

#include <QStringView>
#include <cstddef>

namespace quillet {

struct TextLine {
    Range range;             // the line, its line break included
    std::size_t contentsEnd; // where the line break starts (range.end() when there is none)

    Range contents() const { return Range::fromBounds(range.location, contentsEnd); }
};

constexpr bool isLineBreak(char16_t c) {
    return c == u'\n' || c == u'\r' || c == 0x0085 || c == 0x2028 || c == 0x2029;
}

// Length of the line break at `position` (2 for CR LF, 0 when there is none).
std::size_t lineBreakLength(QStringView text, std::size_t position);

// The line that starts at `start` (empty at the end of the text).
TextLine lineStartingAt(QStringView text, std::size_t start);

} // namespace quillet
