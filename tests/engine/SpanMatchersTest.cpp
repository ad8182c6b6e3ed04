// The inline parser's hand-written matchers against ICU running the very patterns they replace,
// over many generated lines and ranges that start and end inside them.

#include "engine/SpanMatchers.h"

#include "engine/RegexSearch.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace quillet {
namespace {

using Matcher = std::function<Range(std::u16string_view, Range)>;

// Characters that do not belong to any pattern but decide its outcome: letters (ASCII, accented,
// supplementary), a digit, blanks and unicode spaces, line terminators, a backslash, a combining
// mark, a joiner (a format character) and a lone surrogate.
const std::vector<std::u16string> kCommonPieces = {
    u"a",      u"b",      u"Z",      u"7",      u"\u00e9", u"\u0436", u"\U0001D400", u"\U0001F600",
    u" ",      u" ",      u" ",      u"\t",     u"\u00a0", u"\u2003", u"\u3000",     u"\n",
    u"\r",     u"\r\n",   u"\u000b", u"\u000c", u"\u0085", u"\u2028", u"\u2029",     u"\\",
    u"\u0301", u"\u200d", u"\xD800", u"\u200b", u"-",      u"."};

std::string printable(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char buffer[12];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
            out += buffer;
        }
    }
    return out;
}

std::string describe(std::u16string_view text, Range range) {
    return "line \"" + printable(text) + "\" range " + range.toString();
}

struct Generator {
    std::mt19937 random;
    std::vector<std::u16string> pieces;
    std::size_t maxPieces = 24;

    Generator(unsigned seed, const std::vector<std::u16string>& markers)
        : random(seed), pieces(kCommonPieces) {
        // Markers are drawn about as often as all the other pieces together.
        for (int copy = 0; copy < 3; ++copy)
            for (const auto& marker : markers)
                pieces.push_back(marker);
    }

    std::size_t below(std::size_t bound) {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random);
    }

    std::u16string line() {
        std::u16string text;
        const std::size_t count = below(maxPieces);
        for (std::size_t k = 0; k < count; ++k)
            text += pieces[below(pieces.size())];
        return text;
    }

    // Mostly a range inside the line; now and then the whole line, or one that starts at `anchor`
    // characters when the line holds one (patterns anchored at the range start need it).
    Range rangeIn(std::u16string_view text, char16_t anchor) {
        const std::size_t size = text.size();
        std::size_t start = below(size + 1);
        if (anchor != 0 && below(2) == 0) {
            const std::size_t at = text.find(anchor, start);
            if (at != std::u16string_view::npos) start = at;
        }
        if (below(4) == 0) return Range::fromBounds(below(3) == 0 ? 0 : start, size);
        return Range::fromBounds(start, start + below(size - start + 1));
    }
};

struct Tally {
    int found = 0;
    int notFound = 0;
};

// Runs `rounds` generated searches; returns how many found a match and how many did not.
Tally compareWithICU(const char16_t* pattern, const Matcher& matcher,
                     const std::vector<std::u16string>& markers, unsigned seed, char16_t anchor = 0,
                     int rounds = 10000, std::size_t maxPieces = 24) {
    const RegexSearch icu(pattern);
    Generator generator(seed, markers);
    generator.maxPieces = maxPieces;
    Tally tally;
    int failures = 0;
    for (int round = 0; round < rounds && failures < 5; ++round) {
        const std::u16string text = generator.line();
        const Range range = generator.rangeIn(text, anchor);
        const RegexHit expected = icu.find(text, range);
        EXPECT_FALSE(expected.timedOut) << describe(text, range);
        const Range actual = matcher(text, range);
        if (actual != expected.range) {
            ++failures;
            ADD_FAILURE() << "pattern " << printable(pattern) << "\n"
                          << describe(text, range) << "\nICU " << expected.range.toString() << ", matcher "
                          << actual.toString();
        }
        (expected.found() ? tally.found : tally.notFound)++;
    }
    return tally;
}

