#include "engine/RQXMLElement.h"

#include "engine/LineEndScan.h"
#include "engine/RQXMLArena.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <type_traits>

namespace quillet {

namespace {

// From the arena of this thread's open scope, if any.
template <typename... Arguments> RQXMLElementRef makeElement(Arguments&&... arguments) {
    return std::allocate_shared<RQXMLElement>(RQXMLArenaAllocator<RQXMLElement>(RQXMLArena::current()),
                                              std::forward<Arguments>(arguments)...);
}

} // namespace

// ---- RQXMLChild ----

namespace {

// Where the next character that HTML escaping replaces is, from `from` on; the size if none is.
// Code is mostly free of them, so plain runs are passed over eight units at a time.
std::size_t nextEscaped(std::u16string_view text, std::size_t from) {
    for (from = skipToAnyOf<u'&', u'<', u'>'>(text, from); from < text.size(); ++from) {
        const char16_t c = text[from];
        if (c == u'&' || c == u'<' || c == u'>') return from;
    }
    return text.size();
}

std::u16string_view entityFor(char16_t c) {
    return c == u'&' ? u"&amp;" : c == u'<' ? u"&lt;" : u"&gt;";
}

// Counts kept in 32 bits: a text or a child list longer than that is refused rather than cut.
std::uint32_t narrowCount(std::size_t count) {
    if (count > UINT32_MAX) throw std::length_error("RQXMLElement: text or child list too long");
    return static_cast<std::uint32_t>(count);
}

char16_t* heapUnits(std::size_t count) {
    return count ? static_cast<char16_t*>(::operator new(count * sizeof(char16_t))) : nullptr;
}

} // namespace

RQXMLChild::RQXMLChild(std::u16string_view text) : isElement_(false), textOnHeap_(true) {
    text_ = {heapUnits(text.size()), narrowCount(text.size()), narrowCount(text.size())};
    std::copy(text.begin(), text.end(), text_.data);
}

RQXMLChild::RQXMLChild(const RQXMLChild& other) : isElement_(other.isElement_), textOnHeap_(!isElement_) {
    if (isElement_) {
        new (&element_) RQXMLElementRef(other.element_);
        return;
    }
    const std::u16string_view text = other.text();
    text_ = {heapUnits(text.size()), narrowCount(text.size()), narrowCount(text.size())};
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
        textOnHeap_ = other.textOnHeap_;
        other.text_ = {};
        other.textOnHeap_ = false;
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

void* RQXMLElement::allocateStorage(std::size_t bytes, std::size_t alignment, bool& onHeap) {
    onHeap = !arena_ || RQXMLArena::current() != arena_;
    if (onHeap) return ::operator new(bytes);
    return arena_->allocateData(bytes, alignment);
}

void RQXMLElement::releaseStorage(void* block, bool onHeap) noexcept {
    if (onHeap) ::operator delete(block);
}

RQXMLChild::Text RQXMLElement::makeText(std::u16string_view text, std::size_t capacity, bool& onHeap) {
    RQXMLChild::Text made{nullptr, narrowCount(text.size()), narrowCount(capacity)};
    onHeap = false;
    if (capacity > 0) {
        made.data =
            static_cast<char16_t*>(allocateStorage(capacity * sizeof(char16_t), alignof(char16_t), onHeap));
        std::copy(text.begin(), text.end(), made.data);
    }
    return made;
}

void RQXMLElement::growChildren(std::size_t capacity) {
    bool onHeap = false;
    auto* grown =
        static_cast<RQXMLChild*>(allocateStorage(capacity * sizeof(RQXMLChild), alignof(RQXMLChild), onHeap));
    for (std::size_t i = 0; i < childCount_; ++i) {
        new (grown + i) RQXMLChild(std::move(children_[i]));
        children_[i].~RQXMLChild();
    }
    if (children_) releaseStorage(children_, childrenOnHeap_);
    children_ = grown;
    childCapacity_ = narrowCount(capacity);
    childrenOnHeap_ = onHeap;
}

RQXMLChild* RQXMLElement::appendSlot() {
    if (childCount_ == childCapacity_) growChildren(childCapacity_ ? 2 * std::size_t(childCapacity_) : 1);
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
    RQXMLChild::Text& text = child_.text_;
    const std::size_t size = std::size_t(text.size) + count;
    if (size > text.capacity) {
        const std::size_t capacity = std::max<std::size_t>(size, 2 * std::size_t(text.capacity));
        bool onHeap = false;
        RQXMLChild::Text grown = owner_.makeText(view(), capacity, onHeap);
        if (child_.textOnHeap_) ::operator delete(text.data);
        text = grown;
        child_.textOnHeap_ = onHeap;
    }
    char16_t* at = text.data + text.size;
    text.size = narrowCount(size);
    return at;
}

void RQXMLTextAppender::reserveMore(std::size_t count) {
    const std::uint32_t size = child_.text_.size;
    extend(count);
    child_.text_.size = size;
}

void RQXMLTextAppender::appendHtmlEscaped(std::u16string_view text) {
    // Measured first, so that the text grows once.
    std::size_t length = text.size();
    for (std::size_t at = nextEscaped(text, 0); at < text.size(); at = nextEscaped(text, at + 1))
        length += entityFor(text[at]).size() - 1;
    if (length == text.size()) return append(text);
    char16_t* out = extend(length);
    std::size_t plain = 0;
    for (std::size_t at = nextEscaped(text, 0); at < text.size(); at = nextEscaped(text, at + 1)) {
        out = std::copy(text.begin() + plain, text.begin() + at, out);
        const std::u16string_view entity = entityFor(text[at]);
        out = std::copy(entity.begin(), entity.end(), out);
        plain = at + 1;
    }
    std::copy(text.begin() + plain, text.end(), out);
}

void RQXMLTextAppender::append(std::u16string_view text) {
    if (text.empty()) return;
    std::copy(text.begin(), text.end(), extend(text.size()));
}

// ---- Construction and destruction ----

RQXMLElement::RQXMLElement(std::u16string_view name) : arena_(RQXMLArena::current()) {
    setName(name);
}

RQXMLElement::RQXMLElement(std::u16string_view name, const std::vector<RQXMLChild>& children)
    : arena_(RQXMLArena::current()) {
    setName(name);
    setChildren(children);
}

namespace {

// The names the HTML conversion uses.
constexpr RQXMLElement::Tag kCommonTags[] = {
    {u"p", u"<p>", u"<p/>", u"</p>", false},
    {u"pre", u"<pre>", u"<pre/>", u"</pre>", false},
    {u"s", u"<s>", u"<s/>", u"</s>", false},
    {u"sup", u"<sup>", u"<sup/>", u"</sup>", false},
    {u"sub", u"<sub>", u"<sub/>", u"</sub>", false},
    {u"strong", u"<strong>", u"<strong/>", u"</strong>", false},
    {u"a", u"<a>", u"<a/>", u"</a>", false},
    {u"li", u"<li>", u"<li/>", u"</li>\n", false},
    {u"ul", u"<ul>", u"<ul/>", u"</ul>\n", false},
    {u"ol", u"<ol>", u"<ol/>", u"</ol>\n", false},
    {u"em", u"<em>", u"<em/>", u"</em>", false},
    {u"h1", u"<h1>", u"<h1/>", u"</h1>\n", false},
    {u"h2", u"<h2>", u"<h2/>", u"</h2>\n", false},
    {u"h3", u"<h3>", u"<h3/>", u"</h3>\n", false},
    {u"h4", u"<h4>", u"<h4/>", u"</h4>\n", false},
    {u"h5", u"<h5>", u"<h5/>", u"</h5>\n", false},
    {u"h6", u"<h6>", u"<h6/>", u"</h6>\n", false},
    {u"hr", u"<hr>", u"<hr/>", u"</hr>\n", false},
    {u"html", u"<html>", u"<html/>", u"</html>\n", false},
    {u"head", u"<head>", u"<head/>", u"</head>\n", false},
    {u"img", u"<img>", u"<img/>", u"</img>", true},
    {u"code", u"<code>", u"<code/>", u"</code>", false},
    {u"body", u"<body>", u"<body/>", u"</body>", false},
    {u"blockquote", u"<blockquote>", u"<blockquote/>", u"</blockquote>\n", false},
    {u"meta", u"<meta>", u"<meta/>", u"</meta>", false},
    {u"title", u"<title>", u"<title/>", u"</title>", false},
};

// The table's entries by a hash of the name, with linear probing: a lookup mostly reads one
// slot and compares one name.
constexpr std::size_t kTagSlots = 128;
constexpr std::size_t tagHash(std::u16string_view name) {
    return (name.size() * 31 + name.front() * 7 + name.back()) % kTagSlots;
}
constexpr auto kTagIndex = [] {
    std::array<signed char, kTagSlots> slots{};
    slots.fill(-1);
    for (std::size_t i = 0; i < std::size(kCommonTags); ++i) {
        std::size_t slot = tagHash(kCommonTags[i].name);
        while (slots[slot] >= 0)
            slot = (slot + 1) % kTagSlots;
        slots[slot] = static_cast<signed char>(i);
    }
    return slots;
}();

} // namespace

// Most lookups end at the first character and the length; the rest is compared only then.
const RQXMLElement::Tag* RQXMLElement::commonTag(std::u16string_view name) {
    if (name.empty()) return nullptr;
    for (std::size_t slot = tagHash(name); kTagIndex[slot] >= 0; slot = (slot + 1) % kTagSlots) {
        const Tag& tag = kCommonTags[static_cast<std::size_t>(kTagIndex[slot])];
        if (tag.name.size() != name.size()) continue;
        std::size_t same = 0;
        while (same < name.size() && tag.name[same] == name[same])
            ++same;
        if (same == name.size()) return &tag;
    }
    return nullptr;
}

void RQXMLElement::setName(std::u16string_view name) {
    tag_ = commonTag(name);
    if (!tag_ && !name.empty()) extra().ownedName = copyText(name);
}

// The subtree goes without recursion and without a stack: the walk goes down through the last
// child while that is an element this one alone holds, and back up along the parent links,
// letting each child go once it has none left. A child someone else still holds survives,
// without its parent link; an element let go here has no children left, so its own destructor
// does not come back to this loop.
RQXMLElement::~RQXMLElement() {
    RQXMLElement* node = this;
    while (true) {
        if (node->childCount_ == 0) {
            // The list is empty: only its block may be left to give back.
            if (node->childrenOnHeap_) ::operator delete(node->children_);
            node->children_ = nullptr;
            node->childCapacity_ = 0;
            node->childrenOnHeap_ = false;
            if (node == this) break;
            node = node->parent_;
            continue;
        }
        RQXMLChild& last = node->children_[node->childCount_ - 1];
        RQXMLElement* child = last.element();
        if (child && child->childCount_ > 0 && (child->parent_ == node || !child->parent_) &&
            last.element_.use_count() == 1) {
            // Nothing else can reach it: the link up is the way back.
            child->parent_ = node;
            node = child;
            continue;
        }
        if (child && child->parent_ == node) child->parent_ = nullptr;
        last.~RQXMLChild();
        --node->childCount_;
    }
    freeHeapBlocks();
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
    slot->text_ = makeText(text, text.size(), slot->textOnHeap_);
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
    return RQXMLTextAppender(*this, children_[childCount_ - 1]);
}

RQXMLElement* RQXMLElement::lastChildElement() const {
    return childCount_ == 0 ? nullptr : children_[childCount_ - 1].element();
}

RQXMLElement* RQXMLElement::firstChildElement() const {
    return childCount_ == 0 ? nullptr : children_[0].element();
}

void RQXMLElement::removeLeadingChildren(std::size_t count) {
    count = std::min<std::size_t>(count, childCount_);
    for (std::size_t i = 0; i < count; ++i) {
        if (RQXMLElement* element = children_[i].element(); element && element->parent_ == this)
            element->parent_ = nullptr;
        children_[i].~RQXMLChild();
    }
    for (std::size_t i = count; i < childCount_; ++i) {
        new (children_ + i - count) RQXMLChild(std::move(children_[i]));
        children_[i].~RQXMLChild();
    }
    childCount_ -= static_cast<std::uint32_t>(count);
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
    parent->childCount_ = static_cast<std::uint32_t>(kept);
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

void* RQXMLElement::allocateExtra(std::size_t bytes) {
    if (arena_ && RQXMLArena::current() == arena_)
        return arena_->allocateData(bytes, alignof(std::max_align_t));
    auto* block = static_cast<HeapBlock*>(::operator new(offsetof(HeapBlock, payload) + bytes));
    block->next = heapBlocks_;
    heapBlocks_ = block;
    return block->payload;
}

void RQXMLElement::freeHeapBlocks() noexcept {
    while (HeapBlock* block = heapBlocks_) {
        heapBlocks_ = block->next;
        ::operator delete(block);
    }
}

std::u16string_view RQXMLElement::copyText(std::u16string_view text) {
    if (text.empty()) return {};
    auto* copy = static_cast<char16_t*>(allocateExtra(text.size() * sizeof(char16_t)));
    std::copy(text.begin(), text.end(), copy);
    return {copy, text.size()};
}

RQXMLElement::Extra& RQXMLElement::extra() {
    // Nothing in it is ever destroyed: its memory goes with the arena or the element's blocks.
    static_assert(std::is_trivially_destructible_v<Extra>);
    if (!extra_) extra_ = new (allocateExtra(sizeof(Extra))) Extra();
    return *extra_;
}

void RQXMLElement::setAttributesWithDictionary(const RQXMLAttributes& attributes) {
    Extra& data = extra();
    data.attributeCount = 0;
    data.hasAttributes = true;
    for (const RQXMLAttribute& attribute : attributes)
        addAttribute(attribute.name, attribute.value);
}

void RQXMLElement::addAttribute(std::u16string_view name, std::u16string_view value) {
    Extra& data = extra();
    data.hasAttributes = true;
    if (data.attributeCount == data.attributeCapacity) {
        const std::size_t capacity = data.attributeCapacity ? 2 * data.attributeCapacity : 2;
        auto* grown = static_cast<RQXMLAttributeView*>(allocateExtra(capacity * sizeof(RQXMLAttributeView)));
        std::copy(data.attributes, data.attributes + data.attributeCount, grown);
        data.attributes = grown;
        data.attributeCapacity = capacity;
    }
    data.attributes[data.attributeCount++] = {copyText(name), copyText(value)};
}

void RQXMLElement::setAttributesWithString(std::u16string_view attributeString) {
    extra().attributeString = copyText(attributeString);
}

std::optional<std::span<const RQXMLAttributeView>> RQXMLElement::attributes() const {
    if (!extra_ || !extra_->hasAttributes) return std::nullopt;
    return std::span<const RQXMLAttributeView>(extra_->attributes, extra_->attributeCount);
}

std::u16string_view RQXMLElement::attributeString() const {
    return extra_ ? extra_->attributeString : std::u16string_view();
}

bool RQXMLElement::hasAttributeEntries() const {
    return extra_ && extra_->attributeCount > 0;
}

// ---- Escaping ----

void RQXMLElement::appendHtmlEscaped(std::u16string& out, std::u16string_view text) {
    std::size_t plain = 0;
    for (std::size_t at = nextEscaped(text, 0); at < text.size(); at = nextEscaped(text, at + 1)) {
        out.append(text.substr(plain, at - plain));
        out += entityFor(text[at]);
        plain = at + 1;
    }
    out.append(text.substr(plain));
}

std::u16string RQXMLElement::htmlEscapeString(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    appendHtmlEscaped(out, text);
    return out;
}

} // namespace quillet
