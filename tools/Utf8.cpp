#include "tools/Utf8.h"

namespace quillet::convert {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}
bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The shape a lead byte announces: how many continuation bytes follow, the payload bits of the
// lead byte and the smallest code point that may use this length (anything below is overlong).
struct LeadByte {
    int continuations = 0;
    char32_t bits = 0;
    char32_t minimum = 0;
};

std::optional<LeadByte> readLeadByte(unsigned char byte) {
    if (byte >= 0xC2 && byte <= 0xDF) return LeadByte{1, char32_t(byte & 0x1F), 0x80};
    if (byte >= 0xE0 && byte <= 0xEF) return LeadByte{2, char32_t(byte & 0x0F), 0x800};
    if (byte >= 0xF0 && byte <= 0xF4) return LeadByte{3, char32_t(byte & 0x07), 0x10000};
    return std::nullopt;
}

const char* leadByteProblem(unsigned char byte) {
    if (isContinuation(byte)) return "unexpected continuation byte";
    if (byte == 0xC0 || byte == 0xC1) return "overlong encoding";
    return "invalid lead byte";
}

// One multi-byte sequence starting at `at`: its code point, or why it is not valid.
struct Sequence {
    char32_t codePoint = 0;
    std::size_t length = 0;
    const char* problem = nullptr;
};

Sequence readSequence(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const auto shape = readLeadByte(lead);
    if (!shape) return {0, 0, leadByteProblem(lead)};
    char32_t codePoint = shape->bits;
    for (int k = 1; k <= shape->continuations; ++k) {
        if (at + k >= bytes.size()) return {0, 0, "truncated sequence"};
        const auto next = static_cast<unsigned char>(bytes[at + k]);
        if (!isContinuation(next)) return {0, 0, "truncated sequence"};
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < shape->minimum) return {0, 0, "overlong encoding"};
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return {0, 0, "encoded surrogate"};
    if (codePoint > 0x10FFFF) return {0, 0, "code point beyond U+10FFFF"};
    return {codePoint, std::size_t(1 + shape->continuations), nullptr};
}

std::size_t utf16Length(char32_t codePoint) {
    return codePoint < 0x10000 ? 1 : 2;
}

char16_t* writeUtf16(char16_t* out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        *out++ = static_cast<char16_t>(codePoint);
        return out;
    }
    codePoint -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (codePoint >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    return out;
}

std::size_t utf8Length(char32_t codePoint) {
    return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
}

char* writeUtf8(char* out, char32_t codePoint) {
    if (codePoint < 0x80) {
        *out++ = static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        *out++ = static_cast<char>(0xC0 | (codePoint >> 6));
        *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (codePoint >> 12));
        *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (codePoint >> 18));
        *out++ = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return out;
}

// The code point of the UTF-16 unit at `at` (a pair read as one, a lone surrogate as U+FFFD)
// and how many units it took.
char32_t codePointAt(std::u16string_view text, std::size_t at, std::size_t& units) {
    const char16_t unit = text[at];
    units = 1;
    if (unit < 0xD800 || unit > 0xDFFF) return unit;
    if (isHighSurrogate(unit) && at + 1 < text.size() && isLowSurrogate(text[at + 1])) {
        units = 2;
        return 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[at + 1]) - 0xDC00);
    }
    return kReplacement;
}

} // namespace

// Two passes: the first validates and counts, so that the second writes into a buffer of the
// exact size without any further checks (notes may be many megabytes).
Utf8Decoding decodeUtf8(std::string_view bytes) {
    Utf8Decoding result;
    std::size_t valid = 0;
    std::size_t units = 0;
    while (valid < bytes.size()) {
        if (static_cast<unsigned char>(bytes[valid]) < 0x80) {
            ++valid;
            ++units;
            continue;
        }
        const Sequence sequence = readSequence(bytes, valid);
        if (sequence.problem) {
            result.error = Utf8Error{valid, sequence.problem};
            break;
        }
        valid += sequence.length;
        units += utf16Length(sequence.codePoint);
    }
    result.text.resize(units);
    char16_t* out = result.text.data();
    for (std::size_t at = 0; at < valid;) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80) {
            *out++ = byte;
            ++at;
            continue;
        }
        const Sequence sequence = readSequence(bytes, at);
        out = writeUtf16(out, sequence.codePoint);
        at += sequence.length;
    }
    return result;
}

std::string describe(const Utf8Error& error) {
    return "invalid UTF-8 at byte " + std::to_string(error.byteOffset) + ": " + error.reason;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    char buffer[4];
    out.append(buffer, writeUtf8(buffer, codePoint));
}

std::string encodeUtf8(std::u16string_view text) {
    std::size_t length = 0;
    for (std::size_t at = 0, units = 0; at < text.size(); at += units) {
        units = 1;
        length += text[at] < 0x80 ? 1 : utf8Length(codePointAt(text, at, units));
    }
    std::string out(length, '\0');
    char* write = out.data();
    for (std::size_t at = 0, units = 0; at < text.size(); at += units) {
        units = 1;
        if (text[at] < 0x80)
            *write++ = static_cast<char>(text[at]);
        else
            write = writeUtf8(write, codePointAt(text, at, units));
    }
    return out;
}

} // namespace quillet::convert
