#include "browser/DisplayName.h"

#include "engine/CharacterSets.h"
#include "engine/BlockScanners.h"
#include "engine/RegexSearch.h"

#include <string_view>

namespace quillet {

namespace {

std::u16string_view view(QStringView text) {
    return {text.utf16(), static_cast<std::size_t>(text.size())};
}

// From the start: the leading markers and white space, then the title's first character.
thread_local const RegexSearch leadingMarkers(u"^[#\\s]+[^\\s]");

} // namespace

Range stringRangeInHeader(QStringView line) {
    const std::size_t length = static_cast<std::size_t>(line.size());
    if (length == 0) return {0, 0};
    const std::u16string_view text = view(line);
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

QString displaynameFromFirstline(QStringView text) {
    qsizetype lineEnd = 0;
    while (lineEnd < text.size() && !isNewline(text[lineEnd].unicode()))
        ++lineEnd;
    const QStringView line = text.left(lineEnd);
    if (line.isEmpty()) return QString();
    const Range title = stringRangeInHeader(line);
    if (title.empty()) return line.toString();
    return line.mid(static_cast<qsizetype>(title.location), static_cast<qsizetype>(title.length)).toString();
}

} // namespace quillet
