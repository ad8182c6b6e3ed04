// Editor styling of one line: the block state carried in from the line above, code and HTML
// lines, link definitions, headers, list and quote containers and the indents they give.

#include "engine/MarkdownString.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace quillet {

namespace {

// A line nested deeper than this (possible only in made-up input, whose marker count can make
// the container stack grow with the square of the line length) keeps this many levels.
constexpr std::size_t kMaxContainerDepth = 256;
// How many shared paragraph styles and container stacks are kept for reuse.
constexpr std::size_t kSharedValuesKept = 1024;

// The colours and fonts one line's styling sets over parts of the line before its inline
// elements are styled, gathered so that the store sees one call for the whole line and one per
// part. A later colour or font over the whole line overrides what earlier parts set, exactly as
// if each had been set on the store in turn.
class LinePaint {
public:
    explicit LinePaint(Range line) : line_(line) {}

    TextAttributes& wholeLine() { return wholeLine_; }
    void remove(AttributeKeys keys) { removed_ |= keys; }

    void paint(Range range, std::optional<TextColor> color, Font font = Font()) {
        range =
            Range::fromBounds(std::max(range.location, line_.location), std::min(range.end(), line_.end()));
        if (range == line_) {
            for (Part& part : parts_) {
                if (color) part.color.reset();
                if (!font.isNull()) part.font = Font();
            }
            if (color) wholeLine_.foregroundColor = color;
            if (!font.isNull()) wholeLine_.font = font;
        } else if (!range.empty()) {
            parts_.push_back({range, color, font});
        }
    }

    void applyTo(TextStore& store) const {
        store.changeAttributes(line_, wholeLine_, removed_ & ~wholeLine_.keys());
        for (const Part& part : parts_) {
            if (!part.color && part.font.isNull()) continue;
            TextAttributes added;
            added.foregroundColor = part.color;
            added.font = part.font;
            store.addAttributes(part.range, added);
        }
    }

private:
    struct Part {
        Range range;
        std::optional<TextColor> color;
        Font font;
    };
    Range line_;
    TextAttributes wholeLine_;
    AttributeKeys removed_ = 0;
    std::vector<Part> parts_;
};

// Lines share few distinct paragraph styles and container stacks: each is made once (per thread)
// and shared, so that the store finds it already known.
std::shared_ptr<const ParagraphStyle> sharedParagraphStyle(const std::shared_ptr<const ParagraphStyle>& base,
                                                           double headIndent, double firstLineHeadIndent) {
    struct Key {
        const ParagraphStyle* base;
        double head;
        double firstLine;
        auto operator<=>(const Key&) const = default;
    };
    struct Entry {
        std::shared_ptr<const ParagraphStyle> base; // keeps the key's address from being reused
        std::shared_ptr<const ParagraphStyle> style;
    };
    thread_local std::map<Key, Entry> styles;
    const Key key{base.get(), headIndent, firstLineHeadIndent};
    if (const auto found = styles.find(key); found != styles.end()) return found->second.style;
    if (styles.size() >= kSharedValuesKept) styles.clear();
    ParagraphStyle style = *base;
    style.headIndent = headIndent;
    style.firstLineHeadIndent = firstLineHeadIndent;
    auto shared = std::make_shared<const ParagraphStyle>(std::move(style));
    styles.emplace(key, Entry{base, shared});
    return shared;
}

std::shared_ptr<const BlockStack> sharedBlockStack(BlockStack&& containers) {
    thread_local std::map<BlockStack, std::shared_ptr<const BlockStack>> stacks;
    if (const auto found = stacks.find(containers); found != stacks.end()) return found->second;
    if (stacks.size() >= kSharedValuesKept) stacks.clear();
    auto shared = std::make_shared<const BlockStack>(containers);
    stacks.emplace(std::move(containers), shared);
    return shared;
}

CarriedState previousLineState(const TextStore& store, Range line) {
    if (line.location < 2) return {};
    const Range previous = store.lineRange(line.location - 1);
    return CarriedState::of(store.attributesAt(previous.location));
}

Range absolute(Range inLine, Range line) {
    if (inLine.location >= line.length) return {line.end(), 0};
    return {line.location + inLine.location, std::min(inLine.length, line.length - inLine.location)};
}

bool isContainer(BlockType type) {
    return type == BlockType::list || type == BlockType::decimallist || type == BlockType::quote;
}

// Joins the containers the line opens (`opened`) to those of the line above (`above`).
BlockStack mergeContainers(BlockStack opened, const BlockStack& above, bool blankLine,
                           bool resetIndentByBlock) {
    if (above.empty()) return opened;
    if (opened.empty()) {
        BlockStack inherited = above;
        if (blankLine) inherited.pop_back();
        return inherited;
    }
    // How many of the opened containers repeat the ones above, read from the innermost out.
    std::size_t repeated = 0;
    while (repeated < above.size() && repeated < opened.size() &&
           opened[repeated] == above[above.size() - 1 - repeated])
        ++repeated;
    const bool reachedEnd = repeated == above.size() || repeated == opened.size();
    opened.erase(opened.begin(), opened.begin() + static_cast<std::ptrdiff_t>(repeated));
    if (reachedEnd || !resetIndentByBlock) opened.insert(opened.begin(), above.begin(), above.end());
    if (opened.size() > kMaxContainerDepth) opened.resize(kMaxContainerDepth);
    return opened;
}

// Registers the definition of a "linklabel" line and marks its label.
void registerDefinition(MarkdownString& engine, TextStore& store, const RangeDict& rangeDict) {
    if (!rangeDict.label || !rangeDict.range) return;
    const Range line = rangeDict.lineRange;
    std::u16string scratch;
    const std::u16string_view url = rangeDict.urlRange
                                        ? store.characters(absolute(*rangeDict.urlRange, line), scratch)
                                        : std::u16string_view();
    std::optional<std::u16string_view> options;
    if (rangeDict.options) options = *rangeDict.options;
    engine.registerLinkLabel(*rangeDict.label, url, options, *rangeDict.range);

    TextAttributes label;
    label.mdBlockLinkLabel = std::make_shared<const std::u16string>(*rangeDict.label);
    store.addAttributes(absolute(*rangeDict.range, line), label);
}

// The width of `range` of the text set with the default attributes.
double textWidth(const MarkdownString& engine, const TextStore& store, Range range) {
    std::u16string scratch;
    const std::u16string_view text = store.characters(range, scratch);
    const double tabInterval = static_cast<double>(engine.tabWidth) * engine.fontWidth;
    if (FontProvider* fonts = engine.fontProvider())
        return fonts->textWidth(text, engine.defaultAttributes().font, tabInterval);
    double width = 0;
    for (char16_t c : text)
        width = c == u'\t' && tabInterval > 0 ? (std::floor(width / tabInterval) + 1) * tabInterval
                                              : width + engine.fontWidth;
    return width;
}

} // namespace

