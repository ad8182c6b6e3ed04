#include "documents/Search.h"

#include "documents/OutlineLines.h"
#include "documents/SearchCaseFolding.h"

#include <algorithm>
#include <iterator>
#include <thread>
#include <vector>

namespace quillet {

namespace {

constexpr std::size_t kFragmentLead = 15;
constexpr std::size_t kFragmentLength = 30;
// A long note is searched in parts on several threads; below this many units per part the
// threads would cost more than they save.
constexpr std::size_t kMinPartSize = 1 << 19;
constexpr std::size_t kMaxSearchThreads = 4;

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

// The occurrences that start in [from, to), appended to `results`. `from` is the start of the
// text or follows a line break, so no line reaches back across it.
void searchPart(const CaseInsensitiveFinder& finder, QStringView text, std::size_t from, std::size_t to,
                SearchResults& results) {
    const std::size_t size = static_cast<std::size_t>(text.size());
    const char16_t* units = text.utf16();
    Range line = Range::notFound(); // the line of the last occurrence, without its line break
    std::size_t position = from;
    while ((position = finder.nextCandidate(units, position, to)) < to) {
        const std::size_t length = finder.matchAt(text, position, true);
        if (length == 0) {
            position += characterWidth(units, size, position);
            continue;
        }
        if (!line.found() || position > line.end()) {
            const std::size_t start =
                CaseInsensitiveFinder::lineStartBefore(units, position, line.found() ? line.end() : from);
            line = Range::fromBounds(start,
                                     CaseInsensitiveFinder::nextLineBreak(units, position + length, size));
        }
        results.push_back(resultFor(text, line, {position, length}));
        position += length;
    }
}

// Where the text is cut into parts searched side by side: just after a line break near each
// even share, since no occurrence crosses a line. Fewer parts when the breaks are far apart.
std::vector<std::size_t> partStarts(const char16_t* units, std::size_t size, std::size_t parts) {
    std::vector<std::size_t> starts{0};
    for (std::size_t part = 1; part < parts; ++part) {
        const std::size_t from = std::max(starts.back(), size / parts * part);
        const std::size_t lineBreak = CaseInsensitiveFinder::nextLineBreak(units, from, size);
        if (lineBreak + 1 >= size) break;
        starts.push_back(lineBreak + 1);
    }
    starts.push_back(size);
    return starts;
}

std::size_t searchThreads(std::size_t size) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return std::min({cores, kMaxSearchThreads, std::max<std::size_t>(1, size / kMinPartSize)});
}

} // namespace

SearchResults searchResults(QStringView searchString, QStringView text) {
    SearchResults results;
    const CaseInsensitiveFinder finder(searchString);
    if (finder.isEmpty() || finder.spansLines()) return results;
    const std::size_t size = static_cast<std::size_t>(text.size());
    const std::vector<std::size_t> starts = partStarts(text.utf16(), size, searchThreads(size));
    std::vector<SearchResults> later(starts.size() - 2);
    {
        std::vector<std::jthread> helpers;
        for (std::size_t part = 1; part + 1 < starts.size(); ++part)
            helpers.emplace_back(
                [&, part] { searchPart(finder, text, starts[part], starts[part + 1], later[part - 1]); });
        searchPart(finder, text, starts[0], starts[1], results);
    }
    for (SearchResults& part : later)
        results.insert(results.end(), std::make_move_iterator(part.begin()),
                       std::make_move_iterator(part.end()));
    return results;
}

bool textContainsCaseInsensitive(QStringView text, QStringView searchString) {
    const CaseInsensitiveFinder finder(searchString);
    return finder.find(text, 0).found();
}

} // namespace quillet
