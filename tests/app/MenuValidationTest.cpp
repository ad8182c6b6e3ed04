// The menus follow the window: enabling, ticks, the rebuilt submenus, and the "Create File"
// dialog that refuses names already taken.

#include "ShellTestSupport.h"
#include "app/MenuValidation.h"
#include "app/StyleFileDialog.h"
#include "app/WindowActions.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillet::testing {
namespace {

QStringList titlesOf(const QMenu& menu) {
    QStringList titles;
    for (const QAction* item : menu.actions()) titles.append(item->isSeparator() ? "-" : item->text());
    return titles;
}

void touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

class MenuValidationTest : public ShellTest {
protected:
    QStringList enabledEditItems() {
        QStringList enabled;
        const WindowActions& a = window->actions();
        for (QAction* item : {a.undo, a.redo, a.cut, a.copy, a.paste, a.selectAll})
            if (item->isEnabled()) enabled.append(item->text());
        return enabled;
    }
};

TEST_F(MenuValidationTest, EditItemsFollowTheNoteTheEditorTheClipboardAndTheLock) {
    QApplication::clipboard()->setText("pasted");
    launch();
    EXPECT_TRUE(enabledEditItems().isEmpty());
    EXPECT_FALSE(window->actions().duplicateNote->isEnabled());
    EXPECT_FALSE(window->actions().showHeaders->isEnabled());
    EXPECT_FALSE(window->menuValidation().scriptMenu()->menuAction()->isVisible());

    QApplication::clipboard()->clear();
    writeNote("Note.md", "# Title\n");
    controller().openDocument(FileRepresentation::forPath(notePath("Note.md")));
    dispatcher.runPending();
    EXPECT_EQ(enabledEditItems(), QStringList{"Select All"});
    EXPECT_TRUE(window->actions().showHeaders->isEnabled() && window->actions().addImage->isEnabled());
    QApplication::clipboard()->setText("pasted");
    typeAtEnd("more");
    editor().textView()->selectAll();
    EXPECT_EQ(enabledEditItems(), (QStringList{"Undo", "Cut", "Copy", "Paste", "Select All"}));
    editor().textView()->undo();
    EXPECT_TRUE(window->actions().redo->isEnabled());

    window->actions().editButton->trigger(); // locked: only what leaves the text alone
    dispatcher.runPending();
    editor().textView()->selectAll();
    EXPECT_EQ(enabledEditItems(), (QStringList{"Copy", "Select All"}));
    EXPECT_TRUE(window->actions().showHeaders->isEnabled());
    EXPECT_FALSE(window->actions().addImage->isEnabled());
}

TEST_F(MenuValidationTest, MarkdownButtonsNeedAnEditableNoteAndReachItsEditor) {
    launch();
    QAction* bold = window->actions().markdownButtons.value(5);
    ASSERT_TRUE(bold);
    EXPECT_FALSE(bold->isEnabled());
    writeNote("Note.md", "word\n");
    controller().openDocument(FileRepresentation::forPath(notePath("Note.md")));
    dispatcher.runPending();
    ASSERT_TRUE(bold->isEnabled());
    EXPECT_EQ(bold->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
    editor().setSelectedRange({1, 0});
    bold->trigger();
    EXPECT_EQ(editor().string(), QStringLiteral("**word**\n"));

    window->actions().editButton->trigger();
    dispatcher.runPending();
    EXPECT_FALSE(bold->isEnabled());
}

TEST_F(MenuValidationTest, CalculateNeedsAnEditableNoteAndActsOnIt) {
    launch();
    QAction* calculate = window->actions().calculate;
    EXPECT_FALSE(calculate->isEnabled());
    EXPECT_EQ(calculate->shortcut(), QKeySequence(Qt::Key_F9));

    writeNote("Sums.md", "sums\n");
    controller().openDocument(FileRepresentation::forPath(notePath("Sums.md")));
    dispatcher.runPending();
    EXPECT_TRUE(calculate->isEnabled());
    typeAtEnd("2*21");
    QTextCursor caret = editor().textView()->textCursor();
    caret.movePosition(QTextCursor::End);
    editor().textView()->setTextCursor(caret);
    calculate->trigger();
    EXPECT_EQ(editor().string(), QStringLiteral("sums\n2*21= 42 "));

    window->actions().editButton->trigger();
    dispatcher.runPending();
    EXPECT_FALSE(calculate->isEnabled());
}

TEST_F(MenuValidationTest, AStyleSheetHasNoPreviewAndTheStyleMenuListsTheDefaultFirst) {
    const QString css = container + "/CSS";
    ASSERT_TRUE(QDir(css).mkpath("."));
    for (const char* name : {"markdown.css", "dark.css", "notes.txt", "Academic.css"}) touch(css + "/" + name);
    EXPECT_EQ(markdownStyleNames(css), (QStringList{"markdown.css", "Academic.css", "dark.css"}));
    EXPECT_EQ(markdownStyleNames(css + "/missing"), QStringList{"markdown.css"});

    launch(css + "/dark.css");
    EXPECT_FALSE(window->actions().togglePreview->isEnabled());
    EXPECT_FALSE(window->actions().showHeaders->isEnabled());
    controller().markdownStyleMenuSelected("dark.css");
    QMenu* menu = window->markdownStyleMenu();
    emit menu->aboutToShow();
    const QStringList names = markdownStyleNames(css); // with the sheets installed at launch
    EXPECT_EQ(titlesOf(*menu), names);
    EXPECT_TRUE(names.startsWith("markdown.css") && names.count("markdown.css") == 1 && names.size() > 3);
    for (const QAction* item : menu->actions())
        EXPECT_EQ(item->isChecked(), item->text() == "dark.css") << item->text().toStdString();

    menu->popup(QPoint(0, 0));
    QApplication::processEvents();
    QDir().mkpath("/tmp/shots");
    EXPECT_TRUE(menu->grab().save("/tmp/shots/markdown-style-menu.png"));
    menu->hide();
}

TEST(ScriptMenuTest, ListsTheScriptsThenNewScript) {
    QTemporaryDir folder;
    for (const char* name : {"b.py", "a.py", "readme.txt"}) touch(folder.filePath(name));
    QMenu menu;
    QAction newScript("New Script");
    fillScriptMenu(&menu, folder.path(), &newScript);
    EXPECT_EQ(titlesOf(menu), (QStringList{"a.py", "b.py", "-", "New Script"}));
    fillScriptMenu(&menu, folder.filePath("missing"), &newScript);
    EXPECT_EQ(titlesOf(menu), (QStringList{"-", "New Script"}));
}

TEST(StyleFileDialogTest, RefusesTakenAndUnusableNamesWithTheReason) {
    QTemporaryDir folder;
    touch(folder.filePath("dark.css"));
    StyleFileDialog dialog(folder.path(), "css");
    QPushButton* ok = dialog.buttons()->button(QDialogButtonBox::Ok);
    EXPECT_FALSE(ok->isEnabled());
    dialog.nameField()->setText("dark");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(dialog.reasonLabel()->text().contains("“dark.css” already exists"));
    dialog.nameField()->setText("a/b");
    EXPECT_FALSE(ok->isEnabled());
    dialog.nameField()->setText("light");
    EXPECT_TRUE(ok->isEnabled() && dialog.refusal().isEmpty());

    touch(folder.filePath("light.css")); // made while the dialog was up
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

} // namespace
} // namespace quillet::testing
