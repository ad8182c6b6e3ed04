#include "engine/HeaderTitle.h"

#include "engine/BlockScanners.h"
#include "engine/CharacterSets.h"
#include "engine/RegexSearch.h"

namespace quillet::header_title {

namespace {
// From the start: the leading markers and white space, then the title's first character.
thread_local const RegexSearch leadingMarkers(u"^[#\\s]+[^\\s]");
} // namespace

Range stringRangeInHeader(std::u16string_view text) {
    const std::size_t length = text.size();
    if (length == 0) return {0, 0};
    const RegexHit lead = leadingMarkers.find(text, {0, length});
    if (!lead.found()) return {0, length};
    const std::size_t titleEnd = lead.range.end();
    const std::size_t titleStart = titleEnd - 1;
    const std::size_t rest = length - titleStart;
    if (rest == 1) return text[titleStart] == u'#' ? Range{titleStart, 0} : Range{titleStart, 1};
    // The closing run of white space and hashes, found by a linear scan: the ICU pattern's
    // cost grows with the square of the line's length, and a first line may be very long.
    const Range closing = scan::closingHashes(text, Range::fromBounds(titleEnd, length));
    const std::size_t cut = closing.found() ? closing.length : 0;
    return {titleStart, rest - cut};
}

std::u16string_view displaynameFromFirstline(std::u16string_view text) {
    std::size_t lineEnd = 0;
    while (lineEnd < text.size() && !isNewline(text[lineEnd]))
        ++lineEnd;
    const std::u16string_view line = text.substr(0, lineEnd);
    const Range title = stringRangeInHeader(line);
    if (title.empty()) return line;
    return line.substr(title.location, title.length);
}

} // namespace quillet::header_title
