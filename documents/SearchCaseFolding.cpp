#include "documents/SearchCaseFolding.h"

#include "documents/OutlineLines.h"

#include <algorithm>
#include <array>
#include <memory>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <vector>

namespace quillet {

namespace {

// The folding of one character: at most three UTF-16 code units.
struct Folding {
    std::array<char16_t, 3> units{};
    std::uint8_t length = 0;
};

Folding foldCodePoint(UChar32 c) {
    UChar source[2];
    int32_t sourceLength = 0;
    U16_APPEND_UNSAFE(source, sourceLength, c);
    Folding folding;
    UChar folded[8];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = u_strFoldCase(folded, 8, source, sourceLength, U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status) || length <= 0 || length > 3) {
        std::copy(source, source + sourceLength, folding.units.begin());
        folding.length = static_cast<std::uint8_t>(sourceLength);
        return folding;
    }
    std::copy(folded, folded + length, folding.units.begin());
    folding.length = static_cast<std::uint8_t>(length);
    return folding;
}

// Foldings of every code unit that is a character on its own; surrogates keep themselves here
// and are folded as pairs by the caller.
const std::vector<Folding>& unitFoldings() {
    static const std::unique_ptr<std::vector<Folding>> table = [] {
        auto foldings = std::make_unique<std::vector<Folding>>(0x10000);
        for (UChar32 c = 0; c < 0x10000; ++c) {
            if (U16_IS_SURROGATE(c))
                (*foldings)[c] = {{static_cast<char16_t>(c)}, 1};
            else
                (*foldings)[c] = foldCodePoint(c);
        }
        return foldings;
    }();
    return *table;
}

// The folding of the character at `position` and the number of code units it takes.
Folding foldingAt(QStringView text, std::size_t position, std::size_t& width) {
    const std::size_t size = static_cast<std::size_t>(text.size());
    const char16_t unit = text[static_cast<qsizetype>(position)].unicode();
    if (U16_IS_LEAD(unit) && position + 1 < size) {
        const char16_t trail = text[static_cast<qsizetype>(position + 1)].unicode();
        if (U16_IS_TRAIL(trail)) {
            width = 2;
            return foldCodePoint(U16_GET_SUPPLEMENTARY(unit, trail));
        }
    }
    width = 1;
    return unitFoldings()[unit];
}

} // namespace

QString foldedCase(QStringView text) {
    QString folded;
    folded.reserve(text.size());
    std::size_t position = 0;
    const std::size_t size = static_cast<std::size_t>(text.size());
    while (position < size) {
        std::size_t width = 0;
        const Folding folding = foldingAt(text, position, width);
        folded.append(reinterpret_cast<const QChar*>(folding.units.data()), folding.length);
        position += width;
    }
    return folded;
}

CaseInsensitiveFinder::CaseInsensitiveFinder(QStringView needle) : folded_(foldedCase(needle)) {
    spansLines_ =
        std::any_of(folded_.cbegin(), folded_.cend(), [](QChar c) { return isLineBreak(c.unicode()); });
    for (char16_t unit : {u'\n', u'\r', char16_t(0x0085), char16_t(0x2028), char16_t(0x2029)})
        flags_[unit] |= kLineBreak;
    if (folded_.isEmpty()) return;
    const char16_t first = folded_[0].unicode();
    const std::vector<Folding>& foldings = unitFoldings();
    for (std::size_t unit = 0; unit < 0x10000; ++unit) {
        // A lead surrogate may begin a character whose folding starts with `first`.
        if (foldings[unit].units[0] == first || U16_IS_LEAD(unit)) flags_[unit] |= kCandidate;
    }
}

std::size_t CaseInsensitiveFinder::matchAt(QStringView text, std::size_t position, bool withinLine) const {
    const std::size_t size = static_cast<std::size_t>(text.size());
    const std::size_t needleLength = static_cast<std::size_t>(folded_.size());
    if (needleLength == 0) return 0;
    const char16_t* needle = reinterpret_cast<const char16_t*>(folded_.utf16());
    std::size_t matched = 0;
    std::size_t cursor = position;
    while (matched < needleLength) {
        if (cursor >= size) return 0;
        if (withinLine && isLineBreak(text[static_cast<qsizetype>(cursor)].unicode())) return 0;
        std::size_t width = 0;
        const Folding folding = foldingAt(text, cursor, width);
        if (folding.length > needleLength - matched) return 0; // only part of a character would match
        if (!std::equal(folding.units.begin(), folding.units.begin() + folding.length, needle + matched))
            return 0;
        matched += folding.length;
        cursor += width;
    }
    return cursor - position;
}

Range CaseInsensitiveFinder::find(QStringView text, std::size_t from) const {
    const std::size_t size = static_cast<std::size_t>(text.size());
    if (folded_.isEmpty()) return Range::notFound();
    for (std::size_t position = from; position < size; ++position) {
        const char16_t unit = text[static_cast<qsizetype>(position)].unicode();
        if (!mayStartWith(unit)) continue;
        if (const std::size_t length = matchAt(text, position, false)) return {position, length};
        if (U16_IS_LEAD(unit) && position + 1 < size &&
            U16_IS_TRAIL(text[static_cast<qsizetype>(position + 1)].unicode()))
            ++position; // step over the whole character
    }
    return Range::notFound();
}

} // namespace quillet
