#include "documents/Search.h"

#include "documents/OutlineLines.h"
#include "documents/SearchCaseFolding.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <ostream>
#include <thread>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quillet {

void PrintTo(const SearchResult& r, std::ostream* out) {
    *out << "{range " << r.range.toString() << ", line " << r.lineRange.toString() << ", fragment "
         << r.fragmentRange.toString() << " \"" << r.fragment.toStdString() << "\"}";
}

namespace {

std::vector<Range> rangesOf(const SearchResults& results) {
    std::vector<Range> ranges;
    for (const SearchResult& result : results)
        ranges.push_back(result.range);
    return ranges;
}

TEST(Search, OccurrencesInALineWithTheirFragments) {
    const SearchResults results = searchResults(u"ab", u"xAByab");
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0], (SearchResult{{1, 2}, {0, 6}, {0, 6}, "xAByab"}));
    EXPECT_EQ(results[1], (SearchResult{{4, 2}, {0, 6}, {0, 6}, "xAByab"}));
}

TEST(Search, FragmentsAreThirtyUnitsFromFifteenBefore) {
    QString line(100, u'.');
    line.replace(40, 4, QStringLiteral("word"));
    line.replace(90, 4, QStringLiteral("WORD"));
    const SearchResults results = searchResults(u"Word", line);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].fragmentRange, (Range{25, 30}));
    EXPECT_EQ(results[0].fragment, line.mid(25, 30));
    EXPECT_EQ(results[1].fragmentRange, (Range{75, 25})); // the line ends first
    EXPECT_EQ(results[1].fragment, line.mid(75));
    EXPECT_EQ(searchResults(u"x", u"0123456789abcdex")[0].fragmentRange, (Range{0, 16}));
    EXPECT_EQ(searchResults(u"x", u"0123456789abcdefx")[0].fragmentRange, (Range{1, 16}));
}

TEST(Search, LinesAreCountedWithTheirBreaks) {
    const SearchResults results = searchResults(u"ab", u"first\nsecond ab\n\nab\r\nAB\u2029ab");
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].lineRange, (Range{6, 9}));
    EXPECT_EQ(results[0].range, (Range{7, 2}));
    EXPECT_EQ(results[0].fragment, QStringLiteral("second ab"));
    EXPECT_EQ(results[1].lineRange, (Range{17, 2}));
    EXPECT_EQ(results[2].lineRange, (Range{21, 2})); // after a CR LF pair
    EXPECT_EQ(results[3].lineRange, (Range{24, 2}));
    EXPECT_TRUE(searchResults(u"b\nf", u"ab\nfirst").empty()); // never across lines
}

TEST(Search, NothingToFind) {
    EXPECT_TRUE(searchResults(u"x", u"").empty());
    EXPECT_TRUE(searchResults(u"", u"text").empty());
    EXPECT_TRUE(searchResults(u"xyz", u"xy\nz").empty());
    EXPECT_EQ(rangesOf(searchResults(u"aa", u"aaaaa")), (std::vector<Range>{{0, 2}, {2, 2}})); // no overlaps
}

TEST(Search, FullCaseFoldingWithOriginalPositions) {
    EXPECT_EQ(rangesOf(searchResults(u"STRASSE", u"die Straße")), (std::vector<Range>{{4, 6}}));
    EXPECT_EQ(rangesOf(searchResults(u"straße", u"STRASSE!")), (std::vector<Range>{{0, 7}}));
    EXPECT_EQ(rangesOf(searchResults(u"AB", u"ßab")), (std::vector<Range>{{1, 2}}));
    EXPECT_EQ(searchResults(u"AB", u"ßab")[0].fragment, QStringLiteral("ßab"));
    EXPECT_EQ(rangesOf(searchResults(u"σας", u"ΣΑΣ")), (std::vector<Range>{{0, 3}}));
    EXPECT_EQ(rangesOf(searchResults(u"k", u"\u212A")), (std::vector<Range>{{0, 1}})); // Kelvin sign
    EXPECT_EQ(rangesOf(searchResults(u"\U00010428x", u"-\U00010400X")), (std::vector<Range>{{1, 3}}));
    EXPECT_EQ(rangesOf(searchResults(u"i\u0307", u"\u0130")), (std::vector<Range>{{0, 1}}));
}

