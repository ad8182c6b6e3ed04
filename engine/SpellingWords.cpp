#include "engine/SpellingWords.h"

#include <algorithm>
#include <memory>
#include <string>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>

namespace quillet {

namespace {

struct BreakIteratorCloser {
    void operator()(UBreakIterator* iterator) const { ubrk_close(iterator); }
};
using WordBreaker = std::unique_ptr<UBreakIterator, BreakIteratorCloser>;

// Opening a break iterator loads its rules: one per thread is kept and given each line.
UBreakIterator* wordBreaker() {
    thread_local WordBreaker breaker = [] {
        UErrorCode status = U_ZERO_ERROR;
        WordBreaker opened(ubrk_open(UBRK_WORD, "", nullptr, 0, &status));
        return U_SUCCESS(status) ? std::move(opened) : WordBreaker();
    }();
    return breaker.get();
}

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0x00A0 || c == 0x3000;
}

bool looksLikeAddress(std::u16string_view token) {
    const auto has = [&](std::u16string_view part) { return token.find(part) != std::u16string_view::npos; };
    if (has(u"://") || token.starts_with(u"www.") || token.starts_with(u"mailto:")) return true;
    const std::size_t at = token.find(u'@');
    if (at != std::u16string_view::npos && token.find(u'.', at) != std::u16string_view::npos) return true;
    // A path ("src/main.cpp", "~/notes"); "and/or" goes unread with them.
    return has(u"/");
}

// Blanks every character that is not read: the unread ranges and the address tokens.
void blankUnread(std::u16string& text, const std::vector<Range>& unread) {
    for (const Range& range : unread) {
        const std::size_t end = std::min(range.end(), text.size());
        for (std::size_t i = std::min(range.location, end); i < end; ++i)
            text[i] = u' ';
    }
    std::size_t start = 0;
    while (start < text.size()) {
        while (start < text.size() && isBlank(text[start]))
            ++start;
        std::size_t end = start;
        while (end < text.size() && !isBlank(text[end]))
            ++end;
        if (looksLikeAddress(std::u16string_view(text).substr(start, end - start)))
            std::fill(text.begin() + static_cast<std::ptrdiff_t>(start),
                      text.begin() + static_cast<std::ptrdiff_t>(end), u' ');
        start = end;
    }
}

bool isWorthChecking(std::u16string_view word) {
    if (word.size() < 2) return false;
    bool lower = false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char16_t c = word[i];
        if (c == u'.' || (c >= u'0' && c <= u'9')) return false;
        if (u_islower(c)) lower = true;
    }
    return lower;
}

} // namespace

bool isProse(const TextAttributes& attributes) {
    return !attributes.link &&
           (!attributes.foregroundColor || *attributes.foregroundColor == TextColor::text);
}

std::vector<Range> wordsToCheck(std::u16string_view line, const std::vector<Range>& unread) {
    std::vector<Range> words;
    UBreakIterator* breaker = wordBreaker();
    if (!breaker || line.empty()) return words;
    std::u16string text(line);
    blankUnread(text, unread);
    UErrorCode status = U_ZERO_ERROR;
    ubrk_setText(breaker, reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                 &status);
    if (U_FAILURE(status)) return words;
    int32_t start = ubrk_first(breaker);
    for (int32_t end = ubrk_next(breaker); end != UBRK_DONE; start = end, end = ubrk_next(breaker)) {
        const int32_t rule = ubrk_getRuleStatus(breaker);
        if (rule < UBRK_WORD_LETTER || rule >= UBRK_WORD_LETTER_LIMIT) continue;
        const Range word{static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)};
        if (isWorthChecking(std::u16string_view(text).substr(word.location, word.length)))
            words.push_back(word);
    }
    // The iterator must not keep pointing at the copy that goes now.
    static constexpr UChar kNothing[] = {0};
    ubrk_setText(breaker, kNothing, 0, &status);
    return words;
}

} // namespace quillet
