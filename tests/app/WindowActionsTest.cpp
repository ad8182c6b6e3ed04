#include "app/WindowActions.h"

#include "QtPrinting.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(WindowActionsTest, EditCommandsLeaveTheirKeysToTheFocusedWidgetAndQuitAlwaysHasOne) {
    WindowActions actions;
    // Platforms without a binding for Quit (the offscreen one) get Ctrl+Q.
    EXPECT_FALSE(actions.quit->shortcut().isEmpty());
    const std::pair<QAction*, QKeySequence::StandardKey> commands[] = {
        {actions.undo, QKeySequence::Undo},   {actions.redo, QKeySequence::Redo},
        {actions.cut, QKeySequence::Cut},     {actions.copy, QKeySequence::Copy},
        {actions.paste, QKeySequence::Paste}, {actions.selectAll, QKeySequence::SelectAll}};
    for (const auto& [action, key] : commands) {
        EXPECT_EQ(action->shortcuts(), QKeySequence::keyBindings(key)) << action->text().toStdString();
        EXPECT_EQ(action->shortcutContext(), Qt::WidgetWithChildrenShortcut) << action->text().toStdString();
    }
}

TEST(WindowActionsTest, StyleMenuIsRebuiltEachTimeWithAPlaceholderWhenEmpty) {
    QMenu menu;
    WindowActions::fillMarkdownStyleMenu(&menu, {"a.css", "markdown.css"}, "markdown.css");
    WindowActions::fillMarkdownStyleMenu(&menu, {"a.css", "z.css"}, "z.css");
    ASSERT_EQ(menu.actions().size(), 2);
    EXPECT_FALSE(menu.actions()[0]->isChecked());
    EXPECT_TRUE(menu.actions()[1]->isChecked());
    EXPECT_EQ(menu.actions()[1]->data().toString(), QStringLiteral("z.css"));

    WindowActions::fillMarkdownStyleMenu(&menu, {}, QString());
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_FALSE(menu.actions().first()->isEnabled());
}

} // namespace
} // namespace quillet
