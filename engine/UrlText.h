#pragma once
// URL texts as a strict URL parser sees them (the generic syntax of RFC 3986): whether a text
// forms a URL at all, its scheme and path, and percent-encoding for texts that do not.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// True when every character is one a URL may hold (unreserved, reserved, or '%' followed by two
// hex digits), a scheme (text before a ':' that comes before any '/', '?' or '#') is well
// formed, brackets appear only in the authority, and there is at most one '#'. The empty text
// is a valid (empty relative) URL.
bool isValidUrlString(std::u16string_view text);

// Every character but the ASCII letters and digits as '%' and two upper-case hex digits per
// UTF-8 byte. An unpaired surrogate is encoded as U+FFFD.
std::u16string percentEncodeAllButAlphanumerics(std::u16string_view text);

// The scheme of a valid URL text ("pictures" for 'pictures:/a.png'), or none.
std::optional<std::u16string> urlScheme(std::u16string_view url);

// The path of a URL text, after the scheme and the authority and before the query or fragment,
// with percent escapes decoded: the bytes of a file path ('/a b.png' for 'file:///a%20b.png').
std::string urlPath(std::u16string_view url);

// The last component of a path, trailing slashes ignored ("b.png" for "/a/b.png"); empty for
// "/" or "".
std::string lastPathComponent(std::string_view path);

// 'file://' and the absolute path, percent-encoded where a URL path may not hold a character.
std::u16string fileUrlText(const std::filesystem::path& absolutePath);

// UTF-8 bytes as UTF-16; malformed sequences become U+FFFD.
std::u16string utf16FromBytes(std::string_view bytes);

} // namespace quillet
