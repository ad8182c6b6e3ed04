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

// How the scan for possible match starts tests eight units at a time (SearchScan.cpp).
struct SearchScanPlan {
    enum class Kind {
        unitByUnit, // too many kinds of units can start a match: look each up
        exact,      // the units below are all that can start a match
        asciiFirst, // the ASCII units below, and anything above U+007F is looked up
    };
    Kind kind = Kind::unitByUnit;
    char16_t units[4] = {};
    int count = 0;
    // units[0] and units[1] are the two cases of one ASCII letter: one test finds both.
    bool letterPair = false;
};

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

    // The first position at or after `position` where a match may start; `size` when there is
    // none.
    std::size_t nextCandidate(const char16_t* units, std::size_t position, std::size_t size) const;

    // The position of the first line break at or after `position`; `size` when there is none.
    static std::size_t nextLineBreak(const char16_t* units, std::size_t position, std::size_t size);
    // The start of the line that holds `position`, looking back no further than `floor`.
    static std::size_t lineStartBefore(const char16_t* units, std::size_t position, std::size_t floor);

    // The line that holds the occurrence [position, end), without its line break: from just
    // after the last line break before `position` (or the text's start) to the first at or after
    // `end` (or `size`).
    static Range lineAround(const char16_t* units, std::size_t position, std::size_t end, std::size_t size);

    // Whether a match could start at this code unit.
    bool mayStartWith(char16_t unit) const { return startUnits_[unit] != 0; }
    const SearchScanPlan& scanPlan() const { return plan_; }

private:
    static constexpr std::size_t kUndecided = static_cast<std::size_t>(-1);
    // For a search string that folds to ASCII: the match at `position` compared eight units at
    // a time, while the text holds ASCII where it decides; kUndecided when a unit above U+007F
    // must be folded first (or too few units are left for a whole step).
    std::size_t asciiMatchAt(const char16_t* units, std::size_t position, std::size_t size) const;

    QString folded_;
    bool spansLines_ = false;
    bool asciiNeedle_ = false;           // folds to ASCII and holds no line break
    std::vector<char16_t> paddedNeedle_; // the ASCII folding, padded to whole steps
    std::vector<std::uint8_t> startUnits_ = std::vector<std::uint8_t>(0x10000);
    SearchScanPlan plan_;
};

// The full case folding of the text.
QString foldedCase(QStringView text);

} // namespace quillet
