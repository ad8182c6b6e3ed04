#pragma once
// MarkdownString: the Markdown engine. One object holds the options, the font metrics used for
// indentation, the link-label table and the compiled patterns, and serves both the editor
// styling and the conversion of a note into HTML, so both see the same link labels.
//
// Not thread-safe: each engine belongs to one thread. Patterns are compiled once per process;
// their matchers are per thread (see RegexSearch). The implementation is split by concern:
//   MarkdownString.cpp       start-up, options
//   BlockClassifier.cpp      findBlockElement, countCharacter, isHorizontalRules, tabCount
//   LineRecords.cpp          rangeDictForLine
//   LinkLabels.cpp           the label table and the engine's label operations
//   SpanParser.cpp           findSpanElements, findSpanElement, findLinkElement
//   HtmlGenerator.cpp        bodyElementFromString, RQhtmlFromSpanArray, htmlStringFromBody
//   EditorStyling*.cpp       editor styling: fonts, one line, inline elements, restyling

#include "engine/FontProvider.h"
#include "engine/LinkLabels.h"
#include "engine/MarkdownOptions.h"
#include "engine/RQXMLElementRef.h"
#include "engine/Range.h"
#include "engine/Records.h"
#include "engine/TextStore.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// Takes children of a note's body that no later line can change, in document order.
using FinishedBodyChildren = std::function<void(std::span<const RQXMLChild>)>;

// Folders the "pictures:" and "iCloudDrive:" image schemes resolve to. An unset folder makes
// the scheme an ordinary URL.
struct ImageFolders {
    std::optional<std::filesystem::path> pictures;       // ~/Pictures
    std::optional<std::filesystem::path> cloudDocuments; // the cloud container's "Documents"

    // ~/Pictures from $HOME (the part before "Library/Containers" when the home lies inside an
    // application container); no cloud container.
    static ImageFolders fromEnvironment();
};

class MarkdownString {
public:
    // Reads "RQ1DmarkdownOptions" through `defaults`; when absent installs the six-key default
    // dictionary and writes it back. `defaults` is only used during construction.
    explicit MarkdownString(MarkdownDefaults& defaults);
    // Built-in default options, no user defaults.
    MarkdownString();
    ~MarkdownString();
    MarkdownString(const MarkdownString&) = delete;
    MarkdownString& operator=(const MarkdownString&) = delete;

    // ---- Options and fields ----
    const MarkdownOptions& markdownOptions() const { return markdownOptions_; }
    // Stores the options, forgets every registered link label, recomputes the indent fields.
    void setMarkdownOptions(const MarkdownOptions& options);

    double fontWidth = 10.0;
    double indentWidth = 30.0;
    long indentWidthByChars = 3;
    long tabWidth = 4;
    void setFontWidth(double width); // recomputes indentWidth

    ImageFolders imageFolders = ImageFolders::fromEnvironment();

    // ---- Line classification ----
    std::optional<BlockDict> findBlockElement(std::u16string_view s, Range range, long depth);
    static long countCharacter(char16_t c, std::u16string_view line, Range& range);
    static long isHorizontalRules(std::u16string_view line);
    static long tabCount(std::u16string_view text);

    // ---- Line records ----
    RangeDict rangeDictForLine(std::u16string_view line, Range range);

    // ---- Link labels ----
    void registerLinkLabel(std::u16string_view label, std::u16string_view url,
                           std::optional<std::u16string_view> options, Range range);
    LinkLabelRef linkLabel(std::u16string_view label, Range range);
    void removeLinkLabel(std::u16string_view label);
    void disableLinkForLabel(std::u16string_view label, Range range);
    LinkLabelRef labelDictForLabel(std::u16string_view label) const;
    // Classifies every line of the text once so that all its definitions are registered.
    void createLocalLinkLables(std::u16string_view text);
    // Registers the same definitions as createLocalLinkLables without parsing inline elements,
    // so no uses are recorded. Converting the text afterwards gives the same HTML: each line
    // records its own uses when it is classified, before its links are resolved.
    void registerLinkDefinitions(std::u16string_view text);
    const std::vector<LinkLabelRef>& localLinkLabels() const { return linkLabels_.records(); }
    void setLocalLinkLabels(std::vector<LinkLabelRef> labels) { linkLabels_.setRecords(std::move(labels)); }
    const LinkLabelTable& linkLabelTable() const { return linkLabels_; }

