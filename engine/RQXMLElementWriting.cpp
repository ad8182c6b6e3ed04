// Writing an element out as XML text (the templated writer is in the header), and describing it
// for debugging.

#include "engine/RQXMLElement.h"

#include <cstdio>
#include <string>
#include <unicode/unistr.h>
#include <vector>

namespace quillet {

namespace {

// A writing stack grown beyond this by a deeply nested tree is given back afterwards.
constexpr std::size_t kKeptFrames = 4096;

std::string utf8(std::u16string_view text) {
    std::string out;
    icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size())).toUTF8String(out);
    return out;
}

} // namespace

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

bool RQXMLElement::breaksLineAfterClosingTag() const {
    const std::u16string_view name = this->name();
    return name == u"li" || name == u"ul" || name == u"ol" || name == u"blockquote" || name.front() == u'h';
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
    std::string text = "name:" + (hasName() ? utf8(name()) : std::string("(null)"));
    char pointer[32];
    std::snprintf(pointer, sizeof pointer, "%p", static_cast<const void*>(parent_));
    text += ", parent: ";
    text += parent_ ? pointer : "0x0";
    text += "\r attributes ";
    if (const auto list = attributes()) {
        text += "{";
        for (const RQXMLAttributeView& attribute : *list) {
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
