#pragma once
// RQXMLElement: the small element tree an HTML document is built from and then written out in
// one pass. Not a general XML model: text children are written out unchanged (callers escape
// what must be escaped), attributes are a list in insertion order plus an optional raw
// attribute text, and a few element names get a line break after their closing tag. Attribute
// values in the list are escaped as they are written, whatever they came from.
//
// Elements are shared (RQXMLElementRef); a child's parent link does not own the parent. An
// element without a name (an empty name) is a text node or a raw fragment: it writes its
// content only. Serialisation, stringValue and destruction are iterative, so arbitrarily deep
// trees neither exhaust the stack nor take more than linear time.
//
// An element made while an arena scope is open (RQXMLArena.h) keeps its child list, its texts
// and its attributes in that arena too, as long as the scope is open on the thread that changes
// it: a tree built in a scope then goes without a free per list or text. Outside it they come
// from the heap.

#include "engine/RQXMLElementRef.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

class RQXMLArena;

// One child: an element or a piece of text (a tagged union: a tree holds millions of these).
// A child made on its own keeps its text on the heap; the children inside an element may keep
// theirs in the element's arena.
class RQXMLChild {
public:
    RQXMLChild(RQXMLElementRef element) : isElement_(true), textOnHeap_(false) {
        new (&element_) RQXMLElementRef(std::move(element));
    }
    RQXMLChild(std::u16string_view text);
    // An empty text child.
    RQXMLChild() : text_{}, isElement_(false), textOnHeap_(false) {}
    RQXMLChild(const RQXMLChild& other);
    RQXMLChild(RQXMLChild&& other) noexcept { constructFrom(std::move(other)); }
    RQXMLChild& operator=(const RQXMLChild& other);
    RQXMLChild& operator=(RQXMLChild&& other) noexcept;
    ~RQXMLChild() { destroy(); }

    bool isElement() const { return isElement_; }
    // Null for a text child.
    RQXMLElement* element() const { return isElement_ ? element_.get() : nullptr; }
    // Null for a text child.
    const RQXMLElementRef& elementRef() const;
    RQXMLElementRef takeElement() { return isElement_ ? std::move(element_) : nullptr; }
    // Empty for an element child.
    std::u16string_view text() const {
        return isElement_ ? std::u16string_view() : std::u16string_view(text_.data, text_.size);
    }

    // The text itself, or the element's XMLString.
    std::u16string XMLString() const;
    void appendXMLString(std::u16string& out) const;

private:
    friend class RQXMLElement;
    friend class RQXMLTextAppender;

    // Sizes are kept in 32 bits (a tree holds millions of texts); longer texts are refused.
    struct Text {
        char16_t* data;
        std::uint32_t size;
        std::uint32_t capacity;
    };

    void constructFrom(RQXMLChild&& other) noexcept;
    void destroy() noexcept {
        if (isElement_) {
            element_.~RQXMLElementRef();
        } else if (textOnHeap_) {
            ::operator delete(text_.data);
        }
    }

    union {
        RQXMLElementRef element_;
        Text text_;
    };
    bool isElement_;
    bool textOnHeap_; // the text is freed with the child; else it goes with its arena
};

struct RQXMLAttribute {
    std::u16string name;
    std::u16string value;
    friend bool operator==(const RQXMLAttribute&, const RQXMLAttribute&) = default;
};
using RQXMLAttributes = std::vector<RQXMLAttribute>;

// An attribute as an element keeps it: texts in the element's own storage.
struct RQXMLAttributeView {
    std::u16string_view name;
    std::u16string_view value;
    friend bool operator==(const RQXMLAttributeView&, const RQXMLAttributeView&) = default;
};

