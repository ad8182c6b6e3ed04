#pragma once
// Case-insensitive literal search by Unicode full case folding: "Straße" finds "STRASSE" and
// "ǰ" finds "J̌". A match always covers whole characters of the text, so "s" does not find half
// of a "ß". Positions are those of the original text, in UTF-16 code units.

#include "engine/Range.h"

#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillet {

class CaseInsensitiveFinder {
public:
    explicit CaseInsensitiveFinder(QStringView needle);

    bool isEmpty() const { return folded_.isEmpty(); }
    // True when the folded needle holds a line break: it can never match within one line.
    bool spansLines() const { return spansLines_; }

    // Length of the match that starts at `position`, 0 when there is none. With
    // `withinLine` a line break of the text ends the attempt.
    std::size_t matchAt(QStringView text, std::size_t position, bool withinLine) const;

    // The first match at or after `from`; notFound() when there is none.
    Range find(QStringView text, std::size_t from) const;

    // Whether a match could start at this code unit (a cheap first test).
    bool mayStartWith(char16_t unit) const { return (flags_[unit] & kCandidate) != 0; }
    bool isLineBreakUnit(char16_t unit) const { return (flags_[unit] & kLineBreak) != 0; }
    std::uint8_t flags(char16_t unit) const { return flags_[unit]; }

    static constexpr std::uint8_t kCandidate = 1;
    static constexpr std::uint8_t kLineBreak = 2;

private:
    QString folded_;
    bool spansLines_ = false;
    std::vector<std::uint8_t> flags_ = std::vector<std::uint8_t>(0x10000);
};

// The full case folding of the text.
QString foldedCase(QStringView text);

} // namespace quillet
