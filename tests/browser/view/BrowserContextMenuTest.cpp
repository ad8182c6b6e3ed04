// The browser's context menu: its items for each kind of row, and where each item leads.

#include "BrowserPaneSupport.h"

#include <QDir>

namespace quillet::testing {
namespace {

TEST_F(RowCommandsTest, FoldersAndTopsOfferFolderCommands) {
    EXPECT_EQ(menuOf(top()), (QStringList{"Open in File Manager", "New Note", "Create Folder"}));
    EXPECT_EQ(browser->contextMenu()->title(), "Folder");
    EXPECT_EQ(menuOf(rowOf("Folder")), (QStringList{"Open in File Manager", "New Note", "Create Folder",
                                                    "Delete Folder", "Rename Folder"}));
    EXPECT_EQ(menuOf(rowOf("CSS")), (QStringList{"Open in File Manager", "Create Folder", "New CSS"}));
    EXPECT_EQ(menuOf(rowOf("Script")), (QStringList{"Open in File Manager", "Create Folder", "New Script"}));
    // A synced folder is not opened in the file manager.
    record("Folder")->iCloud = true;
    EXPECT_FALSE(menuOf(rowOf("Folder")).contains("Open in File Manager"));
    EXPECT_TRUE(menuOf(QModelIndex()).isEmpty());
}

TEST_F(RowCommandsTest, NotesStyleSheetsAndScriptsOfferFileCommandsByLockAndLibrary) {
    EXPECT_EQ(menuOf(rowOf("Note.md")), (QStringList{"Filename: 'Note.md'", "Note info", "Lock Note",
                                                     "Change Filename", "Delete Note", "Copy to"}));
    EXPECT_EQ(browser->contextMenu()->title(), "File");
    QMenu* menu = browser->contextMenu();
    menu->popup(view()->viewport()->mapToGlobal(view()->visualRect(rowOf("Note.md")).center()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QDir().mkpath("/tmp/shots");
    EXPECT_TRUE(menu->grab().save("/tmp/shots/browser-context-menu.png"));
    menu->close();
    commands.synced = true;
    EXPECT_EQ(menuOf(rowOf("Note.md")), (QStringList{"Filename: 'Note.md'", "Note info", "Lock Note",
                                                     "Change Filename", "Delete Note", "Move to Synced",
                                                     "Copy to"}));
    record("Note.md")->isImmutable = true;
    EXPECT_EQ(menuOf(rowOf("Note.md")), (QStringList{"Filename: 'Note.md'", "Note info", "Unlock Note", "Copy to"}));
    record("Other.md")->iCloud = true;
    EXPECT_TRUE(menuOf(rowOf("Other.md")).contains("Move to On This Computer"));

    view()->expand(rowOf("CSS"));
    view()->expand(rowOf("Script"));
    EXPECT_EQ(menuOf(rowOf("CSS/style.css")), (QStringList{"Filename: 'style.css'", "File info", "Lock File",
                                                           "Change Filename", "Delete File", "Move to Synced",
                                                           "Copy to"}));
    record("Script/run.py")->isImmutable = true;
    EXPECT_EQ(menuOf(rowOf("Script/run.py")),
              (QStringList{"Filename: 'run.py'", "File info", "Unlock File", "Copy to"}));
}

TEST_F(RowCommandsTest, ItemsHandTheClickedRecordToTheMainController) {
    QList<QUrl> opened;
    browser->setUrlOpener([&](const QUrl& url) { opened << url; });
    trigger(rowOf("Folder"), "Open in File Manager");
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(at("Folder"))});
    EXPECT_EQ(browser->noteTree().clickedFileRep(), record("Folder"));

    trigger(rowOf("Folder"), "New Note");
    trigger(rowOf("CSS"), "New CSS");
    trigger(rowOf("Folder"), "Delete Folder");
    trigger(rowOf("Note.md"), "Filename: 'Note.md'");
    trigger(rowOf("Note.md"), "Lock Note");
    trigger(rowOf("Note.md"), "Delete Note");
    trigger(rowOf("Note.md"), "Copy to");
    record("Other.md")->isImmutable = true;
    trigger(rowOf("Other.md"), "Unlock Note");
    EXPECT_EQ(commands.takeCalls(), (Calls{"newNote Folder", "createFile CSS", "deleteFolder Folder", "lock Note",
                                           "deleteNote Note", "copyTo Note", "unlock Other"}));

    // Moving goes to the other library's top, first there, removing the source.
    commands.synced = true;
    browser->noteTree().setICloudTop(testing::top(dir.filePath("Synced"), "Synced"));
    trigger(rowOf("Note.md"), "Move to Synced");
    EXPECT_EQ(commands.takeCalls(), Calls{"move Note to Synced at 0 deleting"});

    // Note info concerns the clicked row, also while another row (or none) is selected.
    QAction* info = menuItem(rowOf("Note.md"), "Note info");
    ASSERT_TRUE(info->isEnabled());
    info->trigger();
    EXPECT_EQ(commands.takeCalls(), Calls{"info Note"});
}

} // namespace
} // namespace quillet::testing
