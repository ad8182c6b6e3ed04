#include "documents/Search.h"

#include "documents/OutlineLines.h"
#include "documents/SearchCaseFolding.h"
#include "documents/SearchFragments.h"

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

// The results of one part, made in place in chunks of a fixed size: none is moved before they
// are joined, and no memory grows by copying.
class PartResults {
public:
    void add(QStringView text, Range line, Range occurrence) {
        const Range range{occurrence.location - line.location, occurrence.length};
        const std::size_t fragmentStart = range.location > kFragmentLead ? range.location - kFragmentLead : 0;
        const Range fragmentRange{fragmentStart, std::min(kFragmentLength, line.length - fragmentStart)};
        if (chunks_.empty() || chunks_.back().size() == kChunkSize)
            chunks_.emplace_back().reserve(kChunkSize);
        chunks_.back().push_back(
            {range, line, fragmentRange,
             fragments_.fragment(text.utf16() + line.location + fragmentStart, fragmentRange.length)});
        ++count_;
    }

    std::size_t count() const { return count_; }
    void moveTo(SearchResults& results) {
        for (SearchResults& chunk : chunks_)
            std::move(chunk.begin(), chunk.end(), std::back_inserter(results));
        chunks_.clear();
        count_ = 0;
    }

private:
    static constexpr std::size_t kChunkSize = 1024;
    std::vector<SearchResults> chunks_;
    std::size_t count_ = 0;
    SearchFragments fragments_;
};

std::size_t characterWidth(const char16_t* units, std::size_t size, std::size_t position) {
    const bool pair = QChar::isHighSurrogate(units[position]) && position + 1 < size &&
                      QChar::isLowSurrogate(units[position + 1]);
    return pair ? 2 : 1;
}

// The occurrences that start in [from, to), appended to `results`. `from` is the start of the
// text or follows a line break, so no line reaches back across it.
void searchPart(const CaseInsensitiveFinder& finder, QStringView text, std::size_t from, std::size_t to,
                PartResults& results) {
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
        if (!line.found() || position > line.end())
            line = CaseInsensitiveFinder::lineAround(units, position, position + length, size);
        results.add(text, line, {position, length});
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

// The parts' results in order, each moved once into a vector of the right size.
SearchResults joined(std::vector<PartResults>& parts) {
    std::size_t total = 0;
    for (const PartResults& part : parts)
        total += part.count();
    SearchResults results;
    results.reserve(total);
    for (PartResults& part : parts)
        part.moveTo(results);
    return results;
}

std::size_t searchThreads(std::size_t size) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return std::min({cores, kMaxSearchThreads, std::max<std::size_t>(1, size / kMinPartSize)});
}

} // namespace

SearchResults searchResults(QStringView searchString, QStringView text) {
    const CaseInsensitiveFinder finder(searchString);
    if (finder.isEmpty() || finder.spansLines()) return {};
    const std::size_t size = static_cast<std::size_t>(text.size());
    const std::vector<std::size_t> starts = partStarts(text.utf16(), size, searchThreads(size));
    std::vector<PartResults> parts(starts.size() - 1);
    {
        std::vector<std::jthread> helpers;
        for (std::size_t part = 1; part < parts.size(); ++part)
            helpers.emplace_back(
                [&, part] { searchPart(finder, text, starts[part], starts[part + 1], parts[part]); });
        searchPart(finder, text, starts[0], starts[1], parts[0]);
    }
    return joined(parts);
}

bool textContainsCaseInsensitive(QStringView text, QStringView searchString) {
    const CaseInsensitiveFinder finder(searchString);
    return finder.find(text, 0).found();
}

} // namespace quillet