    // ---- Inline elements ----
    std::vector<SpanDict> findSpanElements(std::u16string_view s, Range range);
    std::optional<SpanDict> findSpanElement(std::u16string_view s, Range range);
    SpanDict findLinkElement(std::u16string_view s, Range range);

    // ---- HTML ----
    // `baseURL`: the folder the HTML document will be written to (local images are copied there).
    RQXMLElementRef bodyElementFromString(std::u16string_view text,
                                          const std::optional<std::filesystem::path>& baseURL);
    // The same body built as a stream: its children are handed to `finished` as soon as no later
    // line can change them, then dropped, and the body comes back holding the rest. A long
    // note's tree never exists whole, and the memory of the finished part is used again.
    RQXMLElementRef bodyElementFromString(std::u16string_view text,
                                          const std::optional<std::filesystem::path>& baseURL,
                                          const FinishedBodyChildren& finished);
    std::vector<RQXMLElementRef> RQhtmlFromSpanArray(const std::vector<SpanDict>& spans,
                                                     std::u16string_view line, Range range,
                                                     const std::optional<std::filesystem::path>& baseURL);
    static std::u16string htmlStringFromBody(const RQXMLElementRef& body, std::u16string_view title,
                                             std::u16string_view lang, std::u16string_view css);
    // The same document written at the end of `out`, so that a caller who knows about how long
    // it will be can reserve the room once.
    static void appendHtmlStringFromBody(std::u16string& out, const RQXMLElementRef& body,
                                         std::u16string_view title, std::u16string_view lang,
                                         std::u16string_view css);
    // The same document as a nameless element (the doctype, then the "html" element), for
    // writing it to another output with RQXMLElement::writeXMLString.
    static RQXMLElementRef htmlDocumentFromBody(const RQXMLElementRef& body, std::u16string_view title,
                                                std::u16string_view lang);
    static std::u16string htmlEscape(std::u16string_view text);

    // ---- Editor styling ----
    // Makes `font` the editor font and derives the character width, the code, bold, italic and
    // bold italic fonts and the default paragraph style from it. `fonts` measures and derives
    // fonts for the styling from then on and must outlive it.
    void setMarkdownFont(Font font, FontProvider& fonts);
    Font italicFont(Font font);
    Font boldFont(Font font);
    Font boldItalicFont(Font font);
    // Styles one line of `store` (its "lineRange" set to the line's place); returns the line's
    // indent depth.
    long markdown(TextStore& store, const RangeDict& rangeDict);
    // Styles one inline element of the line at `lineRange`, its nested elements first.
    void markdown(TextStore& store, const SpanDict& spanDict, Range lineRange);
    // Before `range` of `text` changes: withdraws the link definitions of the lines it touches.
    void preprocessMarkdown(const TextStore& text, Range range);
    // After `range` changed (or to restyle everything): restyles the lines it touches, then the
    // following lines while their block state may have changed. Returns the range restyled,
    // which begins at range.location.
    Range processMarkdown(TextStore& store, Range range);

    const TextAttributes& defaultAttributes() const { return defaultAttributes_; }
    Font selectedFont() const { return selectedFont_; }
    Font codeFont() const { return codeFont_; }
    Font boldFont() const { return boldFont_; }
    Font italicFont() const { return italicFont_; }
    Font boldItalicFont() const { return boldItalicFont_; }
    FontProvider* fontProvider() const { return fontProvider_; }

private:
    MarkdownOptions markdownOptions_;
    LinkLabelTable linkLabels_;
    // Editor styling.
    static TextAttributes initialDefaultAttributes();
    TextAttributes defaultAttributes_ = initialDefaultAttributes();
    Font selectedFont_, codeFont_, boldFont_, italicFont_, boldItalicFont_;
    FontProvider* fontProvider_ = nullptr;
};

} // namespace quillet
