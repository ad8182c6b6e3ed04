#include "engine/RQXMLElement.h"

#include "engine/RQXMLArena.h"

#include <algorithm>
#include <cstdio>
#include <unicode/unistr.h>

namespace quillet {

namespace {

bool breaksLineAfterClosingTag(std::u16string_view name) {
    return name == u"li" || name == u"ul" || name == u"ol" || name == u"blockquote" || name.front() == u'h';
}

// From the arena of this thread's open scope, if any.
template <typename... Arguments> RQXMLElementRef makeElement(Arguments&&... arguments) {
    return std::allocate_shared<RQXMLElement>(RQXMLArenaAllocator<RQXMLElement>(RQXMLArena::current()),
                                              std::forward<Arguments>(arguments)...);
}

std::string utf8(std::u16string_view text) {
    std::string out;
    icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size())).toUTF8String(out);
    return out;
}

} // namespace

// ---- RQXMLChild ----

const RQXMLElementRef& RQXMLChild::elementRef() const {
    static const RQXMLElementRef kNone;
    return isElement_ ? element_ : kNone;
}

std::u16string& RQXMLChild::mutableText() {
    if (isElement_) {
        destroy();
        new (&text_) std::u16string();
        isElement_ = false;
    }
    return text_;
}

void RQXMLChild::constructFrom(const RQXMLChild& other) {
    isElement_ = other.isElement_;
    if (isElement_) {
        new (&element_) RQXMLElementRef(other.element_);
    } else {
        new (&text_) std::u16string(other.text_);
    }
}

void RQXMLChild::constructFrom(RQXMLChild&& other) noexcept {
    isElement_ = other.isElement_;
    if (isElement_) {
        new (&element_) RQXMLElementRef(std::move(other.element_));
    } else {
        new (&text_) std::u16string();
        text_.swap(other.text_);
    }
}

void RQXMLChild::destroy() noexcept {
    if (isElement_) {
        element_.~RQXMLElementRef();
    } else {
        text_.~basic_string();
    }
}

RQXMLChild& RQXMLChild::operator=(const RQXMLChild& other) {
    if (this != &other) {
        RQXMLChild copy(other);
        *this = std::move(copy);
    }
    return *this;
}

RQXMLChild& RQXMLChild::operator=(RQXMLChild&& other) noexcept {
    if (this != &other) {
        destroy();
        constructFrom(std::move(other));
    }
    return *this;
}

std::u16string RQXMLChild::XMLString() const {
    std::u16string out;
    appendXMLString(out);
    return out;
}

void RQXMLChild::appendXMLString(std::u16string& out) const {
    if (RQXMLElement* child = element()) {
        child->appendXMLString(out);
    } else {
        out += text();
    }
}

// ---- Construction and destruction ----

void RQXMLElement::releaseChildren(std::vector<RQXMLElementRef>& doomed) {
    for (RQXMLChild& child : children_) {
        RQXMLElement* element = child.element();
        if (!element) continue;
        // This element is going away and must not stay reachable from a child that survives.
        if (element->parent_ == this) element->parent_ = nullptr;
        doomed.push_back(child.takeElement());
    }
    children_.clear();
}

RQXMLElement::RQXMLElement(std::u16string_view name) {
    setName(name);
}

RQXMLElement::RQXMLElement(std::u16string_view name, const std::vector<RQXMLChild>& children) {
    setName(name);
    setChildren(children);
}

namespace {

// The names the HTML conversion uses, grouped by length so that a lookup compares with a few.
std::u16string_view commonName(std::u16string_view name) {
    static constexpr std::u16string_view kByLength[][10] = {
        {},
        {u"p", u"s", u"a"},
        {u"li", u"ul", u"ol", u"em", u"hr", u"h1", u"h2", u"h3", u"h4", u"h5"},
        {u"pre", u"sup", u"sub", u"img"},
        {u"code", u"body", u"html", u"head", u"meta"},
        {u"title"},
        {u"strong"},
    };
    // Views of known length: comparing with a bare literal would measure it on every call.
    static constexpr std::u16string_view kH6 = u"h6", kBlockquote = u"blockquote";
    if (name == kH6) return kH6;
    if (name == kBlockquote) return kBlockquote;
    if (name.size() >= std::size(kByLength)) return {};
    // The first characters differ for all but the headers: compare the rest only then.
    for (std::u16string_view common : kByLength[name.size()]) {
        if (!common.empty() && common.front() == name.front() && common == name) return common;
    }
    return {};
}

} // namespace

void RQXMLElement::setName(std::u16string_view name) {
    name_ = commonName(name);
    if (!name_.empty() || name.empty()) return;
    extra().ownedName = name;
    name_ = extra_->ownedName;
}

