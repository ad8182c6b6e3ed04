#include "engine/CodeHighlighter.h"

#include "engine/CodeKeywords.h"
#include "engine/RegexSearch.h"

#include <algorithm>
#include <unicode/brkiter.h>
#include <unicode/utext.h>
#include <unordered_set>

namespace quillet {

namespace {

template <std::size_t N>
std::unordered_set<std::u16string_view> wordSet(const std::array<std::u16string_view, N>& words) {
    return {words.begin(), words.end()};
}

void colour(TextStore& text, std::size_t lineStart, Range range, TextColor color) {
    if (range.empty()) return;
    TextAttributes attributes;
    attributes.foregroundColor = color;
    text.addAttributes({lineStart + range.location, range.length}, attributes);
}

// Every match of `pattern` in `line` from `from` on; the next search starts `gap` characters
// after a match's end.
template <typename Visit>
void forEachMatch(const RegexSearch& pattern, std::u16string_view line, std::size_t from, std::size_t gap,
                  Visit visit) {
    while (from < line.size()) {
        const RegexHit hit = pattern.find(line, {from, line.size() - from});
        if (!hit.found()) return;
        visit(hit.range);
        from = hit.range.end() + std::max<std::size_t>(gap, hit.range.empty() ? 1 : 0);
    }
}

} // namespace

CodeLanguage codeLanguageForType(std::string_view typeIdentifier) {
    if (typeIdentifier == "public.css") return CodeLanguage::css;
    if (typeIdentifier == "public.python-script") return CodeLanguage::python;
    return CodeLanguage::none;
}

CodeHighlighter::CodeHighlighter() {
    UErrorCode status = U_ZERO_ERROR;
    words_.reset(icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) words_.reset();
}

CodeHighlighter::~CodeHighlighter() = default;

void CodeHighlighter::setLanguage(CodeLanguage language) {
    language_ = language;
    current_ = false;
    switch (language) {
    case CodeLanguage::css:
        blocks_.setMarkers(u"/*", u"*/");
        break;
    case CodeLanguage::python:
        blocks_.setMarkers(u"'''", u"'''");
        break;
    case CodeLanguage::none:
        blocks_.setMarkers({}, {});
        break;
    }
}

void CodeHighlighter::highlightAll(TextStore& text) {
    if (language_ == CodeLanguage::none) return;
    blocks_.rebuild(text);
    current_ = true;
    highlightLines(text, {0, text.length()});
}

Range CodeHighlighter::textReplaced(TextStore& text, std::size_t location, std::size_t removed,
                                    std::size_t added) {
    if (language_ == CodeLanguage::none) return {};
    if (!current_) {
        highlightAll(text);
        return {0, text.length()};
    }
    const Range changed = blocks_.update(text, location, removed, added);
    highlightLines(text, changed);
    return changed;
}

// Colours the lines of `lines` (whole lines), then the closed comment blocks over them.
void CodeHighlighter::highlightLines(TextStore& text, Range lines) {
    if (lines.empty()) return;
    text.removeAttributes(lines, kForegroundColorKey);
    std::u16string scratch;
    for (std::size_t position = lines.location; position < lines.end();) {
        const Range line = text.lineRange(position);
        if (line.empty()) break;
        highlightLine(text, line, scratch);
        position = line.end();
    }
    for (const Range& block : blocks_.closedBlocks(lines)) {
        const Range within =
            Range::fromBounds(std::max(block.location, lines.location), std::min(block.end(), lines.end()));
        colour(text, 0, within, TextColor::darkGreen);
    }
}

void CodeHighlighter::highlightLine(TextStore& text, Range line, std::u16string& scratch) {
    const std::u16string_view characters = text.characters(line, scratch);
    if (language_ == CodeLanguage::css) styleSheetRules(text, line.location, characters);
    if (language_ == CodeLanguage::python) {
        forEachWord(characters, [&](Range word) {
            static const auto keywords = wordSet(kPredefinedStylesForPython);
            static const auto values = wordSet(kPredefinedValuesForPython);
            const std::u16string_view name = characters.substr(word.location, word.length);
            if (keywords.contains(name))
                colour(text, line.location, word, TextColor::purple);
            else if (values.contains(name))
                colour(text, line.location, word, TextColor::orange);
        });
    }
    quotedStrings(text, line.location, characters);
    if (language_ == CodeLanguage::python) scriptRules(text, line.location, characters);
}

// Tag names before the rule's "{", then each "name: value;" declaration after it: the name in
// gray, colour codes and numbers of the value in the text colour.
void CodeHighlighter::styleSheetRules(TextStore& text, std::size_t lineStart, std::u16string_view line) {
    std::size_t declarations = 0;
    const std::size_t brace = line.find(u'{');
    if (brace != std::u16string_view::npos) {
        static const auto tags = wordSet(kPredefinedStylesForCSS);
        forEachWord(line.substr(0, brace + 1), [&](Range word) {
            if (tags.contains(line.substr(word.location, word.length)))
                colour(text, lineStart, word, TextColor::orange);
        });
        declarations = brace + 1;
    }
    thread_local const RegexSearch declaration(u"\\S.*?:.*?;");
    thread_local const RegexSearch propertyName(u"\\S.*?(?=:)");
    thread_local const RegexSearch number(u"(#[0-9a-fA-F]+)|([0-9]+)");
    forEachMatch(declaration, line, declarations, 0, [&](Range found) {
        const RegexHit name = propertyName.find(line, found);
        if (!name.found()) return;
        colour(text, lineStart, name.range, TextColor::gray);
        if (found.length <= name.range.length) return;
        const std::u16string_view declarationText = line.substr(0, found.end());
        forEachMatch(number, declarationText, name.range.end(), 0,
                     [&](Range value) { colour(text, lineStart, value, TextColor::text); });
    });
}

// A comment line in gray as a whole; else a comment after a blank, from the blank on.
void CodeHighlighter::scriptRules(TextStore& text, std::size_t lineStart, std::u16string_view line) {
    thread_local const RegexSearch commentLine(u"^\\s*#");
    thread_local const RegexSearch trailingComment(u"\\s#.*$");
    const Range whole{0, line.size()};
    if (commentLine.find(line, whole).found()) {
        colour(text, lineStart, whole, TextColor::gray);
        return;
    }
    const RegexHit comment = trailingComment.find(line, whole);
    if (comment.found())
        colour(text, lineStart, Range::fromBounds(comment.range.location, line.size()), TextColor::gray);
}

// Double-quoted, then single-quoted strings; a string right after the previous one's closing
// quote is not looked for.
void CodeHighlighter::quotedStrings(TextStore& text, std::size_t lineStart, std::u16string_view line) {
    thread_local const RegexSearch doubleQuoted(u"\".*?\"");
    thread_local const RegexSearch singleQuoted(u"'.*?'");
    forEachMatch(doubleQuoted, line, 0, 1,
                 [&](Range found) { colour(text, lineStart, found, TextColor::darkRed); });
    forEachMatch(singleQuoted, line, 0, 1,
                 [&](Range found) { colour(text, lineStart, found, TextColor::blue); });
}

// The words of `text` (letters, digits and the like; never blanks or punctuation), as ICU's word
// break rules find them.
template <typename Visit> void CodeHighlighter::forEachWord(std::u16string_view text, Visit visit) {
    if (!words_ || text.empty()) return;
    UErrorCode status = U_ZERO_ERROR;
    UText utext = UTEXT_INITIALIZER;
    utext_openUChars(&utext, text.data(), static_cast<int64_t>(text.size()), &status);
    words_->setText(&utext, status);
    if (U_FAILURE(status)) {
        utext_close(&utext);
        return;
    }
    for (int32_t start = words_->first(), end = words_->next(); end != icu::BreakIterator::DONE;
         start = end, end = words_->next()) {
        if (words_->getRuleStatus() != UBRK_WORD_NONE)
            visit(Range::fromBounds(static_cast<std::size_t>(start), static_cast<std::size_t>(end)));
    }
    utext_close(&utext);
}

} // namespace quillet
