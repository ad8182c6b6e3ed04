#include "ShellTestSupport.h"
#include "app/ColorScheme.h"
#include "app/PreferencesPanel.h"
#include "app/SyncFolderRow.h"
#include "app/WindowActions.h"
#include "browser/view/FolderViewController.h"
#include "engine/MarkdownString.h"
#include "platform/SettingsMarkdownDefaults.h"
#include "platform/SyncContainer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace quillet::testing {
namespace {

using PreferencesPanelTest = ShellTest;

std::optional<MarkdownOptions::KeyValues> storedOptions(platform::UserDefaults& defaults) {
    return platform::SettingsMarkdownDefaults(defaults).markdownOptions();
}

TEST_F(PreferencesPanelTest, WithoutStoredOptionsTheBuiltInOnesAreShownAndOkWritesAllEight) {
    Appearance appearance(QApplication::style()->name(), QApplication::palette());
    PreferencesPanel panel(*defaults, appearance);
    QTableWidget* table = panel.tableView();
    ASSERT_EQ(table->rowCount(), 14);
    for (int row : {0, 6, 8, 10})
        EXPECT_EQ(table->rowHeight(row), 20) << row;
    EXPECT_EQ(table->item(6, 0)->text(), QStringLiteral("HTML Options"));
    for (int row : {1, 2, 4, 9})
        EXPECT_FALSE(panel.checkBox(row)->isChecked()) << row;
    for (int row : {3, 7})
        EXPECT_TRUE(panel.checkBox(row)->isChecked()) << row;
    EXPECT_EQ(panel.checkBox(7)->text(), QStringLiteral("Remove proceeding 4 spaces in code block."));
    EXPECT_EQ(panel.slider()->value(), 3);
    EXPECT_EQ(panel.sliderLabel()->text(), QStringLiteral("Indent width: 3 chars"));
    panel.slider()->setValue(6);
    EXPECT_EQ(panel.sliderLabel()->text(), QStringLiteral("Indent width: 6 chars"));
    panel.slider()->setValue(3);
    EXPECT_FALSE(storedOptions(*defaults)) << "nothing is written before OK";

    panel.okButton()->click();
    EXPECT_EQ(panel.result(), QDialog::Accepted);
    const auto written = storedOptions(*defaults);
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, MarkdownOptions::defaults().toKeyValues());
    EXPECT_EQ(written->count("addBrAtBlankline"), 1u);
}

TEST_F(PreferencesPanelTest, CancelChangesNothingAndOkRestylesTheOpenNote) {
    writeNote("n.md", "Plain line.\n");
    launch(notePath("n.md"));
    QAction* preferences = window->actions().preferences;
    EXPECT_EQ(preferences->shortcut(), QKeySequence(QStringLiteral("Ctrl+,")));
    preferences->trigger();
    PreferencesPanel* panel = window->preferencesPanel();
    ASSERT_TRUE(panel && panel->isVisible());
    const auto before = storedOptions(*defaults);

    panel->checkBox(1)->setChecked(true);
    panel->slider()->setValue(5);
    panel->cancelButton()->click();
    EXPECT_EQ(panel->result(), QDialog::Rejected);
    EXPECT_EQ(storedOptions(*defaults), before);
    EXPECT_EQ(editor().textStorage().attributesAt(0).mdIndentDepth, 0);
    preferences->trigger();
    EXPECT_EQ(window->preferencesPanel(), panel) << "the sheet is kept";
    EXPECT_FALSE(panel->checkBox(1)->isChecked()) << "the cancelled edits are gone";
    EXPECT_EQ(panel->slider()->value(), 3);

    panel->checkBox(1)->setChecked(true);
    panel->slider()->setValue(5);
    panel->okButton()->click();
    EXPECT_EQ(storedOptions(*defaults)->at("indentWidthByChars"), 5);
    const MarkdownString& engine = editor().markdownString();
    EXPECT_TRUE(engine.markdownOptions().indentNormalLines);
    EXPECT_DOUBLE_EQ(engine.indentWidth, 5 * engine.fontWidth);
    EXPECT_EQ(editor().textStorage().attributesAt(0).mdIndentDepth, 1);
}

TEST_F(PreferencesPanelTest, TheColorSchemeIsStoredAndAppliedAtOnce) {
    const QString desktopStyle = QApplication::style()->name();
    Appearance appearance(desktopStyle, QApplication::palette());
    ASSERT_FALSE(appearance.isDark(ColorScheme::desktop));
    PreferencesPanel panel(*defaults, appearance);
    EXPECT_EQ(panel.colorSchemeBox()->currentIndex(), 0) << "the desktop's by default";
    EXPECT_TRUE(panel.previewSchemeNote()->isHidden());
    panel.colorSchemeBox()->setCurrentIndex(2);
    EXPECT_FALSE(panel.previewSchemeNote()->isHidden()) << "the preview only follows at the next start";
    panel.okButton()->click();
    EXPECT_EQ(storedColorScheme(*defaults), ColorScheme::dark);
    EXPECT_TRUE(isDarkPalette(QApplication::palette()));

    panel.present();
    EXPECT_EQ(panel.colorSchemeBox()->currentIndex(), 2);
    panel.colorSchemeBox()->setCurrentIndex(0);
    panel.okButton()->click();
    EXPECT_EQ(storedColorScheme(*defaults), ColorScheme::desktop);
    EXPECT_FALSE(isDarkPalette(QApplication::palette()));
    EXPECT_EQ(QApplication::style()->name(), desktopStyle);
}

TEST_F(PreferencesPanelTest, TheSyncedFolderChosenIsShownAsTheSyncedTopUntilItIsDropped) {
    launch();
    const QString sync = home.path() + QStringLiteral("/Sync");
    ASSERT_TRUE(QDir().mkpath(sync));
    window->actions().preferences->trigger();
    SyncFolderRow* row = window->preferencesPanel()->syncFolderRow();
    row->setFolderChooser([&sync](const QString&) { return sync; });
    row->chooseButton()->click();
    EXPECT_FALSE(defaults->string(QString::fromLatin1(platform::sync_folder::kSettingsKey))) << "not before OK";
    window->preferencesPanel()->okButton()->click();
    EXPECT_EQ(defaults->string(QString::fromLatin1(platform::sync_folder::kSettingsKey)), sync);
    const FileRep top = window->viewController()->folderViewController()->noteTree().iCloudTop();
    ASSERT_TRUE(top);
    EXPECT_EQ(top->displayName, QStringLiteral("Synced"));
    EXPECT_EQ(top->path(), sync + QStringLiteral("/Documents"));
    EXPECT_TRUE(QFileInfo(sync + QStringLiteral("/Documents/Script")).isDir());

    window->actions().preferences->trigger();
    EXPECT_EQ(row->pathField()->text(), sync);
    row->clearButton()->click();
    window->preferencesPanel()->okButton()->click();
    EXPECT_FALSE(window->viewController()->folderViewController()->noteTree().iCloudTop());
    EXPECT_FALSE(window->viewController()->hasSyncedContainer());
}

} // namespace
} // namespace quillet::testing