// Appends to the last text child of an element (see RQXMLElement::textForAppending). Valid until
// the element's children change by other means.
class RQXMLTextAppender {
public:
    void append(std::u16string_view text);
    // "&" -> "&amp;", "<" -> "&lt;", ">" -> "&gt;".
    void appendHtmlEscaped(std::u16string_view text);
    // Room for `count` more units, so that the appends up to them copy nothing.
    void reserveMore(std::size_t count);
    RQXMLTextAppender& operator+=(std::u16string_view text) {
        append(text);
        return *this;
    }
    RQXMLTextAppender& operator+=(char16_t unit) {
        append(std::u16string_view(&unit, 1));
        return *this;
    }
    std::u16string_view view() const { return child_.text(); }

private:
    friend class RQXMLElement;
    RQXMLTextAppender(RQXMLElement& owner, RQXMLChild& child) : owner_(owner), child_(child) {}
    // Room for `count` more units; returns where they go.
    char16_t* extend(std::size_t count);

    RQXMLElement& owner_;
    RQXMLChild& child_;
};

class RQXMLElement {
public:
    // The texts written for an element of a common name, made once for all of them.
    struct Tag {
        std::u16string_view name;
        std::u16string_view open;  // "<p>"
        std::u16string_view empty; // "<p/>"
        std::u16string_view close; // "</p>", with the line break after it for block-like names
        bool isImage;
    };

    // The instance forms; the static constructors below are the usual way in.
    explicit RQXMLElement(std::u16string_view name = {});
    RQXMLElement(std::u16string_view name, const std::vector<RQXMLChild>& children);
    ~RQXMLElement();
    RQXMLElement(const RQXMLElement&) = delete;
    RQXMLElement& operator=(const RQXMLElement&) = delete;

    static RQXMLElementRef elementWithName(std::u16string_view name);
    // A nameless node whose only child is the text.
    static RQXMLElementRef textWithStringValue(std::u16string_view text);
    static RQXMLElementRef elementWithName(std::u16string_view name, std::u16string_view stringValue);
    // The children are a copy of the array; child elements without a parent get this one.
    static RQXMLElementRef elementWithName(std::u16string_view name, const std::vector<RQXMLChild>& children);

    std::u16string_view name() const {
        if (tag_) return tag_->name;
        return extra_ ? extra_->ownedName : std::u16string_view();
    }
    bool hasName() const { return tag_ || (extra_ && !extra_->ownedName.empty()); }
    RQXMLElement* parent() const { return parent_; }
    std::span<const RQXMLChild> children() const { return {children_, childCount_}; }

    // Appends the element and makes this its parent; nothing happens when it already has one.
    void addChild(const RQXMLElementRef& element);
    void addChild(RQXMLElementRef&& element);
    // Appends a text child.
    void addText(std::u16string_view text);
    void reserveChildren(std::size_t count);
    // The children become a copy of the array; child elements without a parent get this one.
    void setChildren(const std::vector<RQXMLChild>& children);
    // Both make the text the only child. setStringValue takes plain text, setXMLString ready-made
    // markup; both are written out unchanged.
    void setStringValue(std::u16string_view text);
    void setXMLString(std::u16string_view markup);
    // The last child, made a text child first when it is not one, for growing an element's text
    // in place (a code block gaining lines).
    RQXMLTextAppender textForAppending();

    // The text content without tags or attributes.
    std::u16string stringValue() const;

    // The list becomes a copy of `attributes`, in their order.
    void setAttributesWithDictionary(const RQXMLAttributes& attributes);
    // Appends one attribute to the list (starting one when none was set).
    void addAttribute(std::u16string_view name, std::u16string_view value);
    void setAttributesWithString(std::u16string_view attributeString);
    // None while no attribute list was set.
    std::optional<std::span<const RQXMLAttributeView>> attributes() const;
    std::u16string_view attributeString() const;

    // Drops the first `count` children (all when there are fewer), clearing their parent links.
    void removeLeadingChildren(std::size_t count);
    // Removes this element from its parent's children and clears the parent link. The parent
    // may hold the last reference: do not touch the element afterwards through a raw pointer.
    void detach();
    // The number of ancestors (0 for a root).
    std::size_t level() const;

