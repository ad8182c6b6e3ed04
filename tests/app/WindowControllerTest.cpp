#include "QtPrinting.h"
#include "ShellTestSupport.h"
#include "app/WebViewController.h"
#include "app/WindowActions.h"
#include "browser/view/FolderViewController.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

namespace quillet::testing {
namespace {

using WindowControllerTest = ShellTest;

QMenu* markdownStyleMenu(QMainWindow& window) {
    for (QAction* top : window.menuBar()->actions())
        if (top->menu() && top->menu()->title() == QLatin1String("F&ormat"))
            for (QAction* item : top->menu()->actions())
                if (item->menu()) return item->menu();
    return nullptr;
}

TEST_F(WindowControllerTest, PreviewStartsHiddenAndTheSplitButtonsToggleThePanes) {
    launch();
    QSplitter* split = controller().splitView();
    ASSERT_EQ(split->count(), 3);
    EXPECT_EQ(split->widget(2), window->webViewController());
    EXPECT_EQ(split->sizes()[2], 0);
    EXPECT_FALSE(controller().webViewState());
    EXPECT_EQ(window->actions().togglePreview->text(), QStringLiteral("Show Preview"));

    window->show();
    window->actions().togglePreview->trigger();
    EXPECT_GT(split->sizes()[2], 0);
    EXPECT_TRUE(controller().webViewState());
    EXPECT_EQ(window->actions().togglePreview->text(), QStringLiteral("Hide Preview"));
    window->actions().togglePreview->trigger();
    EXPECT_EQ(split->sizes()[2], 0);
    EXPECT_FALSE(controller().webViewState());

    EXPECT_TRUE(window->isBrowserShown());
    window->actions().toggleBrowser->trigger();
    EXPECT_FALSE(window->isBrowserShown());
    EXPECT_EQ(window->actions().toggleBrowser->text(), QStringLiteral("Show Browser"));
    window->actions().toggleBrowser->trigger();
    EXPECT_TRUE(window->isBrowserShown());
}

TEST_F(WindowControllerTest, TitleFollowsTheOpenNote) {
    writeNote(QStringLiteral("trip.md"), "# Trip\n");
    launch(notePath(QStringLiteral("trip.md")));
    const FileRep note = controller().lastFileRepresentation();
    ASSERT_TRUE(note);
    EXPECT_EQ(window->windowTitle(), note->displayName.value_or(QStringLiteral("?")));
    EXPECT_NE(window->windowTitle(), QStringLiteral("Quillet"));
}

TEST_F(WindowControllerTest, SearchFieldSearchesAndTabMovesToTheBrowser) {
    launch();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QLineEdit* field = window->searchField();
    field->setText(QStringLiteral("needle"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(controller().searchTarget(), QStringLiteral("needle"));

    field->setFocus();
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_TRUE(controller().folderViewController()->outlineView()->hasFocus());

    window->setSearchFieldEnabled(false);
    EXPECT_FALSE(field->isEnabled());
}

TEST_F(WindowControllerTest, FindFromTheEditorTakesItsSelectionIntoTheSearchField) {
    writeNote(QStringLiteral("n.md"), "alpha beta\n");
    launch(notePath(QStringLiteral("n.md")));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QPlainTextEdit* text = editor().textView();
    text->setFocus();
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);

    window->actions().find->trigger();
    EXPECT_EQ(window->searchField()->text(), QStringLiteral("beta"));
    EXPECT_TRUE(window->searchField()->hasFocus());
}

TEST_F(WindowControllerTest, StyleMenuListsTheCssFolderAndChoosesASheet) {
    launch();
    QMenu* menu = markdownStyleMenu(*window);
    ASSERT_TRUE(menu);
    emit menu->aboutToShow();
    QStringList names;
    QString checked;
    for (QAction* item : menu->actions()) {
        names.append(item->text());
        if (item->isChecked()) checked = item->text();
    }
    EXPECT_EQ(names, (QStringList{"markdown.css", "paper.css", "slate.css"}));
    EXPECT_EQ(checked, QStringLiteral("markdown.css"));

    menu->actions()[1]->trigger();
    EXPECT_EQ(controller().markdownCSS(), QStringLiteral("paper.css"));
    EXPECT_EQ(defaults->string(QString::fromLatin1(platform::defaults_keys::kSelectedMarkdownStyle)),
              QStringLiteral("paper.css"));
}

TEST_F(WindowControllerTest, HelpItemsOpenTheirAddressesAndOthersNothing) {
    launch();
    for (QAction* item : window->actions().helpItems)
        item->trigger();
    // The test application's name is not one of the store's products.
    EXPECT_EQ(openedURLs.size(), 3);
    window->menuItemSelectedInHelpMenu(QStringLiteral("Something Else"));
    EXPECT_EQ(openedURLs.size(), 3);
}

TEST_F(WindowControllerTest, EditButtonLocksAndUnlocksTheOpenNote) {
    writeNote(QStringLiteral("n.md"), "text\n");
    launch(notePath(QStringLiteral("n.md")));
    ASSERT_TRUE(controller().editState());
    QAction* edit = window->actions().editButton;
    EXPECT_EQ(edit->text(), QStringLiteral("Lock"));

    edit->trigger();
    dispatcher.runPending();
    EXPECT_FALSE(controller().editState());
    EXPECT_EQ(edit->text(), QStringLiteral("Edit"));

    edit->trigger();
    dispatcher.runPending();
    EXPECT_TRUE(controller().editState());
    EXPECT_EQ(edit->text(), QStringLiteral("Lock"));
}

} // namespace
} // namespace quillet::testing

namespace quillet::testing {
namespace {

TEST_F(WindowControllerTest, SortPopupStartsFromTheStoredModeAndSortsTheBrowser) {
    defaults->setObject(QString::fromLatin1(platform::defaults_keys::kLastSortMode), QStringLiteral("Name"));
    launch();
    QComboBox* popup = window->sortOptionPopup();
    EXPECT_EQ(popup->currentText(), QStringLiteral("Name"));

    popup->setCurrentIndex(0);
    emit popup->activated(0);
    dispatcher.runPending();
    EXPECT_EQ(defaults->string(QString::fromLatin1(platform::defaults_keys::kLastSortMode)),
              QStringLiteral("Date"));
    EXPECT_EQ(controller().folderViewController()->noteTree().sortMode(), QStringLiteral("Date"));
}

} // namespace
} // namespace quillet::testing
