#pragma once
// How the fuzz targets turn their input bytes into engine text. Well-formed UTF-8 decodes as
// usual; a three-byte sequence that encodes a surrogate (ED A0..BF xx) gives that surrogate as a
// lone code unit; any byte that does not start a well-formed sequence becomes U+FFFD. So every
// UTF-16 code unit, paired or not, can be reached, while seed notes stay readable Markdown.

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillet::fuzz {

inline std::u16string decodeLenientUtf8(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    text.reserve(size);
    auto continuation = [&](std::size_t at) { return at < size && (data[at] & 0xC0) == 0x80; };
    for (std::size_t i = 0; i < size;) {
        const std::uint8_t lead = data[i];
        if (lead < 0x80) {
            text += static_cast<char16_t>(lead);
            ++i;
        } else if (lead >= 0xC2 && lead <= 0xDF && continuation(i + 1)) {
            text += static_cast<char16_t>(((lead & 0x1F) << 6) | (data[i + 1] & 0x3F));
            i += 2;
        } else if (lead >= 0xE0 && lead <= 0xEF && continuation(i + 1) && continuation(i + 2) &&
                   (lead != 0xE0 || data[i + 1] >= 0xA0)) {
            text += static_cast<char16_t>(((lead & 0x0F) << 12) | ((data[i + 1] & 0x3F) << 6) |
                                          (data[i + 2] & 0x3F));
            i += 3;
        } else if (lead >= 0xF0 && lead <= 0xF4 && continuation(i + 1) && continuation(i + 2) &&
                   continuation(i + 3) && (lead != 0xF0 || data[i + 1] >= 0x90) &&
                   (lead != 0xF4 || data[i + 1] < 0x90)) {
            const char32_t value = ((lead & 0x07) << 18) | ((data[i + 1] & 0x3F) << 12) |
                                   ((data[i + 2] & 0x3F) << 6) | (data[i + 3] & 0x3F);
            text += static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
            i += 4;
        } else {
            text += u'\uFFFD';
            ++i;
        }
    }
    return text;
}

} // namespace quillet::fuzz
