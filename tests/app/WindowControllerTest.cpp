#include "QtPrinting.h"
#include "ShellTestSupport.h"
#include "app/HelpGuide.h"
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

TEST_F(WindowControllerTest, PreviewStartsHiddenAndTheSplitButtonsToggleThePanes) {
    writeNote("trip.md", "# Trip\n");
    launch(notePath("trip.md"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("trip")); // the open note's name
    QSplitter* split = controller().splitView();
    ASSERT_EQ(split->widget(2), window->webViewController());
    EXPECT_EQ(split->sizes()[2], 0);

    window->show();
    QAction* preview = window->actions().togglePreview;
    preview->trigger();
    EXPECT_GT(split->sizes()[2], 0);
    EXPECT_EQ(preview->text(), QStringLiteral("Hide Preview"));
    preview->trigger();
    EXPECT_EQ(split->sizes()[2], 0);
    EXPECT_EQ(preview->text(), QStringLiteral("Show Preview"));

    window->actions().toggleBrowser->trigger();
    EXPECT_FALSE(window->isBrowserShown());
    EXPECT_EQ(window->actions().toggleBrowser->text(), QStringLiteral("Show Browser"));
    window->actions().toggleBrowser->trigger();
    EXPECT_TRUE(window->isBrowserShown());
}

TEST_F(WindowControllerTest, SearchFieldSearchesFindTakesTheSelectionAndTabMovesOn) {
    writeNote("n.md", "alpha beta\n");
    launch(notePath("n.md"));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QLineEdit* field = window->searchField();
    field->setText("needle");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(controller().searchTarget(), QStringLiteral("needle"));
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_TRUE(controller().folderViewController()->outlineView()->hasFocus());

    QPlainTextEdit* text = editor().textView();
    text->setFocus();
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    window->actions().find->trigger();
    EXPECT_EQ(field->text(), QStringLiteral("beta"));
    EXPECT_TRUE(field->hasFocus());
}

TEST_F(WindowControllerTest, StyleMenuListsTheCssFolderAndChoosesASheet) {
    launch();
    QMenu* menu = nullptr;
    for (QAction* top : window->menuBar()->actions())
        if (top->menu() && top->menu()->title() == QLatin1String("F&ormat"))
            menu = top->menu()->actions()[0]->menu();
    ASSERT_TRUE(menu);
    emit menu->aboutToShow();
    QStringList names;
    for (QAction* item : menu->actions())
        names.append(item->text() + (item->isChecked() ? "*" : ""));
    EXPECT_EQ(names, (QStringList{"markdown.css*", "paper.css", "slate.css"}));

    menu->actions()[1]->trigger();
    EXPECT_EQ(controller().markdownCSS(), QStringLiteral("paper.css"));
    EXPECT_EQ(defaults->string(QString::fromLatin1(platform::defaults_keys::kSelectedMarkdownStyle)),
              QStringLiteral("paper.css"));
}

TEST_F(WindowControllerTest, HelpItemsOpenTheGuideAndTheTrackerAndOthersNothing) {
    launch();
    for (QAction* item : window->actions().helpItems)
        item->trigger();
    EXPECT_EQ(openedURLs.size(), 1); // the issue tracker; the guide is shown in Quillet
    EXPECT_TRUE(window->helpGuideWindow() && window->helpGuideWindow()->isVisible());
    window->menuItemSelectedInHelpMenu("Something Else");
    EXPECT_EQ(openedURLs.size(), 1);
}

TEST_F(WindowControllerTest, EditButtonLocksAndUnlocksTheOpenNote) {
    writeNote("n.md", "text\n");
    launch(notePath("n.md"));
    for (const bool editable : {false, true}) {
        window->actions().editButton->trigger();
        dispatcher.runPending();
        EXPECT_EQ(controller().editState(), editable);
        EXPECT_EQ(window->actions().editButton->text(), editable ? "Lock" : "Edit");
    }
}

TEST_F(WindowControllerTest, SortPopupStartsFromTheStoredModeAndSortsTheBrowser) {
    const QString key = QString::fromLatin1(platform::defaults_keys::kLastSortMode);
    defaults->setObject(key, "Name");
    launch();
    QComboBox* popup = window->sortOptionPopup();
    EXPECT_EQ(popup->currentText(), QStringLiteral("Name"));
    popup->setCurrentIndex(0);
    emit popup->activated(0);
    dispatcher.runPending();
    EXPECT_EQ(defaults->string(key), QStringLiteral("Date"));
    EXPECT_EQ(controller().folderViewController()->noteTree().sortMode(), QStringLiteral("Date"));
}

} // namespace
} // namespace quillet::testing
