#pragma once
// Readable failure messages for the line-classification tests: ranges as "{2, 5}", block types
// by name and UTF-16 texts as UTF-8.

#include "engine/Range.h"
#include "engine/Records.h"

#include <ostream>
#include <string>

namespace quillet {

static inline void PrintTo(const Range& range, std::ostream* out) {
    *out << range.toString();
}

static inline void PrintTo(BlockType type, std::ostream* out) {
    *out << '"' << blockTypeName(type) << '"';
}

} // namespace quillet

namespace blocktest {

// UTF-16 to UTF-8, lone surrogates written as U+FFFD; for messages and comparisons only.
inline std::string utf8(std::u16string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        char32_t c = text[at];
        if (c >= 0xD800 && c <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
            text[at + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++at] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The text a range covers in a line.
inline std::string textAt(std::u16string_view line, quillet::Range range) {
    if (!range.found() || range.location > line.size()) return "<none>";
    return utf8(line.substr(range.location, range.length));
}

} // namespace blocktest