    // The last child when it is an element, else null.
    RQXMLElement* lastChildElement() const;
    // The first child when it is an element, else null.
    RQXMLElement* firstChildElement() const;

    // "&" -> "&amp;", "<" -> "&lt;", ">" -> "&gt;".
    static std::u16string htmlEscapeString(std::u16string_view text);
    static void appendHtmlEscaped(std::u16string& out, std::u16string_view text);

    // "name:%@, parent: %p\r attributes %@\r children:%ld", for debugging.
    std::string description() const;

    std::u16string XMLString() const;
    // Writes the XMLString at the end of `out`, in one pass over the tree.
    void appendXMLString(std::u16string& out) const;
    // The same to any output that takes `out += std::u16string_view` and `out += char16_t`
    // (an encoder into bytes, say), in pieces whose concatenation is the XMLString.
    template <typename Output> void writeXMLString(Output& out) const;

private:
    friend class RQXMLTextAppender;

    // What few elements need (only links and images have attributes), its texts in the same
    // storage as the element's other data.
    struct Extra {
        RQXMLAttributeView* attributes = nullptr;
        std::size_t attributeCount = 0;
        std::size_t attributeCapacity = 0;
        bool hasAttributes = false; // a list was set, even an empty one
        std::u16string_view attributeString;
        std::u16string_view ownedName; // a name outside the common table
    };
    // A block of this element's extra data taken from the heap; they are freed together.
    struct HeapBlock {
        HeapBlock* next;
        std::max_align_t payload[1];
    };

    void setName(std::u16string_view name);
    void replaceChildren(std::vector<RQXMLChild> children);
    void clearChildren() noexcept;
    // Room for one more child; returns it, unconstructed.
    RQXMLChild* appendSlot();
    void growChildren(std::size_t capacity);
    // Memory for this element's list and texts: from its arena while that is open on this
    // thread, else from the heap (`onHeap` says which).
    void* allocateStorage(std::size_t bytes, std::size_t alignment, bool& onHeap);
    static void releaseStorage(void* block, bool onHeap) noexcept;
    RQXMLChild::Text makeText(std::u16string_view text, std::size_t capacity, bool& onHeap);
    Extra& extra();
    // Memory for the extra data: from the arena while it is open on this thread, else a heap
    // block that goes with the element.
    void* allocateExtra(std::size_t bytes);
    std::u16string_view copyText(std::u16string_view text);
    void freeHeapBlocks() noexcept;
    bool hasAttributeEntries() const;
    bool hasContent() const;
    static const Tag* commonTag(std::u16string_view name);
    bool isImage() const { return tag_ && tag_->isImage; }
    bool breaksLineAfterClosingTag() const;
    // Where the next unit of an attribute value that must be replaced is, from `from` on; the
    // size if none is.
    static std::size_t nextAttributeEscape(std::u16string_view value, std::size_t from);
    static std::u16string_view attributeEntityFor(char16_t unit);
    template <typename Output> static void writeAttributeValue(Output& out, std::u16string_view value);
    template <typename Output> void writeOpeningTagWithAttributes(Output& out) const;
    // Writes the tags of `element` and returns whether its content and closing part follow.
    template <typename Output> bool writeOpening(Output& out) const;
    template <typename Output> void writeClosing(Output& out) const;

    struct WriteFrame {
        const RQXMLElement* element;
        std::size_t next;
    };
    // Shared by every serialisation on this thread, so that writing a small element allocates
    // nothing for it; each call owns the frames above the size it found.
    static std::vector<WriteFrame>& writeStack();
    // Gives up a very deep tree's frames, rather than keeping them for the thread's life.
    static void trimWriteStack();

