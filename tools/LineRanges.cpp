#include "tools/LineRanges.h"

#include <algorithm>

namespace quillet::convert {

bool isLineTerminator(char16_t c) {
    return c == u'\n' || c == u'\r' || c == 0x0085 || c == 0x2028 || c == 0x2029;
}

namespace {

bool isInsideCrLf(std::u16string_view text, std::size_t position) {
    return position > 0 && position < text.size() && text[position] == u'\n' && text[position - 1] == u'\r';
}

std::size_t lineStart(std::u16string_view text, std::size_t position) {
    std::size_t scan = isInsideCrLf(text, position) ? position - 1 : position;
    while (scan > 0 && !isLineTerminator(text[scan - 1]))
        --scan;
    return scan;
}

std::size_t lineEnd(std::u16string_view text, std::size_t position) {
    std::size_t scan = position;
    while (scan < text.size() && !isLineTerminator(text[scan]))
        ++scan;
    if (scan == text.size()) return scan;
    if (text[scan] == u'\r' && scan + 1 < text.size() && text[scan + 1] == u'\n') return scan + 2;
    return scan + 1;
}

} // namespace

Range lineRangeAt(std::u16string_view text, std::size_t position) {
    position = std::min(position, text.size());
    return Range::fromBounds(lineStart(text, position), lineEnd(text, position));
}

} // namespace quillet::convert
