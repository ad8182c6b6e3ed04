// The Enchant checker: words, suggestions, the personal word list and the session's ignored
// words, and the choice of a dictionary for a locale.

#include "platform/SpellChecker.h"

#include "../support/IsolatedSpelling.h"

#include <QDir>
#include <QLocale>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace quillet::platform {
namespace {

const QString kEnchantFolder = quillet::testing::isolateEnchantConfiguration();

class SpellCheckerTest : public ::testing::Test {
protected:
    void SetUp() override {
        checker.setLanguage(QStringLiteral("en_US"));
        if (checker.language() != QStringLiteral("en_US")) GTEST_SKIP() << "no en_US dictionary installed";
    }
    SpellChecker checker;
};

TEST(SpellCheckerLanguage, TheLocaleChoosesItsOwnThenItsLanguagesThenAmericanEnglish) {
    const QStringList installed{"de_CH", "de_DE", "en_GB", "en_US", "fr_FR"};
    EXPECT_EQ(SpellChecker::preferredLanguage(installed, "fr_FR"), "fr_FR");
    EXPECT_EQ(SpellChecker::preferredLanguage(installed, "de_AT"), "de_CH");
    EXPECT_EQ(SpellChecker::preferredLanguage(installed, "ja_JP"), "en_US");
    EXPECT_EQ(SpellChecker::preferredLanguage({"nl_NL"}, "C"), "nl_NL");
    EXPECT_EQ(SpellChecker::preferredLanguage({}, "en_US"), QString());

    // A dictionary that is not installed gives way to the locale's.
    SpellChecker fallback;
    fallback.setLanguage(QStringLiteral("xx_NOWHERE"));
    EXPECT_EQ(fallback.language(),
              SpellChecker::preferredLanguage(fallback.availableLanguages(), QLocale::system().name()));
}

TEST_F(SpellCheckerTest, WordsAreCheckedAndSuggestionsOffered) {
    EXPECT_TRUE(checker.availableLanguages().contains("en_US"));
    EXPECT_TRUE(checker.isCorrect(u"misspelled"));
    EXPECT_TRUE(checker.isCorrect(u"don\u2019t")); // the typographic apostrophe
    EXPECT_FALSE(checker.isCorrect(u"mispelled"));
    EXPECT_FALSE(checker.isCorrect(u"mispelled")); // the remembered answer agrees
    const QStringList offered = checker.suggestions(u"mispelled", 3);
    EXPECT_LE(offered.size(), 3);
    EXPECT_TRUE(offered.contains("misspelled")) << offered.join(',').toStdString();
}

TEST_F(SpellCheckerTest, AddedWordsAreKeptAndIgnoredOnesLastTheSession) {
    QSignalSpy changes(&checker, &SpellChecker::wordsChanged);
    ASSERT_FALSE(checker.isCorrect(u"quilletish"));
    checker.addToPersonalDictionary(u"quilletish");
    EXPECT_TRUE(checker.isCorrect(u"quilletish"));
    ASSERT_FALSE(checker.isCorrect(u"zorbleflax"));
    checker.ignore(u"zorbleflax");
    EXPECT_TRUE(checker.isCorrect(u"zorbleflax"));
    EXPECT_EQ(changes.count(), 2);

    // The personal list is in the isolated folder and a new session reads it; the ignored
    // word is gone with the old session.
    EXPECT_TRUE(QDir(kEnchantFolder).exists(QStringLiteral("en_US.dic")));
    SpellChecker next;
    next.setLanguage(QStringLiteral("en_US"));
    EXPECT_TRUE(next.isCorrect(u"quilletish"));
    EXPECT_FALSE(next.isCorrect(u"zorbleflax"));
}

} // namespace
} // namespace quillet::platform