TEST(Search, MatchesCoverWholeCharacters) {
    EXPECT_TRUE(searchResults(u"s", u"ß").empty());
    EXPECT_TRUE(searchResults(u"i", u"\u0130").empty());
    EXPECT_EQ(rangesOf(searchResults(u"ss", u"ßs")), (std::vector<Range>{{0, 1}}));
    EXPECT_TRUE(searchResults(u"\U00010428", u"\xD801").empty()); // a lone surrogate is itself
    EXPECT_EQ(rangesOf(searchResults(u"\xD801", u"a\xD801")), (std::vector<Range>{{1, 1}}));
}

TEST(Search, OneOrTwoOccurrencesAtEveryOffsetOfALongLine) {
    // Occurrences in every lane of the scan's steps, and two in one step or in steps next to each
    // other, among units that are not the first letter.
    const QString filler = QStringLiteral("pPrR1uU");
    QString line;
    for (int i = 0; line.size() < 300; ++i)
        line += filler[i % filler.size()];
    for (qsizetype first = 0; first + 4 <= line.size(); ++first) {
        QString text = line;
        text.replace(first, 4, QStringLiteral("Quiz"));
        EXPECT_EQ(rangesOf(searchResults(u"quiz", text)), (std::vector<Range>{{std::size_t(first), 4}}))
            << "at " << first;
        for (const qsizetype gap : {4, 9, 40, 70}) {
            if (first + gap + 4 > text.size()) continue;
            QString two = text;
            two.replace(first + gap, 4, QStringLiteral("qUIZ"));
            EXPECT_EQ(rangesOf(searchResults(u"QUIZ", two)),
                      (std::vector<Range>{{std::size_t(first), 4}, {std::size_t(first + gap), 4}}))
                << "at " << first << " and " << first + gap;
        }
    }
}

TEST(Search, ContainsLooksAcrossLines) {
    EXPECT_TRUE(textContainsCaseInsensitive(u"one\nTWO", u"E\nt"));
    EXPECT_TRUE(textContainsCaseInsensitive(u"Maße", u"MASSE"));
    EXPECT_FALSE(textContainsCaseInsensitive(u"one\ntwo", u"three"));
    EXPECT_FALSE(textContainsCaseInsensitive(u"one", u""));
    EXPECT_EQ(CaseInsensitiveFinder(u"two").find(u"ONE TWO two", 5), (Range{8, 3}));
    EXPECT_EQ(foldedCase(u"Straße \U00010400"), QStringLiteral("strasse \U00010428"));
}

// The plain definition, position by position: what the fast scan must agree with.
std::vector<Range> referenceOccurrences(QStringView needle, QStringView text) {
    const CaseInsensitiveFinder finder(needle);
    std::vector<Range> found;
    for (std::size_t position = 0; position < static_cast<std::size_t>(text.size());) {
        const bool insidePair = position > 0 && text[qsizetype(position)].isLowSurrogate() &&
                                text[qsizetype(position - 1)].isHighSurrogate();
        const std::size_t length = insidePair ? 0 : finder.matchAt(text, position, true);
        if (length > 0) found.push_back({position, length});
        position += length > 0 ? length : 1;
    }
    return found;
}

// The line around `position`, without its line break, one unit at a time.
Range referenceLine(QStringView text, std::size_t position) {
    std::size_t start = position;
    while (start > 0 && !isLineBreak(text[qsizetype(start - 1)].unicode()))
        --start;
    std::size_t end = position;
    while (end < std::size_t(text.size()) && !isLineBreak(text[qsizetype(end)].unicode()))
        ++end;
    return Range::fromBounds(start, end);
}

std::vector<Range> absoluteRanges(const SearchResults& results) {
    std::vector<Range> ranges;
    for (const SearchResult& result : results)
        ranges.push_back({result.lineRange.location + result.range.location, result.range.length});
    return ranges;
}

// The results agree with the plain definition: the occurrences, each one's line and fragment.
void expectPlainDefinition(const SearchResults& results, QStringView needle, const QString& text) {
    ASSERT_EQ(absoluteRanges(results), referenceOccurrences(needle, text));
    for (const SearchResult& result : results) {
        ASSERT_EQ(result.lineRange, referenceLine(text, result.lineRange.location + result.range.location));
        ASSERT_EQ(result.fragment,
                  text.mid(qsizetype(result.lineRange.location + result.fragmentRange.location),
                           qsizetype(result.fragmentRange.length)));
    }
}

