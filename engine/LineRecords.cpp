// The record of one line: its single-line kind or its nested list and quote markers, where its
// inline content lies, and that content's inline elements.

#include "engine/MarkdownString.h"

namespace quillet {

namespace {

bool isBlankLine(std::u16string_view s) {
    return s.empty() || s == u"\n";
}

bool opensNesting(BlockType type) {
    return type == BlockType::list || type == BlockType::decimallist || type == BlockType::quote;
}

void copyLinkDefinition(const BlockDict& definition, RangeDict& record) {
    record.strRange = definition.strRange;
    record.range = definition.range;
    record.label = definition.label;
    record.urlRange = definition.urlRange;
    record.options = definition.options;
}

// Walks the markers that follow `outer` on the same line, from the outside in, and records
// the innermost content. A header ends the walk as the item's content; so does a block whose
// content does not move past the range examined (a link definition: its content is the whole
// range), which therefore counts as plain content.
void addNestedMarkers(MarkdownString& engine, std::u16string_view line, BlockDict&& outer,
                      RangeDict& record) {
    Range content = outer.strRange;
    long depth = outer.depth;
    record.blockArray.push_back(std::move(outer));
    for (;;) {
        std::optional<BlockDict> inner = engine.findBlockElement(line, content, 0);
        if (inner && inner->type == BlockType::header && inner->range.location != 0) {
            SpanDict header = SpanDict::fromHeaderBlock(*inner);
            content = inner->strRange;
            header.spanArray = engine.findSpanElements(line, content);
            record.spanArray.push_back(std::move(header));
            break;
        }
        if (!inner || inner->strRange.location <= content.location) {
            record.spanArray = engine.findSpanElements(line, content);
            break;
        }
        content = inner->strRange;
        depth += inner->depth;
        record.blockArray.push_back(std::move(*inner));
    }
    record.depth = depth;
    record.strRange = content;
}

} // namespace

RangeDict MarkdownString::rangeDictForLine(std::u16string_view line, Range range) {
    RangeDict record;
    record.lineRange = range;
    if (isBlankLine(line)) {
        record.type = BlockType::blankline;
        return record;
    }
    std::optional<BlockDict> block = findBlockElement(line, range, 0);
    if (!block) {
        record.spanArray = findSpanElements(line, range);
        return record;
    }
    if (opensNesting(block->type)) {
        addNestedMarkers(*this, line, std::move(*block), record);
        return record;
    }
    record.type = block->type;
    record.strRange = block->strRange;
    if (block->type == BlockType::linklabel) {
        copyLinkDefinition(*block, record);
    } else if (block->type == BlockType::header) {
        record.spanArray = findSpanElements(line, range);
        record.depth = block->depth;
        record.headerDepth = block->headerDepth;
    }
    return record;
}

} // namespace quillet
