#include "engine/UrlText.h"

#include "engine/CharacterSets.h"

#include <unicode/unistr.h>

namespace quillet {

namespace {


bool isUnreserved(char16_t c) {
    return isAsciiLetter(c) || isAsciiDigit(c) || c == u'-' || c == u'.' || c == u'_' || c == u'~';
}

bool isSubDelimiter(char16_t c) {
    return c == u'!' || c == u'$' || c == u'&' || c == u'\'' || c == u'(' || c == u')' || c == u'*' ||
           c == u'+' || c == u',' || c == u';' || c == u'=';
}

// Characters allowed outside the authority (pchar, '/' and '?'), percent escapes aside.
bool isPathOrQueryCharacter(char16_t c) {
    return isUnreserved(c) || isSubDelimiter(c) || c == u':' || c == u'@' || c == u'/' || c == u'?';
}

bool isSchemeCharacter(char16_t c) {
    return isAsciiLetter(c) || isAsciiDigit(c) || c == u'+' || c == u'-' || c == u'.';
}

// The length of the "scheme:" prefix ending at the first ':' that comes before any '/', '?'
// or '#'; 0 when there is no such ':'; kMalformed when the text before it is no scheme.
constexpr std::size_t kMalformed = static_cast<std::size_t>(-1);

std::size_t schemePrefixLength(std::u16string_view url) {
    for (std::size_t i = 0; i < url.size(); ++i) {
        const char16_t c = url[i];
        if (c == u'/' || c == u'?' || c == u'#') return 0;
        if (c != u':') continue;
        if (i == 0 || !isAsciiLetter(url[0])) return kMalformed;
        for (std::size_t j = 1; j < i; ++j) {
            if (!isSchemeCharacter(url[j])) return kMalformed;
        }
        return i + 1;
    }
    return 0;
}

// Where the authority ends when the text at `start` begins with "//"; `start` otherwise.
std::size_t authorityEnd(std::u16string_view url, std::size_t start) {
    if (url.substr(start, 2) != u"//") return start;
    std::size_t end = start + 2;
    while (end < url.size() && url[end] != u'/' && url[end] != u'?' && url[end] != u'#')
        ++end;
    return end;
}

// A percent escape at `at` is well formed.
bool isPercentEscape(std::u16string_view url, std::size_t at) {
    return at + 2 < url.size() && isHexDigit(url[at + 1]) && isHexDigit(url[at + 2]);
}

int hexValue(char16_t c) {
    if (isAsciiDigit(c)) return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return c - u'A' + 10;
}

std::string utf8Bytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (c >> 18));
            bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

void appendPercentEscape(std::u16string& out, unsigned char byte) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    out += u'%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

} // namespace

bool isValidUrlString(std::u16string_view url) {
    const std::size_t schemeLength = schemePrefixLength(url);
    if (schemeLength == kMalformed) return false;
    const std::size_t authority = authorityEnd(url, schemeLength);
    bool inFragment = false;
    for (std::size_t i = schemeLength; i < url.size(); ++i) {
        const char16_t c = url[i];
        if (c == u'%') {
            if (!isPercentEscape(url, i)) return false;
            i += 2;
        } else if (c == u'#') {
            if (inFragment) return false;
            inFragment = true;
        } else if (c == u'[' || c == u']') {
            if (i >= authority) return false; // an IP literal lives in the authority only
        } else if (!isPathOrQueryCharacter(c)) {
            return false;
        }
    }
    return true;
}

std::u16string percentEncodeAllButAlphanumerics(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size() * 3);
    for (unsigned char byte : utf8Bytes(text)) {
        if (byte < 0x80 && (isAsciiLetter(byte) || isAsciiDigit(byte))) {
            out += static_cast<char16_t>(byte);
        } else {
            appendPercentEscape(out, byte);
        }
    }
    return out;
}

std::optional<std::u16string> urlScheme(std::u16string_view url) {
    const std::size_t schemeLength = schemePrefixLength(url);
    if (schemeLength == 0 || schemeLength == kMalformed) return std::nullopt;
    return std::u16string(url.substr(0, schemeLength - 1));
}

std::string urlPath(std::u16string_view url) {
    std::size_t start = schemePrefixLength(url);
    if (start == kMalformed) start = 0;
    start = authorityEnd(url, start);
    std::size_t end = start;
    while (end < url.size() && url[end] != u'?' && url[end] != u'#')
        ++end;
    const std::u16string_view path = url.substr(start, end - start);
    // Decode escapes byte by byte; the rest goes through UTF-8 as it is.
    std::string bytes;
    std::size_t plain = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != u'%' || !isPercentEscape(path, i)) continue;
        bytes += utf8Bytes(path.substr(plain, i - plain));
        bytes += static_cast<char>(hexValue(path[i + 1]) * 16 + hexValue(path[i + 2]));
        i += 2;
        plain = i + 1;
    }
    bytes += utf8Bytes(path.substr(plain));
    return bytes;
}

std::string lastPathComponent(std::string_view path) {
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::u16string fileUrlText(const std::filesystem::path& absolutePath) {
    std::u16string out = u"file://";
    for (unsigned char byte : absolutePath.string()) {
        const char16_t c = byte;
        if (byte < 0x80 && (isUnreserved(c) || isSubDelimiter(c) || c == u'/' || c == u':' || c == u'@')) {
            out += c;
        } else {
            appendPercentEscape(out, byte);
        }
    }
    return out;
}

std::u16string utf16FromBytes(std::string_view bytes) {
    const icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(bytes.data(), static_cast<int32_t>(bytes.size())));
    return std::u16string(reinterpret_cast<const char16_t*>(text.getBuffer()),
                          static_cast<std::size_t>(text.length()));
}

} // namespace quillet
