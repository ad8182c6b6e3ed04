#pragma once
// Readable failure messages for the line-classification tests: ranges as "{2, 5}" and block
// types by name.

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

// The text a range covers in a line.
inline std::u16string textAt(std::u16string_view line, quillet::Range range) {
    if (!range.found() || range.location > line.size()) return u"<none>";
    return std::u16string(line.substr(range.location, range.length));
}

} // namespace blocktest
