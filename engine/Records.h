#pragma once
// The records the parser produces: one block marker of a line (BlockDict), one inline element
// (SpanDict) and one classified line (RangeDict). Field names follow the record keys; an absent
// key is an empty std::optional (or an empty array). All ranges are line-relative except
// RangeDict::lineRange, which callers set to the line's range in the whole text.

#include "engine/Range.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

enum class BlockType {
    none, // no "type" key: a plain line
    blankline,
    linklabel,
    header,
    hr,
    codeblock,
    codeparagraph,
    htmlBlock,      // "html block"
    beginHtmlBlock, // "begin html block"
    endHtmlBlock,   // "end html block"
    htmlsnippet,    // accepted like the HTML kinds; the classifier never produces it
    list,
    decimallist,
    quote,
};

// The record key text of a type ("html block", "decimallist", ...); "" for none.
std::string_view blockTypeName(BlockType type);

enum class SpanType {
    none, // "" : a place where no element begins
    em,
    strong,
    strikethrough,
    superscript,
    subscript,
    code,
    link,
    image,
    backslash,
    header, // a header BlockDict carried in a line's spanArray (a header inside a list or quote item)
};

std::string_view spanTypeName(SpanType type);
// "em" 1, "strong" 2, "strikethrough" 4, "code" 8, "link" 16, "image" 64, "backslash" 256,
// "superscript" 512, "subscript" 1024; 0 for none and header.
int spanTypeId(SpanType type);

struct BlockDict {
    BlockType type = BlockType::none;
    long depth = 0;
    long quoteDepth = 0;
    long headerDepth = 0; // present only when >= 1
    Range strRange;
    Range range;
    std::optional<std::u16string> decimalDigit; // only when not "1"
    // "linklabel" only:
    std::u16string label;
    std::u16string urlString;
    Range urlRange;
    std::optional<std::u16string> options;

    bool hasHeaderDepth() const { return headerDepth >= 1; }
};

enum class LinkType { none, external, local };

struct SpanDict {
    SpanType type = SpanType::none;
    int typeId = 0;
    std::optional<Range> range; // absent: nothing begins at the candidate
    Range strRange;
    std::vector<SpanDict> spanArray;
    // "link" and "image":
    LinkType linkType = LinkType::none;
    Range refRange;
    Range urlRange;
    std::u16string reference;
    std::optional<Range> optionRange; // external links and images only
    // A header BlockDict in a line's spanArray (type header) keeps its block fields:
    long depth = 0;
    long quoteDepth = 0;
    long headerDepth = 0;

    bool hasRange() const { return range.has_value(); }
    // The header BlockDict of a nested header, carried as a span (its own spanArray left empty).
    static SpanDict fromHeaderBlock(const BlockDict& header);
};

struct RangeDict {
    Range lineRange;
    BlockType type = BlockType::none; // none: no "type" key
    std::optional<Range> strRange;    // every classified line (absent on plain and blank lines)
    std::vector<SpanDict> spanArray;
    std::vector<BlockDict> blockArray;
    std::optional<long> depth;       // header (1) and lines with a blockArray
    std::optional<long> headerDepth; // "header"
    // "linklabel":
    std::optional<Range> range;
    std::optional<std::u16string> label;
    std::optional<Range> urlRange;
    std::optional<std::u16string> options;
};

} // namespace quillet
