#include "app/WindowActions.h"

#include "QtPrinting.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace quillet {
namespace {

QStringList titles(const QList<QAction*>& actions) {
    QStringList result;
    for (const QAction* action : actions)
        if (!action->isSeparator()) result.append(action->menu() ? action->menu()->title() : action->text());
    return result;
}

TEST(WindowActionsTest, CommandsUseTheDesktopsStandardShortcuts) {
    WindowActions actions;
    const auto expectKey = [](const QAction* action, QKeySequence::StandardKey key) {
        EXPECT_FALSE(QKeySequence::keyBindings(key).isEmpty());
        EXPECT_EQ(action->shortcuts(), QKeySequence::keyBindings(key)) << action->text().toStdString();
    };
    // Platforms without a binding for Quit get Ctrl+Q.
    const QList<QKeySequence> quitKeys = QKeySequence::keyBindings(QKeySequence::Quit);
    EXPECT_EQ(actions.quit->shortcut(),
              quitKeys.isEmpty() ? QKeySequence(Qt::CTRL | Qt::Key_Q) : quitKeys.first());
    expectKey(actions.undo, QKeySequence::Undo);
    expectKey(actions.redo, QKeySequence::Redo);
    expectKey(actions.cut, QKeySequence::Cut);
    expectKey(actions.copy, QKeySequence::Copy);
    expectKey(actions.paste, QKeySequence::Paste);
    expectKey(actions.selectAll, QKeySequence::SelectAll);
    expectKey(actions.find, QKeySequence::Find);
    EXPECT_EQ(actions.copy->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
}

TEST(WindowActionsTest, MarkdownButtonsAreListedDisabledWithTheirCommands) {
    WindowActions actions;
    ASSERT_EQ(actions.markdownButtons.size(), 7);
    EXPECT_EQ(actions.markdownButtons.first()->toolTip(), QStringLiteral("Insert header marker"));
    const QStringList commands{"header", "list", "quote", "link", "image", "bold", "italic"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(markdownButtonCommand(i), commands[i]);
        EXPECT_EQ(actions.markdownButtons[i]->data().toString(), commands[i]);
        EXPECT_FALSE(actions.markdownButtons[i]->isEnabled());
        EXPECT_FALSE(actions.markdownButtons[i]->icon().isNull());
    }
    EXPECT_FALSE(markdownButtonCommand(7).has_value());
    EXPECT_FALSE(markdownButtonCommand(-1).has_value());
}

TEST(WindowActionsTest, TitlesFollowThePanesAndTheEditState) {
    WindowActions actions;
    EXPECT_EQ(actions.togglePreview->text(), QStringLiteral("Show Preview"));
    actions.setPreviewShown(true);
    EXPECT_EQ(actions.togglePreview->text(), QStringLiteral("Hide Preview"));
    actions.setBrowserShown(false);
    EXPECT_EQ(actions.toggleBrowser->text(), QStringLiteral("Show Browser"));
    actions.setBrowserShown(true);
    EXPECT_EQ(actions.toggleBrowser->text(), QStringLiteral("Hide Browser"));

    EXPECT_TRUE(actions.editButton->isChecked());
    EXPECT_EQ(actions.editButton->text(), QStringLiteral("Lock"));
    actions.setEditButtonState(false);
    EXPECT_FALSE(actions.editButton->isChecked());
    EXPECT_EQ(actions.editButton->text(), QStringLiteral("Edit"));
}

TEST(WindowActionsTest, MenuBarHoldsTheMenusAndTheHelpItems) {
    WindowActions actions;
    QMenuBar bar;
    QMenu* styles = actions.buildMenuBar(&bar);
    EXPECT_EQ(titles(bar.actions()), (QStringList{"&File", "&Edit", "&View", "F&ormat", "&Help"}));
    const QList<QAction*> menus = bar.actions();
    EXPECT_EQ(titles(menus[3]->menu()->actions()), (QStringList{"Markdown Style", "Font…"}));
    EXPECT_EQ(menus[3]->menu()->actions().first()->menu(), styles);
    EXPECT_EQ(titles(menus[4]->menu()->actions()),
              (QStringList{"Quillet Help via Web", "Rate us at the App Store…", "Feedback via Email…",
                           "Privacy Policy…", "About Quillet"}));
    EXPECT_TRUE(menus[2]->menu()->actions().contains(actions.togglePreview));
    EXPECT_TRUE(menus[0]->menu()->actions().contains(actions.quit));
}

TEST(WindowActionsTest, StyleMenuChecksTheChosenSheetAndIsRebuiltEachTime) {
    QMenu menu;
    WindowActions::fillMarkdownStyleMenu(&menu, {"a.css", "markdown.css"}, QStringLiteral("markdown.css"));
    WindowActions::fillMarkdownStyleMenu(&menu, {"a.css", "markdown.css", "z.css"}, QStringLiteral("z.css"));
    const QList<QAction*> items = menu.actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(titles(items), (QStringList{"a.css", "markdown.css", "z.css"}));
    EXPECT_FALSE(items[0]->isChecked());
    EXPECT_FALSE(items[1]->isChecked());
    EXPECT_TRUE(items[2]->isChecked());
    EXPECT_EQ(items[2]->data().toString(), QStringLiteral("z.css"));

    WindowActions::fillMarkdownStyleMenu(&menu, {}, QString());
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_FALSE(menu.actions().first()->isEnabled());
}

} // namespace
} // namespace quillet
