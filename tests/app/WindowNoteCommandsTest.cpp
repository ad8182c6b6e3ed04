// The File menu's note commands: their keys, their state without an open note, and what they do
// in the real window.

#include "QtPrinting.h"
#include "ShellTestSupport.h"
#include "app/InfoPanelController.h"
#include "app/WindowActions.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace quillet::testing {
namespace {

using WindowNoteCommandsTest = ShellTest;

TEST(WindowActionsTest, NoteCommandsHaveTheDesktopKeysAndNeedAnOpenNote) {
    WindowActions actions;
    EXPECT_EQ(actions.newNote->shortcuts(), QKeySequence::keyBindings(QKeySequence::New));
    EXPECT_EQ(actions.duplicateNote->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(actions.deleteNote->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    EXPECT_EQ(actions.renameNote->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(actions.noteInfo->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Return));
    for (QAction* command : {actions.duplicateNote, actions.deleteNote, actions.renameNote, actions.copyNoteTo,
                             actions.noteInfo, actions.editButton})
        EXPECT_FALSE(command->isEnabled()) << command->text().toStdString();
    EXPECT_TRUE(actions.newNote->isEnabled());
    EXPECT_FALSE(actions.moveNote->isVisible());
    actions.setNoteCommandsEnabled(true, false);
    EXPECT_TRUE(actions.deleteNote->isEnabled() && actions.editButton->isEnabled());
    EXPECT_FALSE(actions.moveNote->isVisible());
}

TEST_F(WindowNoteCommandsTest, NewRenameAndInfoFromTheMenu) {
    launch();
    EXPECT_FALSE(window->actions().duplicateNote->isEnabled());
    window->actions().newNote->trigger();
    dispatcher.runPending();
    ASSERT_FALSE(openPath().isEmpty());
    EXPECT_TRUE(QFileInfo(openPath()).fileName().startsWith("Note "));
    EXPECT_TRUE(window->actions().duplicateNote->isEnabled());
    EXPECT_EQ(window->windowTitle(), controller().displayName());

    // A name without an extension keeps the note's.
    window->setRenamePrompt([](const QString& current) {
        EXPECT_TRUE(current.endsWith(".md"));
        return std::optional<QString>("Groceries");
    });
    window->actions().renameNote->trigger();
    dispatcher.runPending();
    EXPECT_EQ(openPath(), notePath("Groceries.md"));

    window->actions().noteInfo->trigger();
    dispatcher.runPending();
    InfoPanelController* panel = window->infoPanelController();
    ASSERT_TRUE(panel && panel->isVisible());
    EXPECT_EQ(panel->filenameField()->text(), "Groceries.md");
    EXPECT_TRUE(panel->textView()->toPlainText().contains("Plain Text"));
    EXPECT_TRUE(controller().isExporting());
    panel->doneButton()->click();
    EXPECT_FALSE(controller().isExporting());
}

} // namespace
} // namespace quillet::testing
