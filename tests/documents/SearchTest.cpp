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
namespace {

std::vector<Range> rangesOf(const SearchResults& results) {
    std::vector<Range> ranges;
    for (const SearchResult& result : results)
        ranges.push_back(result.range);
    return ranges;
}

TEST(Search, FragmentsAreThirtyUnitsFromFifteenBeforeWithinTheLine) {
    EXPECT_EQ(searchResults(u"ab", u"xAByab"),
              (SearchResults{{{1, 2}, {0, 6}, {0, 6}, "xAByab"}, {{4, 2}, {0, 6}, {0, 6}, "xAByab"}}));
    QString line(100, u'.');
    line.replace(40, 4, QStringLiteral("word"));
    line.replace(90, 4, QStringLiteral("WORD"));
    const SearchResults results = searchResults(u"Word", QStringLiteral("first\r\n") + line);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].lineRange, (Range{7, 100}));
    EXPECT_EQ(results[0].fragmentRange, (Range{25, 30}));
    EXPECT_EQ(results[0].fragment, line.mid(25, 30));
    EXPECT_EQ(results[1].fragmentRange, (Range{75, 25})); // the line ends first
}

// Full case folding; a match covers whole characters, a lone surrogate is itself; no overlaps,
// never across lines, nothing to find.
TEST(Search, FullCaseFoldingOverWholeCharactersOnOneLine) {
    const struct {
        const char16_t *needle, *text;
        std::vector<Range> found;
    } cases[] = {{u"STRASSE", u"die Straße", {{4, 6}}},
                 {u"straße", u"STRASSE!", {{0, 7}}},
                 {u"AB", u"ßab", {{1, 2}}},
                 {u"σας", u"ΣΑΣ", {{0, 3}}},
                 {u"k", u"\u212A", {{0, 1}}},
                 {u"\U00010428x", u"-\U00010400X", {{1, 3}}},
                 {u"i\u0307", u"\u0130", {{0, 1}}},
                 {u"ss", u"ßs", {{0, 1}}},
                 {u"s", u"ß", {}},
                 {u"i", u"\u0130", {}},
                 {u"\U00010428", u"\xD801", {}},
                 {u"\xD801", u"a\xD801", {{1, 1}}},
                 {u"aa", u"aaaaa", {{0, 2}, {2, 2}}},
                 {u"b\nf", u"ab\nfirst", {}},
                 {u"x", u"", {}},
                 {u"", u"text", {}}};
    for (const auto& c : cases)
        EXPECT_EQ(rangesOf(searchResults(c.needle, c.text)), c.found)
            << QString::fromUtf16(c.needle).toStdString();
    EXPECT_TRUE(textContainsCaseInsensitive(u"one\nTWO", u"E\nt")); // this one looks across lines
    EXPECT_TRUE(textContainsCaseInsensitive(u"Maße", u"MASSE"));
    EXPECT_FALSE(textContainsCaseInsensitive(u"one", u""));
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
    std::size_t start = position, end = position;
    while (start > 0 && !isLineBreak(text[qsizetype(start - 1)].unicode()))
        --start;
    while (end < std::size_t(text.size()) && !isLineBreak(text[qsizetype(end)].unicode()))
        ++end;
    return Range::fromBounds(start, end);
}

// The results agree with the plain definition: the occurrences, each one's line and fragment.
void expectPlainDefinition(const SearchResults& results, QStringView needle, const QString& text) {
    std::vector<Range> absolute;
    for (const SearchResult& result : results) {
        const std::size_t at = result.lineRange.location + result.range.location;
        absolute.push_back({at, result.range.length});
        ASSERT_EQ(result.lineRange, referenceLine(text, at));
        ASSERT_EQ(result.fragment,
                  text.mid(qsizetype(result.lineRange.location + result.fragmentRange.location),
                           qsizetype(result.fragmentRange.length)));
    }
    ASSERT_EQ(absolute, referenceOccurrences(needle, text));
}

QString randomText(const QStringList& pieces, unsigned seed, qsizetype size) {
    QString text;
    while (text.size() < size) {
        seed = seed * 1103515245u + 12345u;
        text += pieces[(seed >> 16) % pieces.size()];
        if ((seed >> 8) % 997 == 0) text += QString(3000, u'x'); // a long line now and then
    }
    return text;
}

TEST(Search, RandomTextsAgreeWithThePlainDefinition) {
    // Short texts for the scan's lanes and steps; long ones cut into pieces at line breaks, where a
    // CR LF pair may be cut in two and occurrences sit at lines' ends and starts.
    const QStringList pieces = {"k",      "K",          "\u212A",     "s",          "S",     "\u00DF",
                                "\u017F", "x",          " ",          "\n",         "\r",    "\r\n",
                                "\u2028", "\U0001F600", "\U00010400", "\U00010428", "\u00E9"};
    for (unsigned round = 0; round < 40; ++round) {
        const QString text = randomText(pieces, round, 400);
        for (const char16_t* needle : {u"k", u"ks", u"SS", u"\u00DFk", u"\U00010428", u"\u00E9x", u"x k"})
            ASSERT_NO_FATAL_FAILURE(expectPlainDefinition(searchResults(needle, text), needle, text))
                << "round " << round;
    }
    const QString note = randomText(pieces, 7, 1'200'000);
    for (const char16_t* needle : {u"k", u"ksS", u"\u00DFk"})
        ASSERT_NO_FATAL_FAILURE(expectPlainDefinition(searchResults(needle, note), needle, note));
}

