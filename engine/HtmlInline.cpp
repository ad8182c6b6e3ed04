#include "engine/HtmlInline.h"

#include "engine/HtmlImages.h"

#include <algorithm>

namespace quillet::html {

namespace {

std::u16string_view slice(std::u16string_view line, Range range) {
    if (range.location >= line.size()) return {};
    return line.substr(range.location, std::min(range.length, line.size() - range.location));
}

std::u16string_view between(std::u16string_view line, std::size_t from, std::size_t to) {
    to = std::min(to, line.size());
    return from < to ? line.substr(from, to - from) : std::u16string_view();
}

std::u16string_view elementName(const SpanDict& span) {
    switch (span.type) {
    case SpanType::em:
        return u"em";
    case SpanType::strong:
        return u"strong";
    case SpanType::strikethrough:
        return u"s";
    case SpanType::code:
    case SpanType::backslash:
        return u"code";
    case SpanType::superscript:
        return u"sup";
    case SpanType::subscript:
        return u"sub";
    case SpanType::link:
        return u"a";
    case SpanType::image:
        return u"img";
    case SpanType::header:
    case SpanType::none:
        break;
    }
    return {};
}

std::u16string headerName(long depth) {
    // Six levels exist in HTML; deeper headers are written as the deepest.
    return u"h" + std::u16string(1, static_cast<char16_t>(u'0' + std::clamp(depth, 1L, 6L)));
}

// Turns the spans of one range of a line into elements. Nested spans are converted with an
// explicit stack, so that no nesting depth can exhaust the call stack.
class InlineConverter {
public:
    InlineConverter(const MarkdownString& engine, std::u16string_view line,
                    const std::optional<std::filesystem::path>& baseURL)
        : labels_(engine.linkLabelTable()), folders_(engine.imageFolders), line_(line), baseURL_(baseURL) {}

    // With a target the content goes into it; without one it is returned as nodes.
    std::vector<RQXMLElementRef> convert(const std::vector<SpanDict>& spans, Range range,
                                         RQXMLElement* target) {
        std::vector<RQXMLElementRef> result;
        // Text pieces and elements alternate: room for all of them at once.
        if (target && target->children().empty()) target->reserveChildren(2 * spans.size() + 1);
        // The stack is shared by every conversion on this thread, so that a line costs no
        // allocation for it; this conversion owns the frames above `base`.
        const std::size_t base = stack_.size();
        stack_.push_back({&spans, 0, range.location, range.end(), target});
        while (stack_.size() > base) {
            Frame& frame = stack_.back();
            if (frame.next == frame.spans->size()) {
                emitText(frame, result, frame.end);
                stack_.pop_back();
                continue;
            }
            const SpanDict& span = (*frame.spans)[frame.next++];
            if (!span.range || (span.type == SpanType::none)) continue;
            emitText(frame, result, span.range->location);
            frame.position = std::max(frame.position, span.range->end());
            RQXMLElement* owner = frame.owner;
            RQXMLElementRef element = makeElement(span);
            RQXMLElement* inner = hasChildElements(span) ? element.get() : nullptr;
            emit(owner, result, std::move(element));
            // `frame` may move when the stack grows: it is not used past this point.
            if (inner)
                stack_.push_back({&span.spanArray, 0, span.strRange.location, span.strRange.end(), inner});
        }
        if (base == 0 && stack_.capacity() > kKeptFrames) std::vector<Frame>().swap(stack_);
        return result;
    }

private:
    // A line with very deep nesting does not keep its frames for the rest of the thread's life.
    static constexpr std::size_t kKeptFrames = 4096;

    struct Frame {
        const std::vector<SpanDict>* spans;
        std::size_t next;
        std::size_t position; // where the text not yet converted begins
        std::size_t end;
        RQXMLElement* owner; // null for the top level
    };

    static void emit(RQXMLElement* owner, std::vector<RQXMLElementRef>& result, RQXMLElementRef node) {
        if (owner) {
            owner->addChild(std::move(node));
        } else {
            result.push_back(std::move(node));
        }
    }

