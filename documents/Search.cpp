#include "documents/Search.h"

#include "documents/OutlineLines.h"
#include "documents/SearchCaseFolding.h"

#include <algorithm>

namespace quillet {

namespace {

constexpr std::size_t kFragmentLead = 15;
constexpr std::size_t kFragmentLength = 30;

SearchResult resultFor(QStringView text, Range line, Range occurrence) {
    SearchResult result;
    result.lineRange = line;
    result.range = {occurrence.location - line.location, occurrence.length};
    const std::size_t fragmentStart =
        result.range.location > kFragmentLead ? result.range.location - kFragmentLead : 0;
    result.fragmentRange = {fragmentStart,
                            std::min(kFragmentLength, result.lineRange.length - fragmentStart)};
    result.fragment = text.mid(static_cast<qsizetype>(line.location + fragmentStart),
                               static_cast<qsizetype>(result.fragmentRange.length))
                          .toString();
    return result;
}

std::size_t characterWidth(const char16_t* units, std::size_t size, std::size_t position) {
    const bool pair = QChar::isHighSurrogate(units[position]) && position + 1 < size &&
                      QChar::isLowSurrogate(units[position + 1]);
    return pair ? 2 : 1;
}

} // namespace

SearchResults searchResults(QStringView searchString, QStringView text) {
    SearchResults results;
    const CaseInsensitiveFinder finder(searchString);
    if (finder.isEmpty() || finder.spansLines()) return results;
    const std::size_t size = static_cast<std::size_t>(text.size());
    const char16_t* units = text.utf16();
    Range line = Range::notFound(); // the line of the last occurrence, without its line break
    std::size_t position = 0;
    while ((position = finder.nextCandidate(units, position, size)) < size) {
        const std::size_t length = finder.matchAt(text, position, true);
        if (length == 0) {
            position += characterWidth(units, size, position);
            continue;
        }
        if (!line.found() || position > line.end()) {
            const std::size_t start =
                CaseInsensitiveFinder::lineStartBefore(units, position, line.found() ? line.end() : 0);
            line = Range::fromBounds(start,
                                     CaseInsensitiveFinder::nextLineBreak(units, position + length, size));
        }
        results.push_back(resultFor(text, line, {position, length}));
        position += length;
    }
    return results;
}

bool textContainsCaseInsensitive(QStringView text, QStringView searchString) {
    const CaseInsensitiveFinder finder(searchString);
    return finder.find(text, 0).found();
}

} // namespace quillet
