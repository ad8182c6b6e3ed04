#include "documents/SearchFragments.h"

#include "documents/Search.h"

#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

namespace quillet {
namespace {

// A note of `lines` lines, each starting with the word, enough results for many blocks.
QString noteWithWordPerLine(int lines) {
    QString text;
    for (int i = 0; i < lines; ++i)
        text += QStringLiteral("Word on line %1, with more text after it than a fragment holds\n").arg(i);
    return text;
}

// The first 30 units of the line.
QString expectedFragment(int line) {
    return QStringLiteral("Word on line %1, with more text after it").arg(line).left(30);
}

void expectTerminated(const QString& fragment) {
    EXPECT_EQ(fragment.utf16()[fragment.size()], 0u);
}

TEST(SearchFragments, ResultsOutliveTheirTextAndVectorAndEndWithATerminator) {
    auto text = std::make_unique<QString>(noteWithWordPerLine(2000));
    auto results = std::make_unique<SearchResults>(searchResults(u"word", *text));
    ASSERT_EQ(results->size(), 2000u);
    std::vector<QString> everyTenth;
    for (std::size_t i = 0; i < results->size(); i += 10)
        everyTenth.push_back((*results)[i].fragment);
    for (const SearchResult& result : *results)
        expectTerminated(result.fragment);
    text.reset();
    results.reset();
    // Reuse the freed memory, so that a fragment left pointing into it would read other text.
    std::vector<QString> filler(4000, QString(40, u'#'));
    for (QString& piece : filler)
        piece.detach();
    for (std::size_t i = 0; i < everyTenth.size(); ++i)
        ASSERT_EQ(everyTenth[i], expectedFragment(int(i * 10))) << i;
}

TEST(SearchFragments, ChangingAFragmentLeavesTheOthersAlone) {
    const QString text = noteWithWordPerLine(600);
    SearchResults results = searchResults(u"word", text);
    ASSERT_EQ(results.size(), 600u);
    results[0].fragment.append(QStringLiteral(" and a long tail"));
    results[1].fragment[0] = u'L';
    EXPECT_EQ(results[0].fragment, expectedFragment(0) + QStringLiteral(" and a long tail"));
    EXPECT_EQ(results[1].fragment, QStringLiteral("L") + expectedFragment(1).mid(1));
    for (std::size_t i = 2; i < results.size(); ++i)
        ASSERT_EQ(results[i].fragment, expectedFragment(int(i))) << i;

    // Alone in its block, a fragment may grow in place of those that went.
    SearchFragments fragments;
    const std::u16string units = u"abcdefghij";
    QString kept = fragments.fragment(units.data(), 3);
    for (int i = 0; i < 100; ++i)
        fragments.fragment(units.data() + 3, 7);
    const QString neighbour = fragments.fragment(units.data() + 5, 5);
    kept.append(QStringLiteral("XYZ"));
    EXPECT_EQ(kept, QStringLiteral("abcXYZ"));
    EXPECT_EQ(neighbour, QStringLiteral("fghij"));
    expectTerminated(kept);
}

TEST(SearchFragments, FragmentsLargerThanABlockAndAcrossBlocks) {
    SearchFragments fragments;
    const QString big(SearchFragments::kBlockUnits * 2, u'b');
    const auto* units = reinterpret_cast<const char16_t*>(big.utf16());
    for (const qsizetype length :
         {qsizetype(30), SearchFragments::kBlockUnits - 40, qsizetype(7), qsizetype(1),
          SearchFragments::kBlockUnits + 5, qsizetype(30), qsizetype(0)}) {
        const QString fragment = fragments.fragment(units, std::size_t(length));
        EXPECT_EQ(fragment, big.left(length));
        expectTerminated(fragment);
    }
}

TEST(SearchFragments, CopiesOnSeveralThreadsShareSafely) {
    const QString text = noteWithWordPerLine(3000);
    const SearchResults results = searchResults(u"word", text);
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
