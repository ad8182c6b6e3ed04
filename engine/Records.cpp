#include "engine/Records.h"

namespace quillet {

std::string_view blockTypeName(BlockType type) {
    switch (type) {
    case BlockType::none: return "";
    case BlockType::blankline: return "blankline";
    case BlockType::linklabel: return "linklabel";
    case BlockType::header: return "header";
    case BlockType::hr: return "hr";
    case BlockType::codeblock: return "codeblock";
    case BlockType::codeparagraph: return "codeparagraph";
    case BlockType::htmlBlock: return "html block";
    case BlockType::beginHtmlBlock: return "begin html block";
    case BlockType::endHtmlBlock: return "end html block";
    case BlockType::htmlsnippet: return "htmlsnippet";
    case BlockType::list: return "list";
    case BlockType::decimallist: return "decimallist";
    case BlockType::quote: return "quote";
    }
    return "";
}

std::string_view spanTypeName(SpanType type) {
    switch (type) {
    case SpanType::none: return "";
    case SpanType::em: return "em";
    case SpanType::strong: return "strong";
    case SpanType::strikethrough: return "strikethrough";
    case SpanType::superscript: return "superscript";
    case SpanType::subscript: return "subscript";
    case SpanType::code: return "code";
    case SpanType::link: return "link";
    case SpanType::image: return "image";
    case SpanType::backslash: return "backslash";
    case SpanType::header: return "header";
    }
    return "";
}

int spanTypeId(SpanType type) {
    switch (type) {
    case SpanType::em: return 1;
    case SpanType::strong: return 2;
    case SpanType::strikethrough: return 4;
    case SpanType::code: return 8;
    case SpanType::link: return 16;
    case SpanType::image: return 64;
    case SpanType::backslash: return 256;
    case SpanType::superscript: return 512;
    case SpanType::subscript: return 1024;
    case SpanType::none:
    case SpanType::header: return 0;
    }
    return 0;
}

SpanDict SpanDict::fromHeaderBlock(const BlockDict& header) {
    SpanDict span;
    span.type = SpanType::header;
    span.range = header.range;
    span.strRange = header.strRange;
    span.depth = header.depth;
    span.quoteDepth = header.quoteDepth;
    span.headerDepth = header.headerDepth;
    return span;
}

} // namespace quillet
