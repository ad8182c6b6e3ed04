#include "engine/HtmlBodyBuilder.h"

#include "engine/CharacterSets.h"
#include "engine/HtmlInline.h"
#include "engine/LineEndScan.h"
#include "engine/RQXMLArena.h"

#include <algorithm>

namespace quillet::html {

namespace {

// The characters that end a line in the platform's text system (VT and FF do not).
bool endsLine(char16_t c) {
    if (c <= u'\r') return c == u'\n' || c == u'\r';
    // Letters and most punctuation: one more comparison.
    if (c < 0x0085) return false;
    return c == 0x0085 || c == 0x2028 || c == 0x2029;
}

// The length of the line starting at `start`, its terminator (CR LF counted as one) included.
std::size_t lineLengthWithTerminator(std::u16string_view text, std::size_t start) {
    std::size_t end = start;
    while (end < text.size()) {
        end = skipToLineEndOr<>(text, end);
        if (end == text.size() || endsLine(text[end])) break;
        ++end;
    }
    if (end == text.size()) return end - start;
    const bool crlf = text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n';
    return end + (crlf ? 2 : 1) - start;
}

std::u16string_view slice(std::u16string_view line, Range range) {
    if (range.location >= line.size()) return {};
    return line.substr(range.location, std::min(range.length, line.size() - range.location));
}

// How many children of the body are handed over at a time when streaming.
constexpr std::size_t kHandOverBatch = 64;
// When streaming, the arena is renewed once it holds this much.
constexpr std::size_t kArenaBytesPerBatch = 2 * 1024 * 1024;

bool isOpen(BlockState state) {
    return state == BlockState::first || state == BlockState::inside;
}

} // namespace

HtmlBodyBuilder::HtmlBodyBuilder(MarkdownString& engine, const std::optional<std::filesystem::path>& baseURL)
    : engine_(engine), options_(engine.markdownOptions()), baseURL_(baseURL),
      body_(RQXMLElement::elementWithName(u"body")), path_(body_.get()) {}

RQXMLElementRef HtmlBodyBuilder::build(std::u16string_view text, const FinishedBodyChildren* finished) {
    // The tree is made, written and dropped as a whole: its elements come from one arena (one
    // at a time when streaming).
    arena_.emplace();
    finished_ = finished;
    handOverAt_ = kHandOverBatch;
    std::size_t position = 0;
    while (position < text.size()) {
        std::u16string_view line = text.substr(position, lineLengthWithTerminator(text, position));
        // One newline character goes: a CR LF line keeps its CR, as the line records do.
        if (!line.empty() && isNewline(line.back())) line.remove_suffix(1);
        RangeDict record = engine_.rangeDictForLine(line, Range{0, line.size()});
        record.lineRange = Range{position, line.size()};
        handleLine(line, record);
        if (finished_ && body_->children().size() >= handOverAt_) handOverFinishedChildren();
        position += line.size() + 1;
    }
    arena_.reset();
    return body_;
}

// Lines only ever change the chain of open containers and add to the end of the body, so the
// body's children before the one the chain runs through (before the last one, when the body
// itself is current) are finished.
void HtmlBodyBuilder::handOverFinishedChildren() {
    const std::span<const RQXMLChild> children = body_->children();
    const RQXMLElement* open = path_.size() > 1 ? path_.at(1) : body_->lastChildElement();
    std::size_t finished = children.size() - 1;
    if (open) {
        while (finished > 0 && children[finished].element() != open)
            --finished;
    }
    if (finished > 0) {
        (*finished_)(children.first(finished));
        body_->removeLeadingChildren(finished);
    }
    // Looking again only after the body has grown by a batch, or doubled when the open child
    // keeps many behind it, keeps the search for it linear over the note.
    const std::size_t left = body_->children().size();
    handOverAt_ = std::max(left + kHandOverBatch, 2 * left);
    // The arena's lists and texts are never used again once their elements go; a fresh arena
    // lets the old one go with its last element, so the memory stays that of a few batches.
    if (arena_->arena().slabBytes() >= kArenaBytesPerBatch) {
        arena_.reset();
        arena_.emplace();
    }
}

// A block that began first wins until it closes: inside a fence every line is code, inside an
// HTML block every line is HTML. A closing line may follow the opening line directly, and the
// line after a closing line is looked at as outside, so it may open the next block at once.
void HtmlBodyBuilder::advanceStates(BlockType type) {
    if (isOpen(fence_)) {
        fence_ = type == BlockType::codeparagraph ? BlockState::last : BlockState::inside;
        html_ = BlockState::outside;
    } else if (isOpen(html_)) {
        html_ = type == BlockType::endHtmlBlock ? BlockState::last : BlockState::inside;
        fence_ = BlockState::outside;
    } else {
        fence_ = type == BlockType::codeparagraph ? BlockState::first : BlockState::outside;
        html_ = type == BlockType::beginHtmlBlock ? BlockState::first : BlockState::outside;
    }
}

void HtmlBodyBuilder::handleLine(std::u16string_view line, const RangeDict& record) {
    const BlockType type = record.type;
    advanceStates(type);
    // Blank lines inside a fence are code too: a fenced block keeps its text whole.
    if (fence_ == BlockState::inside) return codeLineInFence(line);
    if (type == BlockType::blankline) return blankLine();
    if (html_ != BlockState::outside || type == BlockType::htmlBlock || type == BlockType::htmlsnippet) {
        return htmlLine(line);
    }
    if (fence_ == BlockState::last) return closingFence();
    if (fence_ == BlockState::first) return openingFence();
    switch (type) {
    case BlockType::hr:
        return horizontalRule();
    case BlockType::header:
        return header(line, record);
    case BlockType::codeblock:
        return indentedCode(line, record);
    case BlockType::linklabel:
        return plainLine(line, record);
    case BlockType::none:
        if (record.blockArray.empty()) return plainLine(line, record);
        return markerLine(line, record);
    default:
        return; // a stray HTML end tag outside any HTML block: no rule takes it
    }
}

// ---- Placement ----

// Block output goes beside a paragraph or an indented code block (never into it), into the
// last item of a list, else into the current container; that container becomes current.
RQXMLElement* HtmlBodyBuilder::enterBlockContainer() {
    RQXMLElement* current = path_.current();
    if ((isNamed(current, u"p") || isNamed(current, u"pre")) && path_.currentIndex() > 0) {
        path_.truncateTo(path_.currentIndex() - 1);
    } else if (isList(current)) {
        if (RQXMLElement* item = current->lastChildElement()) path_.push(item);
    }
    return path_.current();
}

// A rule or header: into the last item of a current list, beside a current paragraph or code
// block (whose container becomes current), else into the current container.
void HtmlBodyBuilder::addBesideCurrentBlock(const RQXMLElementRef& element) {
    RQXMLElement* current = path_.current();
    if (isList(current)) {
        RQXMLElement* item = current->lastChildElement();
        (item ? item : current)->addChild(element);
    } else if ((isNamed(current, u"pre") || isNamed(current, u"p")) && path_.currentIndex() > 0) {
        path_.truncateTo(path_.currentIndex() - 1);
        path_.current()->addChild(element);
    } else {
        current->addChild(element);
    }
}

void HtmlBodyBuilder::placeCodeBlock(const RQXMLElementRef& pre) {
    enterBlockContainer()->addChild(pre);
    path_.push(pre.get());
}

// Moves the current container down `times` levels, each time to the last child (an item's last
// child in place of the item).
void HtmlBodyBuilder::descend(long times) {
    for (long step = 0; step < times; ++step) {
        RQXMLElement* next = path_.current()->lastChildElement();
        if (next && isListItem(next)) {
            path_.push(next);
            next = next->lastChildElement();
        }
        if (!next) return;
        path_.push(next);
    }
}

void HtmlBodyBuilder::appendInline(RQXMLElement& target, std::u16string_view line,
                                   const std::vector<SpanDict>& spans, Range range) {
    appendInlineContent(engine_, spans, line, range, baseURL_, target);
}

// ---- Rules ----

// One blank line ends a code block and steps out of one level of list or quote.
void HtmlBodyBuilder::blankLine() {
    if (options_.resetIndentByBlankline) return path_.reset();
    std::size_t index = path_.currentIndex();
    if (index > 0 && isNamed(path_.at(index), u"pre")) {
        --index;
        if (index > 0 && isListItem(path_.at(index))) --index;
    }
    if (index > 0 && (isBlockquote(path_.at(index)) || isList(path_.at(index)))) {
        --index;
        if (index > 0 && isListItem(path_.at(index))) --index;
    }
    path_.truncateTo(index);
}

void HtmlBodyBuilder::htmlLine(std::u16string_view line) {
    auto node = RQXMLElement::elementWithName({});
    RQXMLTextAppender text = node->textForAppending();
    text.reserveMore(line.size() + 1);
    text += line;
    text += u'\n';
    enterBlockContainer()->addChild(std::move(node));
}

void HtmlBodyBuilder::closingFence() {
    const std::size_t index = path_.currentIndex();
    if (index >= 2 && isNamed(path_.current(), u"code")) path_.truncateTo(index - 2);
}

void HtmlBodyBuilder::codeLineInFence(std::u16string_view line) {
    RQXMLElement* current = path_.current();
    if (isNamed(current, u"code")) {
        RQXMLTextAppender text = current->textForAppending();
        text.appendHtmlEscaped(line);
        text += u'\n';
        return;
    }
    auto code = RQXMLElement::elementWithName(u"code");
    RQXMLTextAppender text = code->textForAppending();
    text.appendHtmlEscaped(line);
    text += u'\n';
    auto pre = RQXMLElement::elementWithName(u"pre");
    pre->addChild(code);
    placeCodeBlock(pre);
    path_.push(code.get());
}

// The text after the fence (a language word) is not used.
void HtmlBodyBuilder::openingFence() {
    auto code = RQXMLElement::elementWithName(u"code", std::u16string_view());
    auto pre = RQXMLElement::elementWithName(u"pre");
    pre->addChild(code);
    placeCodeBlock(pre);
    path_.push(code.get());
}

void HtmlBodyBuilder::horizontalRule() {
    addBesideCurrentBlock(RQXMLElement::elementWithName(u"hr"));
}

void HtmlBodyBuilder::header(std::u16string_view line, const RangeDict& record) {
    // Six levels exist in HTML; deeper headers are written as the deepest.
    const long depth = std::clamp(record.headerDepth.value_or(1), 1L, 6L);
    auto element =
        RQXMLElement::elementWithName(u"h" + std::u16string(1, static_cast<char16_t>(u'0' + depth)));
    appendInline(*element, line, record.spanArray, record.strRange.value_or(Range{0, line.size()}));
    if (options_.resetIndentByHeader) {
        body_->addChild(element);
        path_.reset();
        return;
    }
    addBesideCurrentBlock(element);
}

void HtmlBodyBuilder::indentedCode(std::u16string_view line, const RangeDict& record) {
    std::u16string_view code = slice(line, record.strRange.value_or(Range{0, line.size()}));
    if (options_.removeProceeding4SpacesInCodeBlock) {
        if (code.starts_with(u'\t')) {
            code.remove_prefix(1);
        } else if (code.starts_with(u"    ")) {
            code.remove_prefix(4);
        }
    }
    RQXMLElement* current = path_.current();
    if (isNamed(current, u"pre")) {
        RQXMLElement* codeElement = current->firstChildElement();
        RQXMLTextAppender text = (codeElement ? codeElement : current)->textForAppending();
        text.appendHtmlEscaped(code);
        text += u'\n';
        return;
    }
    auto codeElement = RQXMLElement::elementWithName(u"code");
    RQXMLTextAppender text = codeElement->textForAppending();
    text.appendHtmlEscaped(code);
    text += u'\n';
    auto pre = RQXMLElement::elementWithName(u"pre");
    pre->addChild(std::move(codeElement));
    placeCodeBlock(pre);
}

// Every text line is a paragraph of its own. A link definition line is one too: it has no
// inline elements, so its whole text is the content.
void HtmlBodyBuilder::plainLine(std::u16string_view line, const RangeDict& record) {
    RQXMLElement* current = path_.current();
    const std::size_t index = path_.currentIndex();
    if (isNamed(current, u"code")) {
        RQXMLTextAppender text = current->textForAppending();
        text += line;
        text += u'\n';
        return;
    }
    auto paragraph = RQXMLElement::elementWithName(u"p");
    appendInline(*paragraph, line, record.spanArray, Range{0, line.size()});
    if (isNamed(current, u"p") && index > 0) {
        path_.at(index - 1)->addChild(paragraph);
    } else if (isBlockquote(current)) {
        current->addChild(paragraph);
    } else if (isList(current)) {
        RQXMLElement* item = current->lastChildElement();
        (item ? item : current)->addChild(paragraph);
    } else if (isNamed(current, u"pre") && index > 0) {
        path_.at(index - 1)->addChild(paragraph);
        std::size_t container = index - 1;
        if (container > 0 && isListItem(path_.at(container))) --container;
        path_.truncateTo(container);
    } else {
        body_->addChild(paragraph);
        path_.reset();
        path_.push(paragraph.get());
    }
}

} // namespace quillet::html
