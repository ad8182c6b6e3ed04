#include "tools/JsonText.h"

#include "tools/Utf8.h"

namespace quillet::convert {

namespace {

bool isControl(char16_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
}
bool isSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

void appendUnicodeEscape(std::string& out, char16_t unit) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(unit >> shift) & 0xF];
}

// The short escape of a character, or nullptr when it has none.
const char* shortEscape(char16_t unit) {
    switch (unit) {
    case u'"':
        return "\\\"";
    case u'\\':
        return "\\\\";
    case u'\b':
        return "\\b";
    case u'\f':
        return "\\f";
    case u'\n':
        return "\\n";
    case u'\r':
        return "\\r";
    case u'\t':
        return "\\t";
    default:
        return nullptr;
    }
}

bool startsSurrogatePair(std::u16string_view text, std::size_t i) {
    return text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
           text[i + 1] <= 0xDFFF;
}

} // namespace

void appendJsonString(std::string& out, std::u16string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (const char* escape = shortEscape(unit)) {
            out += escape;
        } else if (isControl(unit)) {
            appendUnicodeEscape(out, unit);
        } else if (startsSurrogatePair(text, i)) {
            out += encodeUtf8(text.substr(i, 2));
            ++i;
        } else if (isSurrogate(unit)) {
            appendUnicodeEscape(out, unit);
        } else {
            appendUtf8(out, unit);
        }
    }
    out += '"';
}

JsonObjectWriter::JsonObjectWriter(std::string& out) : out_(out) {
    out_ += '{';
}

void JsonObjectWriter::rawKey(std::string_view key) {
    if (!first_) out_ += ',';
    first_ = false;
    out_ += '"';
    out_ += key;
    out_ += "\":";
}

void JsonObjectWriter::integer(std::string_view key, long long value) {
    rawKey(key);
    out_ += std::to_string(value);
}

void JsonObjectWriter::range(std::string_view key, Range value) {
    rawKey(key);
    out_ += '[';
    out_ += std::to_string(value.location);
    out_ += ',';
    out_ += std::to_string(value.length);
    out_ += ']';
}

void JsonObjectWriter::text(std::string_view key, std::u16string_view value) {
    rawKey(key);
    appendJsonString(out_, value);
}

void JsonObjectWriter::close() {
    out_ += '}';
}

} // namespace quillet::convert