Matcher delimited(spans::Delimited kind) {
    return [kind](std::u16string_view s, Range range) { return spans::findDelimited(kind, s, range); };
}

// Both outcomes must be common, or the comparison proves little.
void expectBothOutcomes(const Tally& tally) {
    EXPECT_GT(tally.found, 250);
    EXPECT_GT(tally.notFound, 250);
}

// The pattern each delimited matcher replaces.
const char16_t* delimitedPattern(spans::Delimited kind) {
    switch (kind) {
    case spans::Delimited::strongStar:
        return u"\\*\\*(([\\S])|([\\S].*[^\\s\\\\]))\\*\\*(\\s|$)";
    case spans::Delimited::emStar:
        return u"\\*(([\\S])|([\\S].*[^\\s\\\\]))\\*(\\s|$)";
    case spans::Delimited::strongUnderscore:
        return u"\\b__(([\\S])|([\\S].*[^\\s\\\\]))__\\b";
    case spans::Delimited::emUnderscore:
        return u"\\b_(([\\S])|([\\S].*[^\\s\\\\]))_\\b";
    case spans::Delimited::strikethrough:
        return u"~~(([\\S])|([\\S].*[^\\s\\\\]))~~(\\s|$)";
    case spans::Delimited::subscript:
        return u"\\~(([\\S])|([\\S].*[^\\s\\\\]))\\~";
    case spans::Delimited::superscript:
        return u"\\^(([\\S])|([\\S].*[^\\s\\\\]))\\^";
    case spans::Delimited::code:
        return u"`(([\\S].*[^\\s\\\\])|([\\S]))`(\\s|$)";
    }
    return u"";
}

// One kind of delimited element with the markers its generated lines are made of.
struct DelimitedCase {
    spans::Delimited kind;
    std::vector<std::u16string> markers;
};

TEST(SpanMatchers, StarPatternsMatchICU) {
    const std::vector<std::u16string> markers = {u"*", u"**", u"***"};
    expectBothOutcomes(compareWithICU(delimitedPattern(spans::Delimited::strongStar),
                                      delimited(spans::Delimited::strongStar), markers, 1));
    expectBothOutcomes(compareWithICU(delimitedPattern(spans::Delimited::emStar),
                                      delimited(spans::Delimited::emStar), markers, 2));
}

TEST(SpanMatchers, UnderscorePatternsMatchICU) {
    const std::vector<std::u16string> markers = {u"_", u"__", u"_a", u"b_"};
    expectBothOutcomes(compareWithICU(delimitedPattern(spans::Delimited::strongUnderscore),
                                      delimited(spans::Delimited::strongUnderscore),
                                      {u"__", u" __", u"__ ", u"_"}, 3));
    expectBothOutcomes(compareWithICU(delimitedPattern(spans::Delimited::emUnderscore),
                                      delimited(spans::Delimited::emUnderscore), markers, 4));
}

TEST(SpanMatchers, TildeAndCaretPatternsMatchICU) {
    const std::vector<std::u16string> tildes = {u"~", u"~~", u"*"};
    expectBothOutcomes(compareWithICU(delimitedPattern(spans::Delimited::strikethrough),
                                      delimited(spans::Delimited::strikethrough), {u"~~", u"~~ ", u"~"}, 5));
    expectBothOutcomes(compareWithICU(delimitedPattern(spans::Delimited::subscript),
                                      delimited(spans::Delimited::subscript), tildes, 6));
    expectBothOutcomes(compareWithICU(delimitedPattern(spans::Delimited::superscript),
                                      delimited(spans::Delimited::superscript), {u"^", u"^^", u"~"}, 7));
}

TEST(SpanMatchers, CodePatternMatchesICU) {
    expectBothOutcomes(compareWithICU(delimitedPattern(spans::Delimited::code),
                                      delimited(spans::Delimited::code), {u"`", u"``", u"*"}, 8));
}

