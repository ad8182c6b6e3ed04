// Each hand-written matcher must return exactly the match ICU finds for the pattern it stands
// in for, on any line and any range inside it.

#include "engine/BlockScanners.h"

#include "engine/RegexSearch.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <unicode/uniset.h>
#include <unicode/utf16.h>
#include <vector>

using namespace quillet;

namespace {

using Scanner = Range (*)(std::u16string_view, Range);

struct MatcherCase {
    const char* name;
    std::u16string_view pattern;
    Scanner scanner;
    std::vector<std::u16string_view> favoured; // pieces the pattern cares about, drawn more often
};

// Characters every generated line may hold: letters, digits, word characters beyond ASCII,
// blanks of several kinds and every line terminator. Astral characters are whole pairs.
const std::vector<std::u16string_view> kCommonPieces = {
    u"a",      u"Z",      u"7",          u"_",          u".",      u"-",      u"*",      u" ",
    u" ",      u"\t",     u"\u00A0",     u"\u2003",     u"\u3000", u"\r",     u"\n",     u"\r\n",
    u"\u2028", u"\u2029", u"\u0085",     u"\u000B",     u"\u000C", u"\u00E9", u"\u0301", u"\u0663",
    u"\u200C", u"\u00B7", u"\U0001F600", u"\U0001D400", u"\u2019", u"!",      u"=",
};

struct GeneratedLine {
    std::u16string text;
    std::vector<std::size_t> boundaries; // positions between whole characters
};

GeneratedLine generateLine(std::mt19937& random, const std::vector<std::u16string_view>& favoured,
                           int maxPieces = 14) {
    GeneratedLine line{{}, {0}};
    // Anchored patterns need their first piece at the start of the range.
    const int pieces = int(random() % (maxPieces + 1));
    for (int i = random() % 2 ? -1 : 0; i < pieces; ++i) {
        const auto& from = i < 0 || random() % 2 ? favoured : kCommonPieces;
        line.text += i < 0 ? from.front() : from[random() % from.size()];
        line.boundaries.push_back(line.text.size());
    }
    return line;
}

Range randomRange(std::mt19937& random, const GeneratedLine& line) {
    std::size_t a = line.boundaries[random() % line.boundaries.size()];
    std::size_t b = line.boundaries[random() % line.boundaries.size()];
    if (a > b) std::swap(a, b);
    // Half of the ranges start the line, as the classifier's outermost searches do.
    return Range::fromBounds(random() % 2 ? 0 : a, b);
}

std::string visible(std::u16string_view text) {
    std::string out;
    for (char16_t c : text)
        out += c >= 0x20 && c < 0x7F ? std::string(1, char(c)) : "\\u" + std::to_string(unsigned(c));
    return out;
}

const MatcherCase kCases[] = {
    {"blanksThenNonBlank", u"^\\s+[^\\s]", scan::blanksThenNonBlank, {u" ", u"  ", u"\t", u"#"}},
    {"leadingBlanks", u"^\\s+", scan::leadingBlanks, {u" ", u"\t", u">"}},
    {"openingTagAtStart",
     u"^<[A-Za-z]\\w*\\>",
     scan::openingTagAtStart,
     {u"<d", u"<", u">", u"iv", u"1", u"/"}},
    {"closingTagAtStart", u"^</[A-Za-z]\\w*\\>", scan::closingTagAtStart, {u"</d", u"</", u">", u"iv", u"/"}},
    {"firstClosingTag",
     u"(?=.*)</[A-Za-z]\\w*\\>",
     scan::firstClosingTag,
     {u"</d", u"</", u">", u"iv", u"<"}},
    {"closingHashes", u"(?=.*)\\s+#+$", scan::closingHashes, {u"#", u"##", u" ", u"\t", u"\n", u"\r"}},
    {"labelDefinition", u"(?=\\s*)\\[.+?\\]\\:", scan::labelDefinition, {u"[", u"]", u":", u"]:", u"\n"}},
    {"firstNonBlankRun", u"[^\\s]*[^\\s]", scan::firstNonBlankRun, {u" ", u"  ", u"\t"}},
    {"quotedTitle",
     u"(?=\\s*)(\"[^\"]*\"|'[^']*'|\\([^\\(\\)]*\\)|\u2018[^\u2018]*\u2019|\u201C[^\u201D]*\u201D)",
     scan::quotedTitle,
     {u"\"", u"'", u"(", u")", u"\u2018", u"\u2019", u"\u201C", u"\u201D"}},
};

// Both outcomes must be common, or the comparison proves little.
void compareWithRegex(const MatcherCase& matcher, unsigned seed, int rounds, int maxPieces, int minimum) {
    const RegexSearch regex(matcher.pattern);
    std::mt19937 random(seed);
    int found = 0;
    for (int round = 0; round < rounds; ++round) {
        const GeneratedLine line = generateLine(random, matcher.favoured, maxPieces);
        const Range range = randomRange(random, line);
        const RegexHit expected = regex.find(line.text, range);
        ASSERT_FALSE(expected.timedOut);
        const Range actual = matcher.scanner(line.text, range);
        ASSERT_EQ(actual, expected.range)
            << matcher.name << " on \"" << visible(line.text) << "\" in " << range.toString() << ": expected "
            << expected.range.toString() << ", got " << actual.toString();
        found += expected.found() ? 1 : 0;
    }
    EXPECT_GT(found, minimum) << matcher.name;
    EXPECT_LT(found, rounds - minimum) << matcher.name;
}

} // namespace

// Then long lines, so that what the scanners look for falls at every place of the blocks they pass
// over eight units at a time.
TEST(BlockScanners, EachMatcherFindsWhatItsPatternFinds) {
    for (const MatcherCase& matcher : kCases) {
        compareWithRegex(matcher, 20240607, 30000, 14, 500);
        const std::string_view name = matcher.name;
        if (name == "quotedTitle" || name == "firstNonBlankRun")
            compareWithRegex(matcher, 20261207, 3000, 80, 300);
    }
}

// The word test reads character properties; it must agree with ICU's own `\w` set on every code
// point, and with a regex `\w` on the characters the generated lines use.
TEST(BlockScanners, WordCodePointsAreIcuWordSet) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeSet words(icu::UnicodeString(u"[\\p{Alphabetic}\\p{M}\\p{Nd}\\p{Pc}\\u200c\\u200d]"), status);
    ASSERT_TRUE(U_SUCCESS(status));
    int mismatches = 0;
    int wordCount = 0;
    for (UChar32 c = 0; c <= 0x10FFFF && mismatches < 5; ++c) {
        const bool expected = words.contains(c);
        wordCount += expected ? 1 : 0;
        if (scan::isWordCodePoint(static_cast<char32_t>(c)) != expected) {
            ++mismatches;
            ADD_FAILURE() << "U+" << std::hex << c << " expected " << expected;
        }
    }
    EXPECT_GT(wordCount, 100000);
    const RegexSearch word(u"\\w");
    for (std::u16string_view piece : kCommonPieces) {
        const bool pair = piece.size() == 2 && U16_IS_LEAD(piece[0]);
        const char32_t first = pair ? U16_GET_SUPPLEMENTARY(piece[0], piece[1]) : piece[0];
        EXPECT_EQ(word.find(piece, {0, pair ? 2u : 1u}).found(), scan::isWordCodePoint(first))
            << visible(piece);
    }
}
