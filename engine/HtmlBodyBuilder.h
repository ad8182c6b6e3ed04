#pragma once
// Builds the "body" element of a note, line by line: each line is classified, the fence and
// HTML-block states advance, and the first matching rule places the line's output relative to
// the current container. Marker lines (list and quote markers) build a fragment of nested
// containers that is joined to the tree (HtmlMarkerLines.cpp).

#include "engine/HtmlContainerPath.h"
#include "engine/MarkdownString.h"
#include "engine/RQXMLArena.h"
#include "engine/RQXMLElement.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace quillet::html {

// Where a line stands relative to a fenced block or an HTML block.
enum class BlockState { outside, first, inside, last };

class HtmlBodyBuilder {
public:
    HtmlBodyBuilder(MarkdownString& engine, const std::optional<std::filesystem::path>& baseURL);

    // With `finished`, the body's finished children go there as the lines are read (see
    // MarkdownString::bodyElementFromString).
    RQXMLElementRef build(std::u16string_view text, const FinishedBodyChildren* finished = nullptr);

private:
    // One nesting level of a marker line's fragment: a list with its item, or a blockquote.
    struct FragmentLevel {
        RQXMLElementRef element;
        RQXMLElement* item = nullptr; // the "li" of a list level
        bool isQuote = false;
    };
    struct Fragment {
        RQXMLElementRef root;
        std::vector<FragmentLevel> levels; // outside in
        RQXMLElementRef content;           // the "p" (or header) of the innermost level
        bool hasQuote = false;
    };

    void handleLine(std::u16string_view line, const RangeDict& record);
    void handOverFinishedChildren();
    void advanceStates(BlockType type);

    // The rules, in the order they are tried.
    void blankLine();
    void htmlLine(std::u16string_view line);
    void closingFence();
    void codeLineInFence(std::u16string_view line);
    void openingFence();
    void horizontalRule();
    void header(std::u16string_view line, const RangeDict& record);
    void indentedCode(std::u16string_view line, const RangeDict& record);
    void plainLine(std::u16string_view line, const RangeDict& record);
    void markerLine(std::u16string_view line, const RangeDict& record);

    // Placement shared by the rules.
    RQXMLElement* enterBlockContainer();
    void addBesideCurrentBlock(const RQXMLElementRef& element);
    void placeCodeBlock(const RQXMLElementRef& pre);
    void descend(long times);
    void appendInline(RQXMLElement& target, std::u16string_view line, const std::vector<SpanDict>& spans,
                      Range range);

    // Marker lines.
    void buildFragment(std::u16string_view line, const RangeDict& record);
    void addFragmentLevel(RQXMLElementRef element, RQXMLElement* item, bool isQuote, RQXMLElement*& tip);
    void normalizeJoinPoint();
    void joinAsList();
    void continueList(std::size_t anchor, RQXMLElement* x, long k);
    void startNewBlock(std::size_t anchor, long k);
    void joinByMarkers();
    std::size_t nestingAnchor(std::size_t matched) const;

    MarkdownString& engine_;
    const MarkdownOptions& options_;
    const std::optional<std::filesystem::path>& baseURL_;
    RQXMLElementRef body_;
    ContainerPath path_;
    BlockState fence_ = BlockState::outside;
    BlockState html_ = BlockState::outside;
    Fragment fragment_; // reused from line to line
    // Streaming: where the finished children go, and the body's size at which to look again.
    const FinishedBodyChildren* finished_ = nullptr;
    std::size_t handOverAt_ = 0;
    std::optional<RQXMLArenaScope> arena_;
};

} // namespace quillet::html
