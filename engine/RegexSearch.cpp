#include "engine/RegexSearch.h"

#include <unicode/regex.h>
#include <unicode/utext.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

namespace quillet {

namespace {

// Compiled patterns live for the whole process; matchers made from them are per instance.
const icu::RegexPattern& compiledPattern(std::u16string_view text) {
    static std::mutex mutex;
    static std::map<std::u16string, std::unique_ptr<icu::RegexPattern>, std::less<>> cache;
    std::lock_guard lock(mutex);
    auto found = cache.find(text);
    if (found != cache.end()) return *found->second;
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError{};
    icu::UnicodeString source(false, text.data(), static_cast<int32_t>(text.size()));
    std::unique_ptr<icu::RegexPattern> pattern(icu::RegexPattern::compile(source, 0, parseError, status));
    if (U_FAILURE(status) || !pattern) {
        std::fprintf(stderr, "quillet: bad pattern (%s) at offset %d\n", u_errorName(status), parseError.offset);
        std::abort();
    }
    auto& slot = cache[std::u16string(text)];
    slot = std::move(pattern);
    return *slot;
}

} // namespace

RegexSearch::RegexSearch(std::u16string_view pattern) {
    UErrorCode status = U_ZERO_ERROR;
    matcher_.reset(compiledPattern(pattern).matcher(status));
    if (U_FAILURE(status) || !matcher_) std::abort();
    matcher_->setTimeLimit(kTimeLimit, status);
}

RegexSearch::~RegexSearch() = default;

RegexHit RegexSearch::find(std::u16string_view text, Range range) const {
    RegexHit hit;
    if (range.location > text.size()) return hit;
    const std::size_t stop = std::min(range.end(), text.size());
    UErrorCode status = U_ZERO_ERROR;
    UText utext = UTEXT_INITIALIZER;
    utext_openUChars(&utext, text.data(), static_cast<int64_t>(text.size()), &status);
    matcher_->reset(&utext);
    matcher_->region(static_cast<int64_t>(range.location), static_cast<int64_t>(stop), status);
    if (U_FAILURE(status)) {
        utext_close(&utext);
        return hit;
    }
    const bool matched = matcher_->find(status);
    if (U_FAILURE(status)) {
        hit.timedOut = status == U_REGEX_TIME_OUT || status == U_REGEX_STACK_OVERFLOW;
    } else if (matched) {
        const int64_t start = matcher_->start64(status);
        const int64_t end = matcher_->end64(status);
        if (U_SUCCESS(status))
            hit.range = {static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)};
    }
    utext_close(&utext);
    return hit;
}

Range findLiteral(std::u16string_view text, Range range, std::u16string_view needle) {
    if (needle.empty() || range.location > text.size()) return Range::notFound();
    const std::size_t stop = std::min(range.end(), text.size());
    if (stop - range.location < needle.size()) return Range::notFound();
    const std::u16string_view window = text.substr(range.location, stop - range.location);
    const std::size_t at = window.find(needle);
    if (at == std::u16string_view::npos) return Range::notFound();
    return {range.location + at, needle.size()};
}

} // namespace quillet
