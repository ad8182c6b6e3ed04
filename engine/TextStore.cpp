#include "engine/TextStore.h"

#include <algorithm>

namespace quillet {

std::string_view textColorName(TextColor color) {
    switch (color) {
    case TextColor::text:
        return "text";
    case TextColor::gray:
        return "gray";
    case TextColor::darkGray:
        return "darkGray";
    case TextColor::orange:
        return "orange";
    case TextColor::purple:
        return "purple";
    case TextColor::darkRed:
        return "darkRed";
    case TextColor::blue:
        return "blue";
    case TextColor::darkGreen:
        return "darkGreen";
    }
    return "text";
}

namespace {

template <typename T> bool sameValue(const std::shared_ptr<const T>& a, const std::shared_ptr<const T>& b) {
    if (a == b) return true;
    return a && b && *a == *b;
}

} // namespace

AttributeKeys TextAttributes::keys() const {
    AttributeKeys keys = 0;
    if (foregroundColor) keys |= kForegroundColorKey;
    if (!font.isNull()) keys |= kFontKey;
    if (paragraphStyle) keys |= kParagraphStyleKey;
    if (baselineOffset) keys |= kBaselineOffsetKey;
    if (strikethroughStyle) keys |= kStrikethroughKey;
    if (link) keys |= kLinkKey;
    if (mdCodeParagraph) keys |= kCodeParagraphKey;
    if (mdHtmlBlock) keys |= kHtmlBlockKey;
    if (mdIndentDepth) keys |= kIndentDepthKey;
    if (mdBlocks) keys |= kBlocksKey;
    if (mdBlockLinkLabel) keys |= kLinkLabelKey;
    return keys;
}

void TextAttributes::apply(const TextAttributes& added, AttributeKeys removed) {
    if (added.foregroundColor) foregroundColor = added.foregroundColor;
    if (!added.font.isNull()) font = added.font;
    if (added.paragraphStyle) paragraphStyle = added.paragraphStyle;
    if (added.baselineOffset) baselineOffset = added.baselineOffset;
    if (added.strikethroughStyle) strikethroughStyle = added.strikethroughStyle;
    if (added.link) link = added.link;
    if (added.mdCodeParagraph) mdCodeParagraph = added.mdCodeParagraph;
    if (added.mdHtmlBlock) mdHtmlBlock = added.mdHtmlBlock;
    if (added.mdIndentDepth) mdIndentDepth = added.mdIndentDepth;
    if (added.mdBlocks) mdBlocks = added.mdBlocks;
    if (added.mdBlockLinkLabel) mdBlockLinkLabel = added.mdBlockLinkLabel;

    if (removed & kForegroundColorKey) foregroundColor.reset();
    if (removed & kFontKey) font = Font();
    if (removed & kParagraphStyleKey) paragraphStyle.reset();
    if (removed & kBaselineOffsetKey) baselineOffset.reset();
    if (removed & kStrikethroughKey) strikethroughStyle.reset();
    if (removed & kLinkKey) link.reset();
    if (removed & kCodeParagraphKey) mdCodeParagraph.reset();
    if (removed & kHtmlBlockKey) mdHtmlBlock.reset();
    if (removed & kIndentDepthKey) mdIndentDepth.reset();
    if (removed & kBlocksKey) mdBlocks.reset();
    if (removed & kLinkLabelKey) mdBlockLinkLabel.reset();
}

bool operator==(const TextAttributes& a, const TextAttributes& b) {
    return a.foregroundColor == b.foregroundColor && a.font == b.font &&
           sameValue(a.paragraphStyle, b.paragraphStyle) && a.baselineOffset == b.baselineOffset &&
           a.strikethroughStyle == b.strikethroughStyle && sameValue(a.link, b.link) &&
           a.mdCodeParagraph == b.mdCodeParagraph && a.mdHtmlBlock == b.mdHtmlBlock &&
           a.mdIndentDepth == b.mdIndentDepth && sameValue(a.mdBlocks, b.mdBlocks) &&
           sameValue(a.mdBlockLinkLabel, b.mdBlockLinkLabel);
}

CarriedState CarriedState::of(const TextAttributes& attributes) {
    return {attributes.mdCodeParagraph, attributes.mdHtmlBlock, attributes.mdIndentDepth,
            attributes.mdBlocks};
}

bool operator==(const CarriedState& a, const CarriedState& b) {
    return a.codeParagraph == b.codeParagraph && a.htmlBlock == b.htmlBlock &&
           a.indentDepth == b.indentDepth && sameValue(a.blocks, b.blocks);
}

Range lineRangeIn(std::u16string_view text, std::size_t position) {
    position = std::min(position, text.size());
    std::size_t start = position;
    if (start > 0 && start < text.size() && text[start] == u'\n' && text[start - 1] == u'\r') --start;
    std::size_t end = start;
    while (start > 0 && !isLineTerminator(text[start - 1]))
        --start;
    while (end < text.size() && !isLineTerminator(text[end]))
        ++end;
    if (end < text.size()) {
        const bool crLf = text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n';
        end += crLf ? 2 : 1;
    }
    return Range::fromBounds(start, end);
}

} // namespace quillet
