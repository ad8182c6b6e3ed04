// The inline parser's hand-written matchers against ICU running the very patterns they replace,
// over many generated lines and ranges that start and end inside them.

#include "engine/SpanMatchers.h"

#include "engine/RegexSearch.h"

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

std::string describe(std::u16string_view text, Range range) {
    std::string out;
    for (char16_t c : text)
        out += c >= 0x20 && c < 0x7f ? std::string(1, char(c)) : "\\u" + std::to_string(unsigned(c));
    return "line \"" + out + "\" range " + range.toString();
}

struct Generator {
    std::mt19937 random;
    std::vector<std::u16string> pieces;
    std::size_t maxPieces;

    Generator(unsigned seed, const std::vector<std::u16string>& markers, std::size_t longest = 24)
        : random(seed), pieces(kCommonPieces), maxPieces(longest) {
        // Markers are drawn about as often as all the other pieces together.
        for (int copy = 0; copy < 3; ++copy)
            pieces.insert(pieces.end(), markers.begin(), markers.end());
    }

    std::size_t below(std::size_t bound) {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random);
    }

    std::u16string line() {
        std::u16string text;
        for (std::size_t k = below(maxPieces); k > 0; --k)
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

// The pattern each delimited matcher replaces, in the order of spans::Delimited.
const char16_t* delimitedPattern(spans::Delimited kind) {
    static const char16_t* const patterns[] = {u"\\*\\*(([\\S])|([\\S].*[^\\s\\\\]))\\*\\*(\\s|$)",
                                               u"\\*(([\\S])|([\\S].*[^\\s\\\\]))\\*(\\s|$)",
                                               u"\\b__(([\\S])|([\\S].*[^\\s\\\\]))__\\b",
                                               u"\\b_(([\\S])|([\\S].*[^\\s\\\\]))_\\b",
                                               u"~~(([\\S])|([\\S].*[^\\s\\\\]))~~(\\s|$)",
                                               u"\\~(([\\S])|([\\S].*[^\\s\\\\]))\\~",
                                               u"\\^(([\\S])|([\\S].*[^\\s\\\\]))\\^",
                                               u"`(([\\S].*[^\\s\\\\])|([\\S]))`(\\s|$)"};
    return patterns[static_cast<int>(kind)];
}

const char16_t* const kLinkOpening = u"^\\[.*?((\\[.+\\]\\[.+\\])|(\\[.+\\]\\(.+\\)))?\\s*\\](\\(|\\[)";

struct Case {
    const char16_t* pattern;
    Matcher matcher;
    std::vector<std::u16string> markers;
    unsigned seed;
    char16_t anchor = 0; // linkOpening is anchored at the range start
    int rounds = 10000;
};

Case delimited(spans::Delimited kind, std::vector<std::u16string> markers, unsigned seed,
               int rounds = 10000) {
    const auto find = [kind](std::u16string_view s, Range r) { return spans::findDelimited(kind, s, r); };
    return {delimitedPattern(kind), find, std::move(markers), seed, 0, rounds};
}

using LinkScan = Range (*)(std::u16string_view, Range, spans::LineContext*);
Case link(const char16_t* pattern, LinkScan scan, std::vector<std::u16string> markers, unsigned seed,
          char16_t anchor = 0, int rounds = 10000) {
    const auto find = [scan](std::u16string_view s, Range range) { return scan(s, range, nullptr); };
    return {pattern, find, std::move(markers), seed, anchor, rounds};
}

// Runs the case's generated searches; both outcomes must be common, or the comparison proves
// little.
void compareWithICU(const Case& c, std::size_t maxPieces, int minimum) {
    const RegexSearch icu(c.pattern);
    Generator generator(c.seed, c.markers, maxPieces);
    int found = 0, failures = 0;
    for (int round = 0; round < c.rounds && failures < 5; ++round) {
        const std::u16string text = generator.line();
        const Range range = generator.rangeIn(text, c.anchor);
        const RegexHit expected = icu.find(text, range);
        const Range actual = c.matcher(text, range);
        if (expected.timedOut || actual != expected.range) {
            ++failures;
            ADD_FAILURE() << "seed " << c.seed << ", " << describe(text, range) << ": ICU "
                          << expected.range.toString() << ", matcher " << actual.toString();
        }
        found += expected.found();
    }
    EXPECT_GT(found, minimum) << "seed " << c.seed;
    EXPECT_GT(c.rounds - found, minimum) << "seed " << c.seed;
}

using spans::Delimited;

// Short lines with markers drawn often, then long lines whose markers fall at every place of the
// blocks the matchers pass over eight units at a time, forwards for openers and backwards for
// closers. Long lines mostly hold a line terminator, which few matches cross: fewer match.
TEST(SpanMatchers, GeneratedLinesMatchICU) {
    const std::vector<std::u16string> linkPieces = {u"[", u"]", u"(", u")", u"\"", u"]("};
    for (const Case& c : {
             delimited(Delimited::strongStar, {u"*", u"**", u"***"}, 1),
             delimited(Delimited::emStar, {u"*", u"**", u"***"}, 2),
             delimited(Delimited::strongUnderscore, {u"__", u" __", u"__ ", u"_"}, 3),
             delimited(Delimited::emUnderscore, {u"_", u"__", u"_a", u"b_"}, 4),
             delimited(Delimited::strikethrough, {u"~~", u"~~ ", u"~"}, 5),
             delimited(Delimited::subscript, {u"~", u"~~", u"*"}, 6),
             delimited(Delimited::superscript, {u"^", u"^^", u"~"}, 7),
             delimited(Delimited::code, {u"`", u"``", u"*"}, 8),
             link(kLinkOpening, spans::linkOpening, {u"[", u"]", u"(", u")", u"](", u"][", u"[a]", u"!"}, 9,
                  u'[', 20000),
             link(u".+?\\)", spans::throughClosingParenthesis, linkPieces, 10),
             link(u".+?\\]", spans::throughClosingBracket, linkPieces, 11),
             link(u".+?(?=\\])", spans::beforeClosingBracket, linkPieces, 12),
             link(u"(?!\\s).+?(?=(\\s|\"|\\)))", spans::linkURL, linkPieces, 13),
         })
        compareWithICU(c, 24, 250);

    const std::vector<std::u16string> longPieces = {u"[", u"]", u"(", u")", u"](", u"][", u"\"", u"a", u"b"};
    for (const Case& c : {
             delimited(Delimited::emStar, {u"*", u"**", u"a", u"b"}, 41, 4000),
             delimited(Delimited::strongStar, {u"**", u"*", u"a", u"b"}, 40, 4000),
             delimited(Delimited::emUnderscore, {u"_", u" _", u"_ ", u"a"}, 43, 4000),
             delimited(Delimited::strikethrough, {u"~~", u"~~ ", u"a", u"b"}, 44, 4000),
             delimited(Delimited::code, {u"`", u"a", u"b", u"c"}, 47, 4000),
             link(kLinkOpening, spans::linkOpening, longPieces, 50, u'[', 4000),
             link(u".+?\\)", spans::throughClosingParenthesis, longPieces, 51, 0, 2000),
             link(u".+?(?=\\])", spans::beforeClosingBracket, longPieces, 52, 0, 2000),
             link(u"(?!\\s).+?(?=(\\s|\"|\\)))", spans::linkURL, longPieces, 53, 0, 2000),
         })
        compareWithICU(c, 90, 150);
}

// Searches of one kind over one text share a memo and what they learnt about the text's line
// terminators; whatever the order of their starts and range ends, each must still find what ICU
// finds.
TEST(SpanMatchers, SearchesSharingAMemoMatchICU) {
    const std::pair<Delimited, std::vector<std::u16string>> kinds[] = {
        {Delimited::emStar, {u"*", u"**"}},
        {Delimited::strongStar, {u"**", u"*"}},
        {Delimited::emUnderscore, {u"_", u"__"}},
        {Delimited::strongUnderscore, {u"__", u"_"}},
        {Delimited::code, {u"`"}},
        {Delimited::subscript, {u"~"}},
    };
    for (const auto& [kind, markers] : kinds) {
        const RegexSearch icu(delimitedPattern(kind));
        Generator generator(20 + static_cast<unsigned>(kind), markers);
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
                const Range actual = spans::findDelimited(kind, text, range, &line, &memo);
                if (actual != expected) {
                    ++failures;
                    ADD_FAILURE() << describe(text, range) << " (search " << search << "): ICU "
                                  << expected.toString() << ", matcher " << actual.toString();
                }
            }
        }
    }
}

} // namespace
} // namespace quillet
