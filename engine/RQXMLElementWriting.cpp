// Writing an element out as XML text (the templated writer is in the header), and describing it
// for debugging.

#include "engine/CharacterSets.h"
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

namespace {

// Whether the '&' at `at` begins a complete character reference ("&amp;", "&#34;", "&#x22;").
bool startsCharacterReference(std::u16string_view text, std::size_t at) {
    std::size_t next = at + 1;
    bool (*isNamePart)(char16_t) = [](char16_t unit) { return isAsciiLetter(unit) || isAsciiDigit(unit); };
    if (next < text.size() && text[next] == u'#') {
        ++next;
        isNamePart = isAsciiDigit;
        if (next < text.size() && (text[next] == u'x' || text[next] == u'X')) {
            ++next;
            isNamePart = isHexDigit;
        }
    } else if (next >= text.size() || !isAsciiLetter(text[next])) {
        return false;
    }
    const std::size_t nameStart = next;
    while (next < text.size() && isNamePart(text[next]))
        ++next;
    return next > nameStart && next < text.size() && text[next] == u';';
}

} // namespace

// A quote would end the value and let the rest of it add attributes; '<' and '>' are replaced
// so that the tag reads the same to anything that looks for them. A character reference that a
// value already holds (a link copied from a web page, a note's "&amp;") keeps its meaning, as
// it does in the note's text, which passes through as HTML; a bare '&' is written as "&amp;".
std::size_t RQXMLElement::nextAttributeEscape(std::u16string_view value, std::size_t from) {
    for (; from < value.size(); ++from) {
        const char16_t unit = value[from];
        if (unit == u'"' || unit == u'<' || unit == u'>') return from;
        if (unit == u'&' && !startsCharacterReference(value, from)) return from;
    }
    return value.size();
}

std::u16string_view RQXMLElement::attributeEntityFor(char16_t unit) {
    switch (unit) {
    case u'"':
        return u"&quot;";
    case u'<':
        return u"&lt;";
    case u'>':
        return u"&gt;";
    default:
        return u"&amp;";
    }
}

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
