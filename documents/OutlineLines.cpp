#include "documents/OutlineLines.h"

#include <algorithm>

namespace quillet {

std::size_t lineBreakLength(QStringView text, std::size_t position) {
    const std::size_t size = static_cast<std::size_t>(text.size());
    if (position >= size) return 0;
    const char16_t c = text[static_cast<qsizetype>(position)].unicode();
    if (!isLineBreak(c)) return 0;
    return c == u'\r' && position + 1 < size && text[static_cast<qsizetype>(position + 1)] == u'\n' ? 2 : 1;
}

TextLine lineStartingAt(QStringView text, std::size_t start) {
    const std::size_t size = static_cast<std::size_t>(text.size());
    start = std::min(start, size);
    std::size_t contentsEnd = start;
    while (contentsEnd < size && !isLineBreak(text[static_cast<qsizetype>(contentsEnd)].unicode()))
        ++contentsEnd;
    return {Range::fromBounds(start, contentsEnd + lineBreakLength(text, contentsEnd)), contentsEnd};
}

} // namespace quillet