TEST(Search, LongTextsAgreeWithThePlainDefinition) {
    const QStringList pieces = {"k",      "K",          "\u212A",     "s",          "S",      "\u00DF",
                                "\u017F", "x",          " ",          "\n",         "\r",     "\r\n",
                                "\u2028", "\U0001F600", "\U00010400", "\U00010428", "\u00E9", "\u00C9"};
    const QStringList needles = {"k", "ks", "SS", "\u00DFk", "\U00010428", "\u00E9x", "x k"};
    unsigned seed = 1;
    for (int round = 0; round < 40; ++round) {
        QString text;
        for (int i = 0; i < 400; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += pieces[(seed >> 16) % pieces.size()];
        }
        for (const QString& needle : needles) {
            SCOPED_TRACE(::testing::Message() << "round " << round);
            expectPlainDefinition(searchResults(needle, text), needle, text);
        }
    }
}

TEST(Search, LongNotesSearchedInPartsAgreeWithThePlainDefinition) {
    // Over a million units: long enough to be cut into parts at line breaks, with lines of every
    // kind of break (a CR LF pair may be cut in two) and occurrences at lines' ends and starts.
    const QStringList pieces = {"k", "K",  "\u212A", "ss", "\u00DF", "x",
                                " ", "\n", "\r\n",   "\r", "\u2028", "\U0001F600"};
    unsigned seed = 7;
    QString text;
    while (text.size() < 1'200'000) {
        seed = seed * 1103515245u + 12345u;
        text += pieces[(seed >> 16) % pieces.size()];
        if ((seed >> 8) % 997 == 0) text += QString(3000, u'x'); // a long line now and then
    }
    for (const QString& needle : {QStringLiteral("k"), QStringLiteral("ksS"), QStringLiteral("\u00DFk")}) {
        const SearchResults results = searchResults(needle, text);
        ASSERT_GT(results.size(), 1000u);
        expectPlainDefinition(results, needle, text);
    }
}

// A note of about `size` units in short lines, with a line holding the search word "Needle" (or
// "NEEDLE") wherever `holds` says so for the line's start.
template <typename Holds> QString noteWithNeedles(qsizetype size, Holds holds) {
    QString text;
    text.reserve(size + 100);
    for (int line = 0; text.size() < size; ++line) {
        const bool needle = holds(text.size());
        text +=
            needle ? QStringLiteral("a line with the Needle and a NEEDLE") : QStringLiteral("a line of hay");
        text += line % 7 == 0 ? QStringLiteral("\r\n") : QStringLiteral("\n");
    }
    return text;
}

