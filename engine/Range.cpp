#include "engine/Range.h"

#include <charconv>

namespace quillet {

std::string Range::toString() const {
    return "{" + std::to_string(location) + ", " + std::to_string(length) + "}";
}

namespace {

void skipBlanks(std::string_view& text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
}

bool readNumber(std::string_view& text, std::size_t& value) {
    skipBlanks(text);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc()) return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    skipBlanks(text);
    return true;
}

bool expect(std::string_view& text, char c) {
    skipBlanks(text);
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

} // namespace

std::optional<Range> Range::parse(std::string_view text) {
    Range range;
    if (!expect(text, '{') || !readNumber(text, range.location) || !expect(text, ',') ||
        !readNumber(text, range.length) || !expect(text, '}'))
        return std::nullopt;
    skipBlanks(text);
    if (!text.empty()) return std::nullopt;
    return range;
}

} // namespace quillet