TEST(SpanMatchers, LinkOpeningMatchesICU) {
    const std::vector<std::u16string> markers = {u"[", u"]", u"(", u")", u"](", u"][", u"[a]", u"!"};
    const Matcher opening = [](std::u16string_view s, Range range) { return spans::linkOpening(s, range); };
    expectBothOutcomes(compareWithICU(u"^\\[.*?((\\[.+\\]\\[.+\\])|(\\[.+\\]\\(.+\\)))?\\s*\\](\\(|\\[)",
                                      opening, markers, 9, u'[', 20000));
}

TEST(SpanMatchers, LinkTargetPatternsMatchICU) {
    const std::vector<std::u16string> markers = {u"[", u"]", u"(", u")", u"\"", u"]("};
    expectBothOutcomes(compareWithICU(
        u".+?\\)", [](std::u16string_view s, Range r) { return spans::throughClosingParenthesis(s, r); },
        markers, 10));
    expectBothOutcomes(compareWithICU(
        u".+?\\]", [](std::u16string_view s, Range r) { return spans::throughClosingBracket(s, r); }, markers,
        11));
    expectBothOutcomes(compareWithICU(
        u".+?(?=\\])", [](std::u16string_view s, Range r) { return spans::beforeClosingBracket(s, r); },
        markers, 12));
    expectBothOutcomes(compareWithICU(
        u"(?!\\s).+?(?=(\\s|\"|\\)))", [](std::u16string_view s, Range r) { return spans::linkURL(s, r); },
        markers, 13));
}

// Long lines, whose markers fall at every place of the blocks the matchers pass over eight units
// at a time, forwards for openers and backwards for closers.
TEST(SpanMatchers, LongLinesMatchICU) {
    const std::vector<DelimitedCase> kinds = {
        {spans::Delimited::emStar, {u"*", u"**", u"a", u"b"}},
        {spans::Delimited::strongStar, {u"**", u"*", u"a", u"b"}},
        {spans::Delimited::emUnderscore, {u"_", u" _", u"_ ", u"a"}},
        {spans::Delimited::strikethrough, {u"~~", u"~~ ", u"a", u"b"}},
        {spans::Delimited::code, {u"`", u"a", u"b", u"c"}},
    };
    for (const DelimitedCase& kind : kinds) {
        // Long lines mostly hold a line terminator, which few matches cross: fewer of them.
        const Tally tally = compareWithICU(delimitedPattern(kind.kind), delimited(kind.kind), kind.markers,
                                           40 + static_cast<unsigned>(kind.kind), 0, 4000, 90);
        EXPECT_GT(tally.found, 150);
        EXPECT_GT(tally.notFound, 150);
    }
    const std::vector<std::u16string> linkPieces = {u"[", u"]", u"(", u")", u"](", u"][", u"\"", u"a", u"b"};
    const Matcher opening = [](std::u16string_view s, Range range) { return spans::linkOpening(s, range); };
    expectBothOutcomes(compareWithICU(u"^\\[.*?((\\[.+\\]\\[.+\\])|(\\[.+\\]\\(.+\\)))?\\s*\\](\\(|\\[)",
                                      opening, linkPieces, 50, u'[', 4000, 90));
    expectBothOutcomes(compareWithICU(
        u".+?\\)", [](std::u16string_view s, Range r) { return spans::throughClosingParenthesis(s, r); },
        linkPieces, 51, 0, 2000, 90));
    expectBothOutcomes(compareWithICU(
        u".+?(?=\\])", [](std::u16string_view s, Range r) { return spans::beforeClosingBracket(s, r); },
        linkPieces, 52, 0, 2000, 90));
    expectBothOutcomes(compareWithICU(
        u"(?!\\s).+?(?=(\\s|\"|\\)))", [](std::u16string_view s, Range r) { return spans::linkURL(s, r); },
        linkPieces, 53, 0, 2000, 90));
}