TEST(Search, NotesSearchedInPiecesOnSeveralThreadsJoinInOrder) {
    // Several million units, searched in many pieces taken in turn by several threads: occurrences
    // only in one stretch (one piece holds them all, the others none), only at both ends, in every
    // other stretch, and nowhere.
    const qsizetype size = 3'000'000;
    const QString oneStretch =
        noteWithNeedles(size, [](qsizetype at) { return at > 1'500'000 && at < 1'520'000; });
    const QString bothEnds = noteWithNeedles(size, [](qsizetype at) { return at < 200 || at > size - 200; });
    const QString everyOther = noteWithNeedles(size, [](qsizetype at) { return at / 100'000 % 2 == 0; });
    const QString nowhere = noteWithNeedles(size, [](qsizetype) { return false; });
    for (const QString* text : {&oneStretch, &bothEnds, &everyOther}) {
        const SearchResults results = searchResults(u"needle", *text);
        EXPECT_EQ(results.size(), std::size_t(text->count(QStringLiteral("needle"), Qt::CaseInsensitive)));
        expectPlainDefinition(results, u"needle", *text);
    }
    EXPECT_TRUE(searchResults(u"needle", nowhere).empty());
    EXPECT_EQ(searchResults(u"hay", nowhere).size(), std::size_t(nowhere.count(QStringLiteral("hay"))));
}

TEST(Search, SeveralLongSearchesAtOnceShareTheHelpers) {
    const QString text = noteWithNeedles(2'000'000, [](qsizetype at) { return at % 5 == 0; });
    const SearchResults expected = searchResults(u"needle", text);
    ASSERT_GT(expected.size(), 1000u);
    std::vector<SearchResults> found(4);
    {
        std::vector<std::jthread> searchers;
        for (SearchResults& results : found)
            searchers.emplace_back([&] {
                for (int round = 0; round < 5; ++round)
                    results = searchResults(u"NEEDLE", text);
            });
    }
    for (const SearchResults& results : found)
        EXPECT_TRUE(results == expected);
}

// The length of the match at `position` by the plain definition: fold one character after
// another until the folding is as long as the search string's; 0 when it differs, stops inside a
// character's folding or meets a line break.
std::size_t plainMatchLength(const QString& foldedNeedle, QStringView text, std::size_t position) {
    QString folded;
    std::size_t cursor = position;
    while (folded.size() < foldedNeedle.size()) {
        if (cursor >= std::size_t(text.size()) || isLineBreak(text[qsizetype(cursor)].unicode())) return 0;
        const bool pair = text[qsizetype(cursor)].isHighSurrogate() &&
                          cursor + 1 < std::size_t(text.size()) &&
                          text[qsizetype(cursor + 1)].isLowSurrogate();
        const std::size_t width = pair ? 2 : 1;
        folded += foldedCase(text.mid(qsizetype(cursor), qsizetype(width)));
        cursor += width;
    }
    return folded == foldedNeedle ? cursor - position : 0;
}

TEST(Search, MatchesAtEveryPositionAgreeWithFoldingCharacterByCharacter) {
    // Search strings that fold to ASCII, some longer than one step of eight units, against text
    // where capitals, other ASCII units and characters that fold to ASCII fall on every lane.
    const QStringList pieces = {"k", "s",      " ",      "x",      "K", "\u212A",
                                "S", "\u017F", "\u00DF", "\u00E9", "X", "\n"};
    const QStringList needles = {"ks",     "KSSX", "kss x kss", "x ks x ks x ks x ks", "SSSSSSSSSSSSSSSS",
                                 "\u00DFk"};
    unsigned seed = 3;
    for (int round = 0; round < 30; ++round) {
        QString text;
        for (int i = 0; i < 300; ++i) {
            seed = seed * 1103515245u + 12345u;
            // Every other text takes only the first few pieces, where long search strings turn up.
            text += pieces[(seed >> 16) % (round % 2 ? 5 : pieces.size())];
        }
        for (const QString& needle : needles) {
            const CaseInsensitiveFinder finder(needle);
            const QString folded = foldedCase(needle);
            std::size_t found = 0;
            for (std::size_t position = 0; position < std::size_t(text.size()); ++position) {
                const std::size_t expected = plainMatchLength(folded, text, position);
                found += expected > 0;
                ASSERT_EQ(finder.matchAt(text, position, true), expected)
                    << "round " << round << ", " << needle.toStdString() << " at " << position;
            }
            if (needle == QStringLiteral("ks")) {
                EXPECT_GT(found, 0u);
            }
        }
    }
    EXPECT_EQ(CaseInsensitiveFinder(u"abcdefghij").matchAt(u"xxABCDEFGHIJ", 2, true), 10u);
    EXPECT_EQ(CaseInsensitiveFinder(u"abcdefghij").matchAt(u"xxABCDEFGHI", 2, true), 0u); // the text ends
    EXPECT_EQ(CaseInsensitiveFinder(u"abcdefghi\u212A").matchAt(u"ABCDEFGHI\u212A!!!!!!!!", 0, true), 10u);
    // The units next to the capitals keep themselves: "@[" is not "`{".
    EXPECT_EQ(CaseInsensitiveFinder(u"`{").matchAt(u"@[xxxxxxxx", 0, true), 0u);
    EXPECT_EQ(CaseInsensitiveFinder(u"@[").matchAt(u"@[xxxxxxxx", 0, true), 2u);
    EXPECT_EQ(CaseInsensitiveFinder(u"`{").matchAt(u"`{xxxxxxxx", 0, true), 2u);
}

TEST(Search, HugeNotesAreSearchedWhole) {
    QString text;
    const QString line = QStringLiteral("a line of the note that goes on for a while\n");
    while (text.size() < 25'000'000)
        text += line; // 50 MB of UTF-16
    text += QStringLiteral("the NEEDLE at the end");
    const SearchResults results = searchResults(u"needle", text);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].lineRange.location + results[0].range.location,
              static_cast<std::size_t>(text.size()) - 17);
    EXPECT_EQ(results[0].fragment, QStringLiteral("the NEEDLE at the end"));
}

} // namespace
} // namespace quillet
