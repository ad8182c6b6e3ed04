#include "platform/TextFiles.h"

#include <cstdint>
#include <cstring>

namespace quillet::platform {
namespace {

// Length of the well-formed sequence at `p` (Unicode Table 3-7), or 0 when it is ill-formed.
std::size_t sequenceLength(const unsigned char* p, std::size_t remaining) {
    const unsigned char lead = p[0];
    auto continuation = [&](std::size_t i, unsigned char low = 0x80, unsigned char high = 0xBF) {
        return i < remaining && p[i] >= low && p[i] <= high;
    };
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return continuation(1) ? 2 : 0;
    if (lead == 0xE0) return continuation(1, 0xA0) && continuation(2) ? 3 : 0;
    if ((lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE || lead == 0xEF)
        return continuation(1) && continuation(2) ? 3 : 0;
    if (lead == 0xED) return continuation(1, 0x80, 0x9F) && continuation(2) ? 3 : 0; // no surrogates
    if (lead == 0xF0) return continuation(1, 0x90) && continuation(2) && continuation(3) ? 4 : 0;
    if (lead >= 0xF1 && lead <= 0xF3) return continuation(1) && continuation(2) && continuation(3) ? 4 : 0;
    if (lead == 0xF4) return continuation(1, 0x80, 0x8F) && continuation(2) && continuation(3) ? 4 : 0;
    return 0;
}

} // namespace

std::optional<std::size_t> firstInvalidUtf8Offset(std::string_view bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        // Eight ASCII bytes at a time: the common case in notes.
        if (i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, data + i, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const std::size_t length = sequenceLength(data + i, size - i);
        if (length == 0) return i;
        i += length;
    }
    return std::nullopt;
}

} // namespace quillet::platform