// Searches of one kind over one text share a memo and what they learnt about the text's line
// terminators; whatever the order of their starts and range ends, each must still find what ICU
// finds.
TEST(SpanMatchers, SearchesSharingAMemoMatchICU) {
    const std::vector<DelimitedCase> kinds = {
        {spans::Delimited::emStar, {u"*", u"**"}},
        {spans::Delimited::strongStar, {u"**", u"*"}},
        {spans::Delimited::emUnderscore, {u"_", u"__"}},
        {spans::Delimited::strongUnderscore, {u"__", u"_"}},
        {spans::Delimited::code, {u"`"}},
        {spans::Delimited::subscript, {u"~"}},
    };
    for (const DelimitedCase& kind : kinds) {
        const RegexSearch icu(delimitedPattern(kind.kind));
        Generator generator(20 + static_cast<unsigned>(kind.kind), kind.markers);
        int failures = 0;
        for (int round = 0; round < 3000 && failures < 5; ++round) {
            const std::u16string text = generator.line();
            spans::DelimitedMemo memo;
            spans::LineContext line;
            std::size_t stop = text.size();
            for (int search = 0; search < 8; ++search) {
                // Mostly the same range end, so that the memo is used.
                if (generator.below(4) == 0) stop = generator.below(text.size() + 1);
                const Range range = Range::fromBounds(generator.below(stop + 1), stop);
                const Range expected = icu.find(text, range).range;
                const Range actual = spans::findDelimited(kind.kind, text, range, &line, &memo);
                if (actual != expected) {
                    ++failures;
                    ADD_FAILURE() << "pattern " << printable(delimitedPattern(kind.kind)) << "\n"
                                  << describe(text, range) << " (search " << search << ")\nICU "
                                  << expected.toString() << ", matcher " << actual.toString();
                }
            }
        }
    }
}

// Hand-picked lines for the corners the generator reaches only by chance.
TEST(SpanMatchers, CornerCasesMatchICU) {
    struct Corner {
        const char16_t* pattern;
        Matcher matcher;
        std::u16string line;
    };
    const auto em = delimited(spans::Delimited::emStar);
    const auto emU = delimited(spans::Delimited::emUnderscore);
    const Matcher opening = [](std::u16string_view s, Range range) { return spans::linkOpening(s, range); };
    const char16_t* emPattern = delimitedPattern(spans::Delimited::emStar);
    const char16_t* emUPattern = delimitedPattern(spans::Delimited::emUnderscore);
    const char16_t* linkPattern = u"^\\[.*?((\\[.+\\]\\[.+\\])|(\\[.+\\]\\(.+\\)))?\\s*\\](\\(|\\[)";
    const std::vector<Corner> corners = {
        {emPattern, em, u"*\U0001F600* x*y*"},      // one code point of two units
        {emPattern, em, u"*a* and *b*"},            // the single-character content wins
        {emPattern, em, u"*ab* and *cd*"},          // greedy to the last closer
        {emPattern, em, u"*ab\u000b*cd*"},          // '.' stops at a vertical tab
        {emPattern, em, u"*ab*\u00a0x"},            // a no-break space after the closer
        {emPattern, em, u"*a\\*"},                  // a backslash cannot end the content
        {emUPattern, emU, u"snake_case_name"},      // no word boundary
        {emUPattern, emU, u"x \u0301_ab_ y"},       // a combining mark before the opener
        {emUPattern, emU, u"_ab_\u0301 _cd_"},      // no boundary before a combining mark
        {emUPattern, emU, u"\U0001D400_ab_"},       // a supplementary letter before
        {linkPattern, opening, u"[a [b](c) d](e)"}, // a nested link
        {linkPattern, opening, u"[a [b][c] d][e]"}, // a nested label link
        {linkPattern, opening, u"[a][b] \n ](x"},   // the close may pass a line break
        {linkPattern, opening, std::u16string(120, u'[')},
    };
    for (const Corner& corner : corners) {
        const RegexSearch icu(corner.pattern);
        for (std::size_t start = 0; start <= corner.line.size(); ++start) {
            const Range range = Range::fromBounds(start, corner.line.size());
            EXPECT_EQ(corner.matcher(corner.line, range), icu.find(corner.line, range).range)
                << describe(corner.line, range);
        }
    }
}

} // namespace
} // namespace quillet
