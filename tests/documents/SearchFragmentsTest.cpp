#include "documents/SearchFragments.h"

#include "documents/Search.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

namespace quillet {
namespace {

// A note of `lines` lines, each with the word once, long enough for results over many blocks.
QString noteWithWordPerLine(int lines) {
    QString text;
    for (int i = 0; i < lines; ++i)
        text += QStringLiteral("Word on line %1, with more text after it than a fragment holds\n").arg(i);
    return text;
}

// The first 30 units of the line: the word starts it.
QString expectedFragment(int line) {
    return QStringLiteral("Word on line %1, with more text after it").arg(line).left(30);
}

TEST(SearchFragments, ResultsOutliveTheirTextAndTheirVector) {
    auto text = std::make_unique<QString>(noteWithWordPerLine(2000));
    auto results = std::make_unique<SearchResults>(searchResults(u"word", *text));
    ASSERT_EQ(results->size(), 2000u);
    const SearchResult first = results->front();
    const SearchResult last = results->back();
    std::vector<QString> everyTenth;
    for (std::size_t i = 0; i < results->size(); i += 10)
        everyTenth.push_back((*results)[i].fragment);
    text.reset();
    results.reset();
    // Reuse the freed memory, so that a fragment left pointing into it would read other text.
    std::vector<QString> filler(4000, QString(40, u'#'));
    for (QString& piece : filler)
        piece.detach();
    EXPECT_EQ(first.fragment, expectedFragment(0));
    EXPECT_EQ(last.fragment, expectedFragment(1999));
    for (std::size_t i = 0; i < everyTenth.size(); ++i)
        ASSERT_EQ(everyTenth[i], expectedFragment(int(i * 10))) << i;
}

TEST(SearchFragments, EveryFragmentEndsWithATerminator) {
    const QString text = noteWithWordPerLine(1500);
    const SearchResults results = searchResults(u"WORD", text);
    ASSERT_EQ(results.size(), 1500u);
    for (const SearchResult& result : results) {
        const auto size = result.fragment.size();
        ASSERT_EQ(result.fragment.utf16()[size], 0u);
        ASSERT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(result.fragment.utf16())),
                  result.fragment); // read up to the terminator
    }
}

TEST(SearchFragments, ChangingAFragmentLeavesTheOthersAlone) {
    const QString text = noteWithWordPerLine(600);
    SearchResults results = searchResults(u"word", text);
    ASSERT_EQ(results.size(), 600u);
    results[0].fragment.append(QStringLiteral(" and a long tail added after the fragment"));
    results[1].fragment[0] = u'L';
    results[2].fragment.prepend(QStringLiteral("before "));
    results[3].fragment.resize(60, u'!');
    EXPECT_EQ(results[0].fragment,
              expectedFragment(0) + QStringLiteral(" and a long tail added after the fragment"));
    EXPECT_EQ(results[1].fragment, QStringLiteral("L") + expectedFragment(1).mid(1));
    EXPECT_EQ(results[2].fragment, QStringLiteral("before ") + expectedFragment(2));
    EXPECT_EQ(results[3].fragment, expectedFragment(3) + QString(30, u'!'));
    for (std::size_t i = 4; i < results.size(); ++i)
        ASSERT_EQ(results[i].fragment, expectedFragment(int(i))) << i;
}

TEST(SearchFragments, AFragmentLeftAloneGrowsInPlaceOfTheOthers) {
    SearchFragments fragments;
    const std::u16string units = u"abcdefghij";
    QString kept = fragments.fragment(units.data(), 3);
    {
        std::vector<QString> dropped;
        for (int i = 0; i < 100; ++i)
            dropped.push_back(fragments.fragment(units.data() + 3, 7));
    }
    const QString neighbour = fragments.fragment(units.data() + 5, 5);
    kept.append(QStringLiteral("XYZ"));
    kept.prepend(u'<');
    EXPECT_EQ(kept, QStringLiteral("<abcXYZ"));
    EXPECT_EQ(neighbour, QStringLiteral("fghij"));
    EXPECT_EQ(kept.utf16()[kept.size()], 0u);
    EXPECT_TRUE(fragments.fragment(units.data(), 0).isEmpty());
}

TEST(SearchFragments, FragmentsLargerThanABlockAndAcrossBlocks) {
    SearchFragments fragments;
    const QString big(SearchFragments::kBlockUnits * 2, u'b');
    const auto* units = reinterpret_cast<const char16_t*>(big.utf16());
    std::vector<QString> made;
    for (qsizetype length : {qsizetype(30), SearchFragments::kBlockUnits - 40, qsizetype(7), qsizetype(1),
                             SearchFragments::kBlockUnits + 5, qsizetype(30)})
        made.push_back(fragments.fragment(units, std::size_t(length)));
    ASSERT_EQ(made.size(), 6u);
    EXPECT_EQ(made[1], big.left(SearchFragments::kBlockUnits - 40));
    EXPECT_EQ(made[2], big.left(7)); // ends its block with its terminator
    EXPECT_EQ(made[3], QStringLiteral("b"));
    EXPECT_EQ(made[4], big.left(SearchFragments::kBlockUnits + 5));
    for (const QString& fragment : made)
        EXPECT_EQ(fragment.utf16()[fragment.size()], 0u);
}

TEST(SearchFragments, CopiesOnSeveralThreadsShareSafely) {
    const QString text = noteWithWordPerLine(3000);
    const SearchResults results = searchResults(u"word", text);
    ASSERT_EQ(results.size(), 3000u);
    std::vector<std::vector<SearchResults>> copies(4);
    {
        std::vector<std::jthread> threads;
        for (auto& copiesOfThread : copies)
            threads.emplace_back([&] {
                for (int round = 0; round < 20; ++round)
                    copiesOfThread.push_back(results);
                copiesOfThread.resize(1);
            });
    }
    for (const auto& copiesOfThread : copies)
        EXPECT_EQ(copiesOfThread.front(), results);
    EXPECT_EQ(results[2999].fragment, expectedFragment(2999));
}

} // namespace
} // namespace quillet