RQXMLElement::~RQXMLElement() {
    if (children_.empty()) return;
    // Tear the subtree down with an explicit stack: a recursive destructor would overflow on a
    // deep tree. A child someone else still holds survives, without its parent link.
    std::vector<RQXMLElementRef> doomed;
    releaseChildren(doomed);
    while (!doomed.empty()) {
        RQXMLElementRef element = std::move(doomed.back());
        doomed.pop_back();
        if (element.use_count() == 1) element->releaseChildren(doomed);
    }
}

RQXMLElementRef RQXMLElement::elementWithName(std::u16string_view name) {
    return makeElement(name);
}

RQXMLElementRef RQXMLElement::textWithStringValue(std::u16string text) {
    auto node = makeElement();
    node->children_.emplace_back(std::move(text));
    return node;
}

RQXMLElementRef RQXMLElement::elementWithName(std::u16string_view name, std::u16string stringValue) {
    auto element = makeElement(name);
    element->children_.emplace_back(std::move(stringValue));
    return element;
}

RQXMLElementRef RQXMLElement::elementWithName(std::u16string_view name,
                                              const std::vector<RQXMLChild>& children) {
    return makeElement(name, children);
}

// ---- Children ----

void RQXMLElement::addChild(const RQXMLElementRef& element) {
    if (!element || element->parent_ || element.get() == this) return;
    element->parent_ = this;
    children_.emplace_back(element);
}

void RQXMLElement::addChild(RQXMLElementRef&& element) {
    if (!element || element->parent_ || element.get() == this) return;
    element->parent_ = this;
    children_.emplace_back(std::move(element));
}

void RQXMLElement::addText(std::u16string text) {
    children_.emplace_back(std::move(text));
}

void RQXMLElement::replaceChildren(std::vector<RQXMLChild> children) {
    // Children that leave must not keep a link to this element, which may go before them.
    for (const RQXMLChild& old : children_) {
        if (RQXMLElement* element = old.element(); element && element->parent_ == this)
            element->parent_ = nullptr;
    }
    // An element cannot contain itself.
    std::erase_if(children, [this](const RQXMLChild& child) { return child.element() == this; });
    children_ = std::move(children);
    for (const RQXMLChild& child : children_) {
        if (RQXMLElement* element = child.element(); element && !element->parent_) element->parent_ = this;
    }
}

void RQXMLElement::setChildren(const std::vector<RQXMLChild>& children) {
    replaceChildren(children);
}

void RQXMLElement::setStringValue(std::u16string text) {
    // The usual case, a new element getting its text: nothing to let go of.
    if (children_.empty()) {
        children_.reserve(1);
        children_.emplace_back(std::move(text));
        return;
    }
    std::vector<RQXMLChild> only;
    only.emplace_back(std::move(text));
    replaceChildren(std::move(only));
}

void RQXMLElement::setXMLString(std::u16string markup) {
    setStringValue(std::move(markup));
}

std::u16string& RQXMLElement::textForAppending() {
    if (children_.empty() || children_.back().isElement()) children_.emplace_back();
    return children_.back().mutableText();
}

RQXMLElement* RQXMLElement::lastChildElement() const {
    return children_.empty() ? nullptr : children_.back().element();
}

RQXMLElement* RQXMLElement::firstChildElement() const {
    return children_.empty() ? nullptr : children_.front().element();
}

void RQXMLElement::detach() {
    RQXMLElement* parent = parent_;
    if (!parent) return;
    parent_ = nullptr;
    // The parent may hold the last reference to this element: keep it alive until the end.
    RQXMLElementRef keep;
    std::erase_if(parent->children_, [this, &keep](const RQXMLChild& child) {
        if (child.element() != this) return false;
        keep = child.elementRef();
        return true;
    });
}

std::size_t RQXMLElement::level() const {
    std::size_t level = 0;
    for (const RQXMLElement* up = parent_; up; up = up->parent_)
        ++level;
    return level;
}

// ---- Text content ----

std::u16string RQXMLElement::stringValue() const {
    std::u16string out;
    struct Frame {
        const RQXMLElement* element;
        std::size_t next;
    };
    std::vector<Frame> stack{{this, 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.element->children_.size()) {
            stack.pop_back();
            continue;
        }
        const RQXMLChild& child = frame.element->children_[frame.next++];
        if (const RQXMLElement* element = child.element()) {
            stack.push_back({element, 0});
        } else {
            out += child.text();
        }
    }
    return out;
}

// ---- Attributes ----

RQXMLElement::Extra& RQXMLElement::extra() {
    if (!extra_) extra_ = std::make_unique<Extra>();
    return *extra_;
}

void RQXMLElement::setAttributesWithDictionary(RQXMLAttributes attributes) {
    extra().attributes = std::move(attributes);
}

void RQXMLElement::setAttributesWithString(std::u16string attributeString) {
    extra().attributeString = std::move(attributeString);
}

const RQXMLAttributes* RQXMLElement::attributes() const {
    return extra_ && extra_->attributes ? &*extra_->attributes : nullptr;
}

std::u16string_view RQXMLElement::attributeString() const {
    return extra_ ? std::u16string_view(extra_->attributeString) : std::u16string_view();
}

