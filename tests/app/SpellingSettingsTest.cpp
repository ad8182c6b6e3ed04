// Edit > Spelling and the preferences' dictionary row.

#include "app/SpellingSettings.h"

#include "../support/IsolatedSpelling.h"
#include "ShellTestSupport.h"
#include "app/PreferencesPanel.h"
#include "app/WindowActions.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"
#include "platform/SpellChecker.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace quillet::testing {
namespace {

const QString kEnchantFolder = isolateEnchantConfiguration();

using SpellingSettingsTest = ShellTest;

TEST_F(SpellingSettingsTest, EditSpellingTogglesCheckingAndIsRemembered) {
    launch();
    QAction* spelling = window->actions().spelling;
    EXPECT_TRUE(spelling->isCheckable());
    EXPECT_TRUE(spelling->isChecked()); // on until turned off
    EXPECT_TRUE(controller().markdownViewController()->spellChecking());

    spelling->trigger();
    EXPECT_FALSE(controller().markdownViewController()->spellChecking());
    EXPECT_FALSE(spellCheckingOn(*defaults));

    window.reset();
    launch();
    EXPECT_FALSE(window->actions().spelling->isChecked());
    EXPECT_FALSE(controller().markdownViewController()->spellChecking());
}

TEST_F(SpellingSettingsTest, TheDictionaryRowListsTheInstalledOnesAndStoresOnlyAChoice) {
    platform::SpellChecker& checker = platform::SpellChecker::shared();
    checker.setLanguage(QString());
    const QStringList installed = checker.availableLanguages();
    if (!installed.contains(QStringLiteral("en_US"))) GTEST_SKIP() << "no en_US dictionary installed";
    Appearance appearance(QApplication::style()->name(), QApplication::palette());
    PreferencesPanel panel(*defaults, appearance);
    EXPECT_EQ(panel.tableView()->rowCount(), 14);
    QComboBox* box = panel.spellingLanguageBox();
    ASSERT_EQ(box->count(), installed.size());
    const int english = box->findData(QStringLiteral("en_US"));
    EXPECT_EQ(box->itemText(english), QStringLiteral("English (United States) \u2014 en_US"));
    EXPECT_EQ(box->currentData().toString(), checker.language());

    panel.okButton()->click(); // the system's language stays followed
    EXPECT_TRUE(storedSpellingLanguage(*defaults).isEmpty());

    storeSpellingLanguage(*defaults, QStringLiteral("xx_UNINSTALLED"));
    applySpellingLanguage(*defaults, checker);
    EXPECT_EQ(checker.language(),
              platform::SpellChecker::preferredLanguage(installed, QLocale::system().name()));
}

} // namespace
} // namespace quillet::testing
