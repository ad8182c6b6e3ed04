#pragma once
// A (location, length) pair of UTF-16 code-unit offsets, and its "{12, 5}" text form.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// The location a failed search reports, as the platform's "not found" value.
inline constexpr std::size_t kNotFound = static_cast<std::size_t>(INT64_MAX);

struct Range {
    std::size_t location = 0;
    std::size_t length = 0;

    constexpr std::size_t end() const { return location + length; }
    constexpr bool empty() const { return length == 0; }
    constexpr bool found() const { return location != kNotFound; }
    constexpr bool contains(std::size_t position) const {
        return position >= location && position < end();
    }
    constexpr bool contains(Range other) const {
        return other.location >= location && other.end() <= end();
    }
    friend constexpr bool operator==(Range, Range) = default;

    static constexpr Range notFound() { return {kNotFound, 0}; }
    static constexpr Range fromBounds(std::size_t start, std::size_t stop) {
        return {start, stop > start ? stop - start : 0};
    }

    // "{12, 5}"
    std::string toString() const;
    // Accepts the form toString() writes, with any blanks around the numbers.
    static std::optional<Range> parse(std::string_view text);
};

} // namespace quillet
