#include "documents/SearchCaseFolding.h"

#include "documents/OutlineLines.h"

#include <algorithm>
#include <array>
#include <memory>
#include <unicode/uchar.h>
#include <unicode/uniset.h>
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
    const bool usable = U_SUCCESS(status) && length > 0 && length <= 3;
    const UChar* from = usable ? folded : source;
    folding.length = static_cast<std::uint8_t>(usable ? length : sourceLength);
    std::copy(from, from + folding.length, folding.units.begin());
    return folding;
}

// Foldings of every code unit that is a character on its own; surrogates keep themselves here
// and are folded as pairs by the caller.
const std::vector<Folding>& unitFoldings() {
    static const std::unique_ptr<std::vector<Folding>> table = [] {
        auto foldings = std::make_unique<std::vector<Folding>>(0x10000);
        for (UChar32 c = 0; c < 0x10000; ++c)
            (*foldings)[c] = U16_IS_SURROGATE(c) ? Folding{{static_cast<char16_t>(c)}, 1} : foldCodePoint(c);
        return foldings;
    }();
    return *table;
}

// The characters beyond the first plane that case folding changes, as (lead surrogate, first
// unit of the folding): a character starts with its lead surrogate, its folding may not. (Today
// every such folding keeps its lead surrogate; the table keeps the scan right if one does not.)
const std::vector<std::pair<char16_t, char16_t>>& supplementaryFoldings() {
    static const std::vector<std::pair<char16_t, char16_t>> pairs = [] {
        std::vector<std::pair<char16_t, char16_t>> found;
        UErrorCode status = U_ZERO_ERROR;
        const icu::UnicodeSet changing(u"[:Changes_When_Casefolded:]", status);
        if (U_FAILURE(status)) return found;
        for (int32_t range = 0; range < changing.getRangeCount(); ++range) {
            for (UChar32 c = std::max<UChar32>(changing.getRangeStart(range), 0x10000);
                 c <= changing.getRangeEnd(range); ++c)
                found.emplace_back(U16_LEAD(c), foldCodePoint(c).units[0]);
        }
        return found;
    }();
    return pairs;
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

// For every code unit F, the code units that start a character whose folding begins with F:
// the units of starters[offsets[F]] up to starters[offsets[F + 1]], in ascending order. Built
// once, so that a search string's start units are looked up instead of gathered from every unit.
struct StartUnitIndex {
    std::vector<std::uint32_t> offsets = std::vector<std::uint32_t>(0x10001);
    std::vector<char16_t> starters;
};

const StartUnitIndex& startUnitIndex() {
    static const std::unique_ptr<StartUnitIndex> index = [] {
        std::vector<std::pair<char16_t, char16_t>> pairs; // (first folded unit, starting unit)
        const std::vector<Folding>& foldings = unitFoldings();
        for (std::size_t unit = 0; unit < 0x10000; ++unit)
            pairs.emplace_back(foldings[unit].units[0], static_cast<char16_t>(unit));
        for (const auto& [lead, foldedFirst] : supplementaryFoldings())
            pairs.emplace_back(foldedFirst, lead);
        std::sort(pairs.begin(), pairs.end());
        pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
        auto built = std::make_unique<StartUnitIndex>();
        for (const auto& [first, unit] : pairs) {
            ++built->offsets[first + 1];
            built->starters.push_back(unit);
        }
        for (std::size_t first = 0; first < 0x10000; ++first)
            built->offsets[first + 1] += built->offsets[first];
        return built;
    }();
    return *index;
}

// `listed` holds the start units in ascending order.
SearchScanPlan planScan(const char16_t* starters, std::size_t count) {
    const std::vector<char16_t> all(starters, starters + count);
    std::vector<char16_t> ascii;
    for (const char16_t unit : all)
        if (unit < 0x80) ascii.push_back(unit);
    SearchScanPlan plan;
    if (all.size() <= std::size(plan.units))
        plan.kind = SearchScanPlan::Kind::exact;
    else if (ascii.size() <= 2)
        plan.kind = SearchScanPlan::Kind::asciiFirst;
    else
        return plan;
    const std::vector<char16_t>& listed = plan.kind == SearchScanPlan::Kind::exact ? all : ascii;
    plan.count = static_cast<int>(listed.size());
    // Unused slots repeat the first unit (or hold NUL, which the caller's look-up turns down).
    std::fill(std::begin(plan.units), std::end(plan.units), listed.empty() ? char16_t(0) : listed.front());
    std::copy(listed.begin(), listed.end(), std::begin(plan.units));
    plan.letterPair = plan.count >= 2 && (plan.units[0] ^ plan.units[1]) == 0x20 &&
                      ((plan.units[0] | 0x20) >= u'a' && (plan.units[0] | 0x20) <= u'z');
    return plan;
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
    if (folded_.isEmpty()) return;
    const char16_t first = folded_[0].unicode();
    const StartUnitIndex& index = startUnitIndex();
    const char16_t* starters = index.starters.data() + index.offsets[first];
    const std::size_t count = index.offsets[first + 1] - index.offsets[first];
    for (std::size_t i = 0; i < count; ++i)
        startUnits_[starters[i]] = 1;
    plan_ = planScan(starters, count);
    asciiNeedle_ = !spansLines_ &&
                   std::all_of(folded_.cbegin(), folded_.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (asciiNeedle_) {
        const auto* units = reinterpret_cast<const char16_t*>(folded_.constData());
        paddedNeedle_.assign(units, units + folded_.size());
        paddedNeedle_.resize((paddedNeedle_.size() + 7) / 8 * 8);
    }
}

std::size_t CaseInsensitiveFinder::matchAt(QStringView text, std::size_t position, bool withinLine) const {
    const std::size_t size = static_cast<std::size_t>(text.size());
    const std::size_t needleLength = static_cast<std::size_t>(folded_.size());
    if (needleLength == 0) return 0;
    if (asciiNeedle_) {
        const std::size_t quick = asciiMatchAt(text.utf16(), position, size);
        if (quick != kUndecided) return quick;
    }
    const auto* needle = reinterpret_cast<const char16_t*>(folded_.constData());
    std::size_t matched = 0;
    std::size_t cursor = position;
    while (matched < needleLength) {
        if (cursor >= size) return 0;
        const char16_t unit = text[static_cast<qsizetype>(cursor)].unicode();
        if (unit < 0x80) { // ASCII folds to small letters, one unit each
            const char16_t folded = unit >= u'A' && unit <= u'Z' ? unit | 0x20 : unit;
            if (folded != needle[matched] || (withinLine && isLineBreak(unit))) return 0;
            ++matched;
            ++cursor;
            continue;
        }
        if (withinLine && isLineBreak(unit)) return 0;
        std::size_t width = 0;
        const Folding folding = foldingAt(text, cursor, width);
        if (folding.length > needleLength - matched) return 0; // only part of a character would match
        for (std::uint8_t i = 0; i < folding.length; ++i)
            if (folding.units[i] != needle[matched + i]) return 0;
        matched += folding.length;
        cursor += width;
    }
    return cursor - position;
}

Range CaseInsensitiveFinder::find(QStringView text, std::size_t from) const {
    const std::size_t size = static_cast<std::size_t>(text.size());
    if (folded_.isEmpty()) return Range::notFound();
    const char16_t* units = text.utf16();
    for (std::size_t position = from; (position = nextCandidate(units, position, size)) < size;) {
        if (const std::size_t length = matchAt(text, position, false)) return {position, length};
        const bool pair =
            U16_IS_LEAD(units[position]) && position + 1 < size && U16_IS_TRAIL(units[position + 1]);
        position += pair ? 2 : 1; // past the whole character
    }
    return Range::notFound();
}

} // namespace quillet