long MarkdownString::markdown(TextStore& store, const RangeDict& rangeDict) {
    const Range line = rangeDict.lineRange;
    if (line.empty()) return 0;
    const CarriedState above = previousLineState(store, line);
    const long aboveDepth = above.indentDepth.value_or(0);
    const double indentStep = fontWidth * static_cast<double>(indentWidthByChars);
    const double headIndent = aboveDepth >= 1 ? indentStep * static_cast<double>(aboveDepth) : 0;
    const BlockType type = rangeDict.type;

    // The base styling of every line.
    LinePaint paint(line);
    TextAttributes& whole = paint.wholeLine();
    whole.foregroundColor = TextColor::text;
    whole.font = selectedFont_;
    whole.mdIndentDepth = aboveDepth;
    whole.mdBlocks = above.blocks;
    // A link or label left from the line's earlier text must not outlive it, nor containers
    // the line above no longer hands down.
    paint.remove(kCodeParagraphKey | kHtmlBlockKey | kBaselineOffsetKey | kStrikethroughKey | kLinkKey |
                 kLinkLabelKey | kBlocksKey);

    const auto finishWithIndents = [&](double head, double firstLine) {
        whole.paragraphStyle = sharedParagraphStyle(defaultAttributes_.paragraphStyle, head, firstLine);
        paint.applyTo(store);
    };

    // Lines of code and HTML blocks, and link definitions: no containers, no inline elements.
    const auto styleAsCode = [&](std::optional<double> baselineOffset) {
        whole.font = codeFont_;
        whole.foregroundColor = TextColor::darkGray;
        whole.baselineOffset = baselineOffset;
    };
    const int aboveCode = above.codeParagraph.value_or(0);
    const int aboveHtml = above.htmlBlock.value_or(0);
    bool carried = true;
    if (aboveCode >= 2) {
        whole.mdCodeParagraph = type == BlockType::codeparagraph ? 1 : 2;
        styleAsCode(4.0);
    } else if (aboveHtml >= 2) {
        whole.mdHtmlBlock = type == BlockType::endHtmlBlock ? 1 : 2;
        styleAsCode(std::nullopt);
    } else if (type == BlockType::codeparagraph) {
        whole.mdCodeParagraph = 3;
        styleAsCode(4.0);
    } else if (type == BlockType::beginHtmlBlock) {
        whole.mdHtmlBlock = 3;
        styleAsCode(std::nullopt);
    } else if (type == BlockType::codeblock) {
        double offset = 4.0;
        if (fontProvider_ && fontProvider_->fontName(codeFont_) == u"Osaka-Mono")
            offset = std::trunc(-fontProvider_->descender(codeFont_));
        styleAsCode(offset);
    } else if (type == BlockType::linklabel) {
        whole.foregroundColor = TextColor::gray;
        finishWithIndents(headIndent, headIndent);
        registerDefinition(*this, store, rangeDict);
        return aboveDepth;
    } else {
        carried = false;
    }
    if (carried) {
        finishWithIndents(headIndent, headIndent);
        return aboveDepth;
    }

    // Every other line: the containers it opens, merged with those of the line above.
    BlockStack opened;
    std::shared_ptr<const BlockStack> inherited = above.blocks;
    double firstLineIndent = headIndent;
    if (type == BlockType::blankline && markdownOptions_.resetIndentByBlankline) inherited.reset();
    if (type == BlockType::header) {
        paint.paint(line, TextColor::gray);
        if (rangeDict.strRange) paint.paint(absolute(*rangeDict.strRange, line), TextColor::text, boldFont_);
        opened.push_back(BlockType::header);
        if (markdownOptions_.resetIndentByHeader) {
            inherited.reset();
            firstLineIndent = 0;
        }
    }

    long levels = 0; // the running total of the line's items
    std::optional<std::size_t> hangingEnd;
    for (const BlockDict& item : rangeDict.blockArray) {
        const Range markup = Range::fromBounds(item.range.location, item.strRange.location);
        paint.paint(absolute(markup, line), TextColor::gray);
        if (item.type == BlockType::header) {
            levels = item.depth;
            paint.paint(line, TextColor::gray);
            paint.paint(absolute(item.strRange, line), TextColor::text, boldFont_);
        } else if (isContainer(item.type)) {
            const long inheritedCount = inherited ? static_cast<long>(inherited->size()) : 0;
            const long depth =
                item.quoteDepth <= inheritedCount ? item.depth : item.quoteDepth - inheritedCount;
            if (levels + depth >= 1) {
                const std::size_t room = kMaxContainerDepth - std::min(opened.size(), kMaxContainerDepth);
                opened.insert(opened.end(), std::min(static_cast<std::size_t>(levels + depth), room),
                              item.type);
            }
            levels += depth;
            hangingEnd = item.strRange.location;
        }
    }

    BlockStack containers = inherited
                                ? mergeContainers(std::move(opened), *inherited, type == BlockType::blankline,
                                                  markdownOptions_.resetIndentByBlock)
                                : std::move(opened);
    long depth = 0;
    if (containers.empty()) {
        depth = markdownOptions_.indentNormalLines ? 1 : 0;
    } else if (containers.front() == BlockType::header) {
        containers.erase(containers.begin());
    } else {
        depth = static_cast<long>(containers.size());
    }
    whole.mdIndentDepth = depth;
    whole.mdBlocks = sharedBlockStack(std::move(containers));

    double head = headIndent;
    if (depth >= 1) {
        head = indentStep * static_cast<double>(depth);
        firstLineIndent =
            hangingEnd ? head - textWidth(*this, store, {line.location, std::min(*hangingEnd, line.length)})
                       : head;
    }
    finishWithIndents(head, firstLineIndent);

    for (const SpanDict& span : rangeDict.spanArray)
        markdown(store, span, line);
    return depth;
}

} // namespace quillet
