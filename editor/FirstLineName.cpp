#include "editor/FirstLineName.h"

#include "engine/BlockScanners.h"
#include "engine/CharacterSets.h"
#include "engine/RegexSearch.h"

#include <string_view>

namespace quillet {

namespace {

std::u16string_view view(QStringView text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// The title's range within a header line: after the leading markers and blanks, without the
// closing run of blanks and hashes (found by a linear scan: the line may be very long).
Range titleRange(QStringView line) {
    thread_local const RegexSearch leadingMarkers(u"^[#\\s]+[^\\s]");
    const std::size_t length = static_cast<std::size_t>(line.size());
    const std::u16string_view text = view(line);
    const RegexHit lead = leadingMarkers.find(text, {0, length});
    if (!lead.found()) return {0, length};
    const std::size_t titleEnd = lead.range.end();
    const std::size_t titleStart = titleEnd - 1;
    const std::size_t rest = length - titleStart;
    if (rest == 1) return text[titleStart] == u'#' ? Range{titleStart, 0} : Range{titleStart, 1};
    const Range closing = scan::closingHashes(text, Range::fromBounds(titleEnd, length));
    return {titleStart, rest - (closing.found() ? closing.length : 0)};
}

} // namespace

QString displayname(QStringView text) {
    qsizetype lineEnd = 0;
    while (lineEnd < text.size() && !isNewline(text[lineEnd].unicode()))
        ++lineEnd;
    const QStringView line = text.left(lineEnd);
    if (line.isEmpty()) return QString();
    const Range title = titleRange(line);
    if (title.empty()) return line.toString();
    return line.mid(static_cast<qsizetype>(title.location), static_cast<qsizetype>(title.length)).toString();
}

} // namespace quillet
