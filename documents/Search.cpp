#include "documents/Search.h"

#include "documents/OutlineLines.h"
#include "documents/SearchCaseFolding.h"
#include "documents/SearchFragments.h"
#include "documents/SearchHelpers.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <iterator>
#include <thread>
#include <vector>

namespace quillet {

namespace {

constexpr std::size_t kFragmentLead = 15;
constexpr std::size_t kFragmentLength = 30;
// A long note is searched on several threads; below this many units for each thread they would
// cost more than they save.
constexpr std::size_t kMinPartSize = 1 << 19;
constexpr std::size_t kMaxSearchThreads = 4;
constexpr std::size_t kCacheLine = 64;

// The records one thread makes, in chunks of a fixed size: none is moved before they are
// joined, and no memory grows by copying.
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
    // Moves the next `count` records, after those moved before, to the end of `results`.
    void moveNext(std::size_t count, SearchResults& results) {
        while (count > 0) {
            SearchResults& chunk = chunks_[readChunk_];
            const std::size_t taken = std::min(count, chunk.size() - readOffset_);
            const auto from = chunk.begin() + static_cast<std::ptrdiff_t>(readOffset_);
            std::move(from, from + static_cast<std::ptrdiff_t>(taken), std::back_inserter(results));
            count -= taken;
            readOffset_ += taken;
            if (readOffset_ == chunk.size()) {
                ++readChunk_;
                readOffset_ = 0;
            }
        }
    }

private:
    static constexpr std::size_t kChunkSize = 1024;
    std::vector<SearchResults> chunks_;
    std::size_t count_ = 0;
    std::size_t readChunk_ = 0; // where moveNext goes on
    std::size_t readOffset_ = 0;
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

// Where the text is cut into pieces: just after a line break near each even share, since no
// occurrence crosses a line. Fewer pieces when the breaks are far apart.
std::vector<std::size_t> pieceStarts(const char16_t* units, std::size_t size, std::size_t pieces) {
    std::vector<std::size_t> starts{0};
    for (std::size_t piece = 1; piece < pieces; ++piece) {
        const std::size_t from = std::max(starts.back(), size / pieces * piece);
        const std::size_t lineBreak = CaseInsensitiveFinder::nextLineBreak(units, from, size);
        if (lineBreak + 1 >= size) break;
        starts.push_back(lineBreak + 1);
    }
    starts.push_back(size);
    return starts;
}

// The records one thread made, and the pieces they belong to, in the order it searched them.
// Each on cache lines of its own: the threads' records side by side in one vector would share
// lines, and every record made would take the line from the other thread.
struct alignas(kCacheLine) ThreadResults {
    struct Run {
        std::size_t piece;
        std::size_t count;
    };
    PartResults found;
    std::vector<Run> runs;
    std::exception_ptr failure;
};

// A long note is cut into pieces that the calling thread and its helpers take in turn, so that a
// helper that is woken late searches fewer pieces instead of holding up the end. The calling
// thread joins the records in the pieces' order.
class PieceSearch {
public:
    PieceSearch(const CaseInsensitiveFinder& finder, QStringView text, std::size_t threads)
        : finder_(finder), text_(text),
          starts_(pieceStarts(text.utf16(), static_cast<std::size_t>(text.size()),
                              std::max(threads, static_cast<std::size_t>(text.size()) / kPieceSize))),
          pieces_(starts_.size() - 1), threads_(threads) {}

    SearchResults run(SearchHelpers& helpers) {
        const SearchHelpers::Offer offer = helpers.offer(
            [this](std::size_t helper) { searchPieces(threads_[helper]); }, threads_.size() - 1);
        searchPieces(threads_[0]);
        // The pieces the helpers still search are short: wait for them without sleeping.
        while (finished_.load(std::memory_order_acquire) < pieces_)
            std::this_thread::yield();
        for (const ThreadResults& thread : threads_)
            if (thread.failure) std::rethrow_exception(thread.failure);
        // A helper that comes now finds no piece left and touches nothing else.
        return joined();
    }

private:
    void searchPieces(ThreadResults& mine) {
        for (std::size_t piece; (piece = next_.fetch_add(1, std::memory_order_relaxed)) < pieces_;) {
            if (!mine.failure) {
                const std::size_t before = mine.found.count();
                try {
                    mine.runs.reserve(pieces_);
                    searchPart(finder_, text_, starts_[piece], starts_[piece + 1], mine.found);
                    mine.runs.push_back({piece, mine.found.count() - before}); // reserved: cannot throw
                } catch (...) {
                    mine.failure = std::current_exception();
                }
            }
            finished_.fetch_add(1, std::memory_order_release);
        }
    }

    // Each thread searched its pieces in ascending order, so every piece is the next run of one of them.
    SearchResults joined() {
        std::size_t total = 0;
        for (const ThreadResults& thread : threads_)
            total += thread.found.count();
        SearchResults results;
        results.reserve(total);
        std::vector<std::size_t> nextRun(threads_.size(), 0);
        for (std::size_t piece = 0; piece < pieces_; ++piece) {
            for (std::size_t thread = 0; thread < threads_.size(); ++thread) {
                const std::vector<ThreadResults::Run>& runs = threads_[thread].runs;
                if (nextRun[thread] < runs.size() && runs[nextRun[thread]].piece == piece) {
                    threads_[thread].found.moveNext(runs[nextRun[thread]++].count, results);
                    break;
                }
            }
        }
        return results;
    }

    // A few tens of microseconds of searching on one thread: short enough that no thread waits
    // long for another's last piece, long enough that taking a piece costs nothing.
    static constexpr std::size_t kPieceSize = 1 << 18;

    const CaseInsensitiveFinder& finder_;
    QStringView text_;
    std::vector<std::size_t> starts_;
    std::size_t pieces_;
    std::vector<ThreadResults> threads_;
    std::atomic<std::size_t> next_{0};     // the next piece to take
    std::atomic<std::size_t> finished_{0}; // pieces searched
};

std::size_t searchThreads(std::size_t size, const SearchHelpers& helpers) {
    return std::min(helpers.threads() + 1, std::max<std::size_t>(1, size / kMinPartSize));
}

} // namespace

SearchResults searchResults(QStringView searchString, QStringView text) {
    const CaseInsensitiveFinder finder(searchString);
    if (finder.isEmpty() || finder.spansLines()) return {};
    SearchHelpers& helpers = SearchHelpers::shared(kMaxSearchThreads - 1);
    return PieceSearch(finder, text, searchThreads(static_cast<std::size_t>(text.size()), helpers))
        .run(helpers);
}

bool textContainsCaseInsensitive(QStringView text, QStringView searchString) {
    const CaseInsensitiveFinder finder(searchString);
    return finder.find(text, 0).found();
}

} // namespace quillet
