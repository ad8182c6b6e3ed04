#pragma once
// An ICU regular expression searched for within a range of a text, the way the engine's patterns
// are defined: the search sees only the range (transparent bounds off), '^' and '$' match at the
// range's ends (anchoring bounds on), and the first match is reported. Every search runs under a
// time limit so that no line can hang the program.

#include "engine/Range.h"

#include <memory>
#include <string_view>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class RegexMatcher;
U_NAMESPACE_END

namespace quillet {

struct RegexHit {
    Range range = Range::notFound(); // notFound() when there is no match
    bool timedOut = false;           // the time (or backtracking memory) limit stopped the search

    bool found() const { return range.found(); }
};

class RegexSearch {
public:
    // Compiles the pattern once per distinct pattern text (shared by every instance); a pattern
    // that does not compile is a programming error and aborts.
    explicit RegexSearch(std::u16string_view pattern);
    ~RegexSearch();
    RegexSearch(const RegexSearch&) = delete;
    RegexSearch& operator=(const RegexSearch&) = delete;

    // First match inside `range` of `text`. Not thread-safe: one instance per engine.
    RegexHit find(std::u16string_view text, Range range) const;

    // ICU time-limit units (about 10,000 matcher steps each) allowed to one search. A unit costs
    // about 0.15 ms here, so a search that reaches the limit gives up after some 50 ms. Ordinary
    // lines stay far below it: the costliest of the engine's patterns on a line of links, such as
    // `(?=\s*)\[.+?\]\:`, takes about 55 units at 5,000 characters and 220 at 10,000.
    // The limit counts steps, not characters: a `.*` runs through a line as a single step, so a
    // pattern that starts with `(?=.*)` is not held back by it and costs time quadratic in the
    // length of the line (some 45 ms at 20,000 characters, minutes at a megabyte).
    static constexpr int kTimeLimit = 300;

private:
    std::unique_ptr<icu::RegexMatcher> matcher_;
};

// Literal, code-unit by code-unit search for `needle` inside `range` of `text`.
Range findLiteral(std::u16string_view text, Range range, std::u16string_view needle);

} // namespace quillet
