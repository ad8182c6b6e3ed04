#pragma once
// The part of a text that a search inside a range may look at, shared by the hand-written
// matchers.

#include "engine/Range.h"

#include <algorithm>
#include <string_view>

namespace quillet::scan {

// Empty (not valid) when the range lies past the text; otherwise the range clipped to the text.
struct Window {
    std::size_t start = 0;
    std::size_t stop = 0;
    bool valid = false;
};

inline Window windowOf(std::u16string_view s, Range range) {
    if (range.location > s.size()) return {};
    return {range.location, std::min(range.end(), s.size()), true};
}

} // namespace quillet::scan
