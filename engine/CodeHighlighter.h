#pragma once
// Colours style sheets and Python scripts in the editor: tag names, property names, numbers,
// quoted strings, keywords and comments get foreground colours by line-based rules, then the
// closed comment blocks are coloured as a whole over them. After an edit only the edited lines
// and the comment blocks the edit changed are coloured again; the foreground of those lines is
// cleared first, so that a colour never outlives the text that earned it.

#include "engine/CommentBlocks.h"
#include "engine/Range.h"
#include "engine/TextStore.h"

#include <memory>
#include <string>
#include <string_view>
#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class BreakIterator;
U_NAMESPACE_END

namespace quillet {

enum class CodeLanguage { none, css, python };

// The language of a type identifier: "public.css", "public.python-script", else none.
CodeLanguage codeLanguageForType(std::string_view typeIdentifier);

class CodeHighlighter {
public:
    CodeHighlighter();
    ~CodeHighlighter();
    CodeHighlighter(const CodeHighlighter&) = delete;
    CodeHighlighter& operator=(const CodeHighlighter&) = delete;

    // A new language forgets the comment blocks: the next highlightAll() finds them again.
    void setLanguage(CodeLanguage language);
    CodeLanguage language() const { return language_; }

    // Colours the whole text.
    void highlightAll(TextStore& text);
    // After the `removed` characters at `location` were replaced by `added` new ones: colours
    // the lines that changed and returns them (empty without a language). Until highlightAll()
    // has run for the current text, the whole text is coloured.
    Range textReplaced(TextStore& text, std::size_t location, std::size_t removed, std::size_t added);
    // The text changed without the highlighter being told: the next edit colours everything.
    void invalidate() { current_ = false; }

    const CommentBlocks& commentBlocks() const { return blocks_; }

private:
    void highlightLines(TextStore& text, Range lines);
    void highlightLine(TextStore& text, Range line, std::u16string& scratch);
    void styleSheetRules(TextStore& text, std::size_t lineStart, std::u16string_view line);
    void scriptRules(TextStore& text, std::size_t lineStart, std::u16string_view line);
    void quotedStrings(TextStore& text, std::size_t lineStart, std::u16string_view line);
    template <typename Visit> void forEachWord(std::u16string_view text, Visit visit);

    CodeLanguage language_ = CodeLanguage::none;
    CommentBlocks blocks_;
    bool current_ = false;
    std::unique_ptr<icu::BreakIterator> words_;
};

} // namespace quillet