TEST(Search, OneOrTwoOccurrencesAtEveryOffsetOfALongLine) {
    // Every lane of the scan's steps, and two in one step or in steps next to each other, among
    // units that are not the first letter.
    QString line;
    for (int i = 0; line.size() < 300; ++i)
        line += QStringLiteral("pPrR1uU")[i % 7];
    for (qsizetype first = 0; first + 4 <= line.size(); ++first) {
        QString text = line;
        text.replace(first, 4, QStringLiteral("Quiz"));
        EXPECT_EQ(rangesOf(searchResults(u"quiz", text)), (std::vector<Range>{{std::size_t(first), 4}}))
            << first;
        for (const qsizetype second : {first + 4, first + 9, first + 40, first + 70}) {
            if (second + 4 > text.size()) continue;
            QString two = text;
            two.replace(second, 4, QStringLiteral("qUIZ"));
            EXPECT_EQ(rangesOf(searchResults(u"QUIZ", two)),
                      (std::vector<Range>{{std::size_t(first), 4}, {std::size_t(second), 4}}))
                << first << " and " << second;
        }
    }
}

// A note of about `size` units in short lines, with the word "Needle" twice on the lines whose
// start `holds` picks.
template <typename Holds> QString noteWithNeedles(qsizetype size, Holds holds) {
    QString text;
    for (int line = 0; text.size() < size; ++line) {
        text += holds(text.size()) ? QStringLiteral("a line with the Needle and a NEEDLE")
                                   : QStringLiteral("hay");
        text += line % 7 == 0 ? QStringLiteral("\r\n") : QStringLiteral("\n");
    }
    return text;
}

TEST(Search, NotesSearchedInPiecesOnSeveralThreadsJoinInOrder) {
    // Many pieces taken in turn by several threads, several searches at once sharing the helpers:
    // the occurrences in one piece, at both ends, in every other stretch, and nowhere.
    const qsizetype size = 3'000'000;
    const QString texts[] = {
        noteWithNeedles(size, [](qsizetype at) { return at > 1'500'000 && at < 1'520'000; }),
        noteWithNeedles(size, [](qsizetype at) { return at < 200 || at > size - 200; }),
        noteWithNeedles(size, [](qsizetype at) { return at / 100'000 % 2 == 0; }),
        noteWithNeedles(size, [](qsizetype) { return false; }),
    };
    SearchResults found[std::size(texts)];
    {
        std::vector<std::jthread> searchers;
        for (std::size_t i = 0; i < std::size(texts); ++i)
            searchers.emplace_back([&, i] {
                for (int round = 0; round < 3; ++round)
                    found[i] = searchResults(u"NEEDLE", texts[i]);
            });
    }
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(found[i].size(), std::size_t(texts[i].count(u"needle", Qt::CaseInsensitive)));
        ASSERT_NO_FATAL_FAILURE(expectPlainDefinition(found[i], u"needle", texts[i])) << "text " << i;
    }
}

// The length of the match at `position` by the plain definition: fold one character after another
// until the folding is as long as the search string's; 0 when it differs, stops inside a
// character's folding or meets a line break.
std::size_t plainMatchLength(const QString& foldedNeedle, QStringView text, std::size_t position) {
    QString folded;
    std::size_t cursor = position;
    while (folded.size() < foldedNeedle.size()) {
        if (cursor >= std::size_t(text.size()) || isLineBreak(text[qsizetype(cursor)].unicode())) return 0;
        const bool pair = text[qsizetype(cursor)].isHighSurrogate() &&
                          cursor + 1 < std::size_t(text.size()) &&
                          text[qsizetype(cursor + 1)].isLowSurrogate();
        folded += foldedCase(text.mid(qsizetype(cursor), pair ? 2 : 1));
        cursor += pair ? 2 : 1;
    }
    return folded == foldedNeedle ? cursor - position : 0;
}

TEST(Search, MatchesAtEveryPositionAgreeWithFoldingCharacterByCharacter) {
    // Search strings that fold to ASCII, some longer than a step of eight units, against texts with
    // capitals, the units next to them ("@[`{"), characters that fold to ASCII and line breaks on
    // every lane; every other text keeps to the first few pieces, where long search strings turn
    // up.
    const QStringList pieces = {"k", "s", " ",      "x",      "K", "\u212A", "S", "\u017F",
                                "@", "[", "\u00DF", "\u00E9", "X", "`",      "{", "\n"};
    for (unsigned round = 0; round < 30; ++round) {
        const QString text = randomText(round % 2 ? pieces.mid(0, 5) : pieces, round, 300);
        for (const char16_t* needle : {u"ks", u"KSSX", u"kss x kss", u"x ks x ks x ks x ks",
                                       u"SSSSSSSSSSSSSSSS", u"\u00DFk", u"@[", u"`{"}) {
            const CaseInsensitiveFinder finder(needle);
            const QString folded = foldedCase(needle);
            for (std::size_t position = 0; position < std::size_t(text.size()); ++position)
                ASSERT_EQ(finder.matchAt(text, position, true), plainMatchLength(folded, text, position))
                    << "round " << round << ", " << QString::fromUtf16(needle).toStdString() << " at "
                    << position;
        }
    }
    EXPECT_EQ(CaseInsensitiveFinder(u"abcdefghij").matchAt(u"xxABCDEFGHI", 2, true),
              0u); // the text ends
}

} // namespace
} // namespace quillet