    // Text between elements is placed as it is: HTML written in a note passes through. Inside
    // an element it is a text child, at the top level a nameless node.
    void emitText(Frame& frame, std::vector<RQXMLElementRef>& result, std::size_t upTo) {
        const std::u16string_view text = between(line_, frame.position, upTo);
        if (text.empty()) return;
        if (frame.owner) {
            frame.owner->addText(text);
        } else {
            result.push_back(RQXMLElement::textWithStringValue(text));
        }
    }

    // A code element is always literal text, so a backslash-escaped tag shows as written.
    static bool hasChildElements(const SpanDict& span) {
        return !span.spanArray.empty() && span.type != SpanType::code && span.type != SpanType::backslash;
    }

    RQXMLElementRef makeElement(const SpanDict& span) {
        const bool isHeader = span.type == SpanType::header;
        auto element = RQXMLElement::elementWithName(
            isHeader ? std::u16string_view(headerName(span.headerDepth)) : elementName(span));
        const std::u16string_view content = slice(line_, span.strRange);
        if (span.type == SpanType::code || span.type == SpanType::backslash) {
            element->textForAppending().appendHtmlEscaped(content);
        } else if (!hasChildElements(span)) {
            element->setStringValue(content);
        }
        if (span.type == SpanType::link || span.type == SpanType::image) addAttributes(span, *element);
        return element;
    }

    // What a link or an image carries besides its content: the attribute list (set even when
    // it stays empty), then raw attribute text written into the tag as it is, which only goes
    // with an element that has no inner elements.
    void addAttributes(const SpanDict& span, RQXMLElement& element) const {
        element.setAttributesWithDictionary({});
        if (span.linkType == LinkType::local) {
            // A label link takes the URL and the title of the label's definition (or of its
            // text's, when the label has none).
            const LinkLabelRef record = labels_.resolve(span.reference, slice(line_, span.strRange));
            if (!record || !record->urlString || record->urlString->empty()) return;
            element.addAttribute(span.type == SpanType::image ? u"src" : u"href", *record->urlString);
            if (record->options && !hasChildElements(span)) element.setAttributesWithString(*record->options);
            return;
        }
        if (span.type == SpanType::link) {
            const std::u16string_view url = slice(line_, span.urlRange);
            if (!url.empty()) element.addAttribute(u"href", url);
        } else {
            if (auto source = imageSource(slice(line_, span.urlRange), folders_, baseURL_)) {
                element.addAttribute(u"src", *source);
            }
            element.addAttribute(u"alt", slice(line_, span.refRange));
        }
        if (!hasChildElements(span)) element.setAttributesWithString(optionText(span));
    }

    std::u16string_view optionText(const SpanDict& span) const {
        if (!span.optionRange || !span.optionRange->found()) return {};
        return slice(line_, *span.optionRange);
    }

    const LinkLabelTable& labels_;
    const ImageFolders& folders_;
    std::u16string_view line_;
    const std::optional<std::filesystem::path>& baseURL_;
    static std::vector<Frame>& reusableStack() {
        thread_local std::vector<Frame> frames;
        return frames;
    }

    std::vector<Frame>& stack_ = reusableStack();
};

} // namespace

std::vector<RQXMLElementRef> inlineNodes(const MarkdownString& engine, const std::vector<SpanDict>& spans,
                                         std::u16string_view line, Range range,
                                         const std::optional<std::filesystem::path>& baseURL) {
    return InlineConverter(engine, line, baseURL).convert(spans, range, nullptr);
}

void appendInlineContent(const MarkdownString& engine, const std::vector<SpanDict>& spans,
                         std::u16string_view line, Range range,
                         const std::optional<std::filesystem::path>& baseURL, RQXMLElement& target) {
    InlineConverter(engine, line, baseURL).convert(spans, range, &target);
}

} // namespace quillet::html
