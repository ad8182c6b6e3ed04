#pragma once
// The character sets the engine tests single UTF-16 code units against.

namespace quillet {

// Line terminators: LF, VT, FF, CR, NEL, LINE SEPARATOR, PARAGRAPH SEPARATOR.
constexpr bool isNewline(char16_t c) {
    return (c >= 0x000A && c <= 0x000D) || c == 0x0085 || c == 0x2028 || c == 0x2029;
}

// Unicode separators (general category Z*), the tab and the line terminators.
constexpr bool isWhitespace(char16_t c) {
    // Below NEL only the tab, the line terminators up to CR and the space are blanks.
    if (c < 0x0085) return c == 0x0020 || (c >= 0x0009 && c <= 0x000D);
    if (c == 0x0085 || c == 0x2028 || c == 0x2029) return true;
    return c == 0x00A0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

constexpr bool isAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
constexpr bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
constexpr bool isHexDigit(char16_t c) { return isAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

} // namespace quillet