    // The common names (those the HTML conversion uses) are entries of a table of their own;
    // other names are kept in `extra_`.
    const Tag* tag_ = nullptr; // null for a name outside the table, and for no name
    RQXMLChild* children_ = nullptr;
    std::uint32_t childCount_ = 0;
    std::uint32_t childCapacity_ = 0;
    bool childrenOnHeap_ = false;
    RQXMLArena* arena_;              // the arena this element was made in, or null
    RQXMLElement* parent_ = nullptr; // not owned; cleared when the parent goes
    Extra* extra_ = nullptr;
    HeapBlock* heapBlocks_ = nullptr;
};

// ---- Writing ----

template <typename Output> void RQXMLElement::writeAttributeValue(Output& out, std::u16string_view value) {
    std::size_t plain = 0;
    for (std::size_t at = nextAttributeEscape(value, 0); at < value.size();
         at = nextAttributeEscape(value, at + 1)) {
        out += value.substr(plain, at - plain);
        out += attributeEntityFor(value[at]);
        plain = at + 1;
    }
    out += value.substr(plain);
}

template <typename Output> void RQXMLElement::writeOpeningTagWithAttributes(Output& out) const {
    out += u'<';
    out += name();
    out += u' ';
    // Each attribute is followed by a space, and one space at the very end is dropped.
    for (std::size_t i = 0; i < extra_->attributeCount; ++i) {
        if (i > 0) out += u' ';
        out += extra_->attributes[i].name;
        out += u"=\"";
        writeAttributeValue(out, extra_->attributes[i].value);
        out += u'"';
    }
    std::u16string_view raw = extra_->attributeString;
    if (!raw.empty()) {
        out += u' ';
        if (raw.back() == u' ') raw.remove_suffix(1);
        out += raw;
    }
    out += u'>';
}

template <typename Output> bool RQXMLElement::writeOpening(Output& out) const {
    if (!hasName()) return true;
    if (isImage()) {
        // An image is a tag alone: no content, no closing tag.
        if (hasAttributeEntries()) {
            writeOpeningTagWithAttributes(out);
        } else {
            out += u"<img>";
        }
        return false;
    }
    if (hasAttributeEntries()) {
        writeOpeningTagWithAttributes(out);
        return true;
    }
    if (!hasContent()) {
        if (tag_) {
            out += tag_->empty;
        } else {
            out += u'<';
            out += name();
            out += u"/>";
        }
        return false;
    }
    if (tag_) {
        out += tag_->open;
    } else {
        out += u'<';
        out += name();
        out += u'>';
    }
    return true;
}

template <typename Output> void RQXMLElement::writeClosing(Output& out) const {
    if (!hasName()) return;
    // An element with attributes ends without a line break, whatever its name.
    if (tag_) {
        std::u16string_view close = tag_->close;
        if (close.back() == u'\n' && hasAttributeEntries()) close.remove_suffix(1);
        out += close;
        return;
    }
    const bool breaksLine = !hasAttributeEntries() && breaksLineAfterClosingTag();
    out += u"</";
    out += name();
    out += u'>';
    if (breaksLine) out += u'\n';
}

template <typename Output> void RQXMLElement::writeXMLString(Output& out) const {
    std::vector<WriteFrame>& stack = writeStack();
    const std::size_t base = stack.size();
    if (writeOpening(out)) stack.push_back({this, 0});
    while (stack.size() > base) {
        WriteFrame& frame = stack.back();
        const RQXMLElement* element = frame.element;
        if (frame.next < element->childCount_) {
            const RQXMLChild& child = element->children_[frame.next++];
            // Pushing may move the stack: `frame` is not used after this.
            if (const RQXMLElement* inner = child.element()) {
                if (inner->writeOpening(out)) stack.push_back({inner, 0});
            } else {
                out += child.text();
            }
            continue;
        }
        element->writeClosing(out);
        stack.pop_back();
    }
    if (base == 0) trimWriteStack();
}

} // namespace quillet
