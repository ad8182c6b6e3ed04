#include "engine/RQXMLElement.h"

#include "engine/RQXMLArena.h"

#include <algorithm>
#include <cstdio>
#include <unicode/unistr.h>

namespace quillet {

namespace {

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

namespace {

char16_t* heapUnits(std::size_t count) {
    return count ? static_cast<char16_t*>(::operator new(count * sizeof(char16_t))) : nullptr;
}

} // namespace

RQXMLChild::RQXMLChild(std::u16string_view text) : isElement_(false) {
    text_ = {heapUnits(text.size()), text.size(), text.size(), true};
    std::copy(text.begin(), text.end(), text_.data);
}

RQXMLChild::RQXMLChild(const RQXMLChild& other) : isElement_(other.isElement_) {
    if (isElement_) {
        new (&element_) RQXMLElementRef(other.element_);
        return;
    }
    const std::u16string_view text = other.text();
    text_ = {heapUnits(text.size()), text.size(), text.size(), true};
    std::copy(text.begin(), text.end(), text_.data);
}

const RQXMLElementRef& RQXMLChild::elementRef() const {
    static const RQXMLElementRef kNone;
    return isElement_ ? element_ : kNone;
}

void RQXMLChild::constructFrom(RQXMLChild&& other) noexcept {
    isElement_ = other.isElement_;
    if (isElement_) {
        new (&element_) RQXMLElementRef(std::move(other.element_));
    } else {
        text_ = other.text_;
        other.text_ = {};
    }
}

void RQXMLChild::destroy() noexcept {
    if (isElement_) {
        element_.~RQXMLElementRef();
    } else if (text_.onHeap) {
        ::operator delete(text_.data);
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

// ---- Storage ----

void* RQXMLElement::allocateStorage(std::size_t bytes, bool& onHeap) {
    onHeap = !arena_ || RQXMLArena::current() != arena_;
    if (onHeap) return ::operator new(bytes);
    return arena_->allocateData(bytes, alignof(std::max_align_t));
}

void RQXMLElement::releaseStorage(void* block, bool onHeap) noexcept {
    if (onHeap) ::operator delete(block);
}

RQXMLChild::Text RQXMLElement::makeText(std::u16string_view text, std::size_t capacity) {
    RQXMLChild::Text made{nullptr, text.size(), capacity, false};
    if (capacity > 0) {
        made.data = static_cast<char16_t*>(allocateStorage(capacity * sizeof(char16_t), made.onHeap));
        std::copy(text.begin(), text.end(), made.data);
    }
    return made;
}

void RQXMLElement::growChildren(std::size_t capacity) {
    bool onHeap = false;
    auto* grown = static_cast<RQXMLChild*>(allocateStorage(capacity * sizeof(RQXMLChild), onHeap));
    for (std::size_t i = 0; i < childCount_; ++i) {
        new (grown + i) RQXMLChild(std::move(children_[i]));
        children_[i].~RQXMLChild();
    }
    if (children_) releaseStorage(children_, childrenOnHeap_);
    children_ = grown;
    childCapacity_ = capacity;
    childrenOnHeap_ = onHeap;
}

RQXMLChild* RQXMLElement::appendSlot() {
    if (childCount_ == childCapacity_) growChildren(childCapacity_ ? 2 * childCapacity_ : 1);
    return children_ + childCount_++;
}

void RQXMLElement::reserveChildren(std::size_t count) {
    if (count > childCapacity_) growChildren(count);
}

void RQXMLElement::clearChildren() noexcept {
    for (std::size_t i = 0; i < childCount_; ++i)
        children_[i].~RQXMLChild();
    if (children_) releaseStorage(children_, childrenOnHeap_);
    children_ = nullptr;
    childCount_ = childCapacity_ = 0;
    childrenOnHeap_ = false;
}

// ---- RQXMLTextAppender ----

char16_t* RQXMLTextAppender::extend(std::size_t count) {
    if (text_.size + count > text_.capacity) {
        const std::size_t capacity = std::max(text_.size + count, 2 * text_.capacity);
        RQXMLChild::Text grown = owner_.makeText(view(), capacity);
        if (text_.onHeap) ::operator delete(text_.data);
        text_ = grown;
    }
    char16_t* at = text_.data + text_.size;
    text_.size += count;
    return at;
}

void RQXMLTextAppender::reserveMore(std::size_t count) {
    const std::size_t size = text_.size;
    extend(count);
    text_.size = size;
}

void RQXMLTextAppender::appendHtmlEscaped(std::u16string_view text) {
    // Measured first, so that the text grows once.
    std::size_t length = text.size();
    for (const char16_t c : text) {
        if (c <= u'>') length += c == u'&' ? 4 : c == u'<' || c == u'>' ? 3 : 0;
    }
    if (length == text.size()) return append(text);
    char16_t* out = extend(length);
    for (const char16_t c : text) {
        const std::u16string_view entity = c > u'>'    ? std::u16string_view()
                                           : c == u'&' ? std::u16string_view(u"&amp;")
                                           : c == u'<' ? std::u16string_view(u"&lt;")
                                           : c == u'>' ? std::u16string_view(u"&gt;")
                                                       : std::u16string_view();
        if (entity.empty()) {
            *out++ = c;
        } else {
            out = std::copy(entity.begin(), entity.end(), out);
        }
    }
}

void RQXMLTextAppender::append(std::u16string_view text) {
    if (text.empty()) return;
    std::copy(text.begin(), text.end(), extend(text.size()));
}

// ---- Construction and destruction ----

void RQXMLElement::releaseChildren(std::vector<RQXMLElementRef>& doomed) {
    for (std::size_t i = 0; i < childCount_; ++i) {
        RQXMLChild& child = children_[i];
        RQXMLElement* element = child.element();
        if (!element) continue;
        // This element is going away and must not stay reachable from a child that survives.
        if (element->parent_ == this) element->parent_ = nullptr;
        doomed.push_back(child.takeElement());
    }
    clearChildren();
}

RQXMLElement::RQXMLElement(std::u16string_view name) : arena_(RQXMLArena::current()) {
    setName(name);
}

RQXMLElement::RQXMLElement(std::u16string_view name, const std::vector<RQXMLChild>& children)
    : arena_(RQXMLArena::current()) {
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

constexpr std::size_t kKeptFrames = 4096;

// Elements whose children are being let go, shared by every teardown on this thread so that
// dropping an element allocates nothing for it; each teardown owns the entries above the size
// it found.
std::vector<RQXMLElementRef>& teardownStack() {
    thread_local std::vector<RQXMLElementRef> doomed;
    return doomed;
}

} // namespace

void RQXMLElement::setName(std::u16string_view name) {
    name_ = commonName(name);
    if (!name_.empty() || name.empty()) return;
    extra().ownedName = name;
    name_ = extra_->ownedName;
}

RQXMLElement::~RQXMLElement() {
    if (childCount_ == 0) {
        clearChildren();
        return;
    }
    // Tear the subtree down with an explicit stack: a recursive destructor would overflow on a
    // deep tree. A child someone else still holds survives, without its parent link. The
    // elements let go inside the loop have no children left, so they do not come back here.
    std::vector<RQXMLElementRef>& doomed = teardownStack();
    const std::size_t base = doomed.size();
    releaseChildren(doomed);
    while (doomed.size() > base) {
        RQXMLElementRef element = std::move(doomed.back());
        doomed.pop_back();
        if (element.use_count() == 1) element->releaseChildren(doomed);
    }
    if (base == 0 && doomed.capacity() > kKeptFrames) std::vector<RQXMLElementRef>().swap(doomed);
}

RQXMLElementRef RQXMLElement::elementWithName(std::u16string_view name) {
    return makeElement(name);
}

RQXMLElementRef RQXMLElement::textWithStringValue(std::u16string_view text) {
    return elementWithName(std::u16string_view(), text);
}

RQXMLElementRef RQXMLElement::elementWithName(std::u16string_view name, std::u16string_view stringValue) {
    auto element = makeElement(name);
    element->addText(stringValue);
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
    new (appendSlot()) RQXMLChild(element);
}

void RQXMLElement::addChild(RQXMLElementRef&& element) {
    if (!element || element->parent_ || element.get() == this) return;
    element->parent_ = this;
    new (appendSlot()) RQXMLChild(std::move(element));
}

void RQXMLElement::addText(std::u16string_view text) {
    RQXMLChild* slot = appendSlot();
    new (slot) RQXMLChild();
    slot->text_ = makeText(text, text.size());
}

void RQXMLElement::replaceChildren(std::vector<RQXMLChild> children) {
    // Children that leave must not keep a link to this element, which may go before them.
    for (const RQXMLChild& old : this->children()) {
        if (RQXMLElement* element = old.element(); element && element->parent_ == this)
            element->parent_ = nullptr;
    }
    // An element cannot contain itself.
    std::erase_if(children, [this](const RQXMLChild& child) { return child.element() == this; });
    clearChildren();
    reserveChildren(children.size());
    for (RQXMLChild& child : children) {
        if (RQXMLElement* element = child.element(); element && !element->parent_) element->parent_ = this;
        new (appendSlot()) RQXMLChild(std::move(child));
    }
}

void RQXMLElement::setChildren(const std::vector<RQXMLChild>& children) {
    replaceChildren(children);
}

void RQXMLElement::setStringValue(std::u16string_view text) {
    // The usual case, a new element getting its text: nothing to let go of.
    if (childCount_ == 0) return addText(text);
    // The text may lie in a child that goes: take it first.
    std::vector<RQXMLChild> only;
    only.emplace_back(text);
    replaceChildren(std::move(only));
}

void RQXMLElement::setXMLString(std::u16string_view markup) {
    setStringValue(markup);
}

RQXMLTextAppender RQXMLElement::textForAppending() {
    if (childCount_ == 0 || children_[childCount_ - 1].isElement()) {
        new (appendSlot()) RQXMLChild();
    }
    return RQXMLTextAppender(*this, children_[childCount_ - 1].text_);
}

RQXMLElement* RQXMLElement::lastChildElement() const {
    return childCount_ == 0 ? nullptr : children_[childCount_ - 1].element();
}

RQXMLElement* RQXMLElement::firstChildElement() const {
    return childCount_ == 0 ? nullptr : children_[0].element();
}

void RQXMLElement::detach() {
    RQXMLElement* parent = parent_;
    if (!parent) return;
    parent_ = nullptr;
    // The parent may hold the last reference to this element: keep it alive until the end.
    RQXMLElementRef keep;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < parent->childCount_; ++i) {
        RQXMLChild& child = parent->children_[i];
        if (child.element() == this) {
            keep = child.takeElement();
            child.~RQXMLChild();
            new (&child) RQXMLChild();
            continue;
        }
        if (kept != i) parent->children_[kept] = std::move(child);
        ++kept;
    }
    for (std::size_t i = kept; i < parent->childCount_; ++i)
        parent->children_[i].~RQXMLChild();
    parent->childCount_ = kept;
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
        if (frame.next == frame.element->childCount_) {
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
        for (const RQXMLChild& child : element->children()) {
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

bool RQXMLElement::isImage() const {
    return name_ == u"img";
}

bool RQXMLElement::breaksLineAfterClosingTag() const {
    return name_ == u"li" || name_ == u"ul" || name_ == u"ol" || name_ == u"blockquote" ||
           name_.front() == u'h';
}

std::vector<RQXMLElement::WriteFrame>& RQXMLElement::writeStack() {
    thread_local std::vector<WriteFrame> frames;
    return frames;
}

void RQXMLElement::trimWriteStack() {
    std::vector<WriteFrame>& stack = writeStack();
    if (stack.capacity() > kKeptFrames) std::vector<WriteFrame>().swap(stack);
}

void RQXMLElement::appendXMLString(std::u16string& out) const {
    writeXMLString(out);
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
    text += "\r children:" + std::to_string(childCount_);
    return text;
}

} // namespace quillet
