// Which words the spell checker reads: prose words only, never markup, addresses or code.

#include "engine/SpellingWords.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quillet {
namespace {

std::vector<std::u16string> wordsOf(std::u16string_view line, const std::vector<Range>& unread = {}) {
    std::vector<std::u16string> words;
    for (const Range& word : wordsToCheck(line, unread))
        words.emplace_back(line.substr(word.location, word.length));
    return words;
}

using Words = std::vector<std::u16string>;

TEST(SpellingWords, OnlyWordsOfLettersInLowerCaseAreRead) {
    EXPECT_EQ(wordsOf(u"Teh cat's 42 dogs, don\u2019t NASA x mp3 e.g. \u65E5\u672C\u8A9E \u30AB\u30BF"),
              (Words{u"Teh", u"cat's", u"dogs", u"don\u2019t"}));
    EXPECT_TRUE(wordsOf(u"").empty());
}

TEST(SpellingWords, AddressesAndPathsAreLeftAlone) {
    EXPECT_EQ(wordsOf(u"see https://exampel.org/pathh, <http://qq.zz> www.foo.bar and mail@hostt.org"),
              (Words{u"see", u"and"}));
    EXPECT_EQ(wordsOf(u"edit src/mian.cpp or ~/notse now"), (Words{u"edit", u"or", u"now"}));
}

TEST(SpellingWords, UnreadRangesAreSkippedAndSplitNoWord) {
    // "_wrod_ `cdoe` **bold**" with the markers and the code span unread.
    const std::u16string_view line = u"_wrod_ `cdoe` **bold**";
    EXPECT_EQ(wordsOf(line, {{0, 1}, {5, 1}, {7, 6}, {14, 2}, {20, 2}}), (Words{u"wrod", u"bold"}));
    const std::vector<Range> found = wordsToCheck(line, {{0, 1}, {5, 1}, {7, 6}, {14, 2}, {20, 2}});
    EXPECT_EQ(found.front(), (Range{1, 4})); // positions stay those of the line
    EXPECT_EQ(wordsOf(u"all unread", {{0, 10}}), Words{});
}

TEST(SpellingWords, ProseIsTextColouredAndNotALink) {
    TextAttributes plain;
    EXPECT_TRUE(isProse(plain));
    plain.foregroundColor = TextColor::text;
    EXPECT_TRUE(isProse(plain));
    TextAttributes markup;
    markup.foregroundColor = TextColor::gray;
    TextAttributes code;
    code.foregroundColor = TextColor::darkGray;
    TextAttributes target = plain;
    target.link = std::make_shared<const std::u16string>(u"http://x.y");
    EXPECT_FALSE(isProse(markup));
    EXPECT_FALSE(isProse(code));
    EXPECT_FALSE(isProse(target));
}

} // namespace
} // namespace quillet