bool RQXMLElement::hasAttributeEntries() const {
    const RQXMLAttributes* list = attributes();
    return list && !list->empty();
}

// ---- Escaping ----

void RQXMLElement::appendHtmlEscaped(std::u16string& out, std::u16string_view text) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c != u'&' && c != u'<' && c != u'>') continue;
        out.append(text.substr(plain, i - plain));
        out += c == u'&' ? u"&amp;" : c == u'<' ? u"&lt;" : u"&gt;";
        plain = i + 1;
    }
    out.append(text.substr(plain));
}

std::u16string RQXMLElement::htmlEscapeString(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    appendHtmlEscaped(out, text);
    return out;
}

// ---- Serialisation ----

bool RQXMLElement::hasContent() const {
    // Any named element writes at least its tag; nameless ones only their content.
    std::vector<const RQXMLElement*> nameless;
    const RQXMLElement* element = this;
    while (true) {
        for (const RQXMLChild& child : element->children_) {
            const RQXMLElement* inner = child.element();
            if (!inner) {
                if (!child.text().empty()) return true;
            } else if (inner->hasName()) {
                return true;
            } else {
                nameless.push_back(inner);
            }
        }
        if (nameless.empty()) return false;
        element = nameless.back();
        nameless.pop_back();
    }
}

void RQXMLElement::appendOpeningTagWithAttributes(std::u16string& out) const {
    out += u'<';
    out += name_;
    out += u' ';
    const std::size_t start = out.size();
    for (const RQXMLAttribute& attribute : *extra_->attributes) {
        out += attribute.name;
        out += u"=\"";
        out += attribute.value;
        out += u"\" ";
    }
    out += extra_->attributeString;
    if (out.size() > start && out.back() == u' ') out.pop_back();
    out += u'>';
}

namespace {

struct WriteFrame {
    const RQXMLElement* element;
    std::size_t next;
    bool closes;     // write a closing tag after the content
    bool breaksLine; // and a line break after it
};

constexpr std::size_t kKeptFrames = 4096;

// Shared by every serialisation on this thread, so that writing a small element allocates
// nothing for it; each call owns the frames above the size it found.
std::vector<WriteFrame>& writeStack() {
    thread_local std::vector<WriteFrame> frames;
    return frames;
}

} // namespace

void RQXMLElement::appendXMLString(std::u16string& out) const {
    using Frame = WriteFrame;
    std::vector<Frame>& stack = writeStack();
    const std::size_t base = stack.size();
    auto enter = [&](const RQXMLElement* element) {
        if (!element->hasName()) {
            stack.push_back({element, 0, false, false});
        } else if (element->name_ == u"img") {
            // An image is a tag alone: no content, no closing tag.
            if (element->hasAttributeEntries()) {
                element->appendOpeningTagWithAttributes(out);
            } else {
                out += u"<img>";
            }
        } else if (element->hasAttributeEntries()) {
            element->appendOpeningTagWithAttributes(out);
            stack.push_back({element, 0, true, false});
        } else if (element->hasContent()) {
            out += u'<';
            out += element->name_;
            out += u'>';
            stack.push_back({element, 0, true, breaksLineAfterClosingTag(element->name_)});
        } else {
            out += u'<';
            out += element->name_;
            out += u"/>";
        }
    };
    enter(this);
    while (stack.size() > base) {
        Frame& frame = stack.back();
        if (frame.next < frame.element->children_.size()) {
            const RQXMLChild& child = frame.element->children_[frame.next++];
            if (const RQXMLElement* element = child.element()) {
                enter(element); // may reallocate the stack: `frame` is not used after this
            } else {
                out += child.text();
            }
            continue;
        }
        if (frame.closes) {
            out += u"</";
            out += frame.element->name_;
            out += u'>';
            if (frame.breaksLine) out += u'\n';
        }
        stack.pop_back();
    }
    // A very deep tree does not keep its frames for the rest of the thread's life.
    if (base == 0 && stack.capacity() > kKeptFrames) std::vector<Frame>().swap(stack);
}

std::u16string RQXMLElement::XMLString() const {
    std::u16string out;
    appendXMLString(out);
    return out;
}

// ---- Debugging ----

std::string RQXMLElement::description() const {
    std::string text = "name:" + (hasName() ? utf8(name_) : std::string("(null)"));
    char pointer[32];
    std::snprintf(pointer, sizeof pointer, "%p", static_cast<const void*>(parent_));
    text += ", parent: ";
    text += parent_ ? pointer : "0x0";
    text += "\r attributes ";
    if (const RQXMLAttributes* list = attributes()) {
        text += "{";
        for (const RQXMLAttribute& attribute : *list) {
            text += "\n    " + utf8(attribute.name) + " = \"" + utf8(attribute.value) + "\";";
        }
        text += "\n}";
    } else {
        text += "(null)";
    }
    text += "\r children:" + std::to_string(children_.size());
    return text;
}

} // namespace quillet
