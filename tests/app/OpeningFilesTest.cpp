// Notes named by the file manager, at launch or handed over by a later launch, and the folder
// commands of the window's File menu.

#include "ShellTestSupport.h"
#include "app/WindowActions.h"
#include "browser/view/FolderViewController.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>
#include <gtest/gtest.h>

namespace quillet::testing {
namespace {

class OpeningFilesTest : public ShellTest {
protected:
    QString writeOutside(const QString& relative) {
        const QString path = home.path() + "/outside/" + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("# Outside\n");
        return path;
    }
    FileRep selectedRecord() { return controller().folderViewController()->selectedItem(); }
};

TEST_F(OpeningFilesTest, ALaunchNamingANoteOutsideTheLibraryOpensItInItsFolder) {
    const QString note = writeOutside("Project/docs/readme.md");
    writeOutside("Project/docs/a first.md");
    launch(note);
    EXPECT_EQ(controller().openedFolderPath(), home.path() + "/outside/Project/docs");
    EXPECT_EQ(openPath(), note);
    ASSERT_TRUE(selectedRecord());
    EXPECT_EQ(selectedRecord()->path(), note);
    dispatcher.advance(platform::seconds(1));
    EXPECT_EQ(openPath(), note) << "the folder's first note does not replace the one named";
}

TEST_F(OpeningFilesTest, ALaterLaunchHandsOverItsFilesAndTheLibraryKeepsItsOwn) {
    writeNote("plan.md", "# Plan\n");
    launch();
    const QString outside = writeOutside("Elsewhere/idea.md");
    delegate->openFromOtherInstance({"--dark", home.path() + "/missing.md", outside});
    dispatcher.runPending(); // the note's read
    EXPECT_EQ(openPath(), outside);
    EXPECT_EQ(controller().openedFolderPath(), home.path() + "/outside/Elsewhere");

    delegate->openFromOtherInstance({notePath("plan.md")});
    dispatcher.runPending();
    EXPECT_EQ(openPath(), notePath("plan.md"));
    EXPECT_EQ(controller().openedFolderPath(), home.path() + "/outside/Elsewhere")
        << "a library note needs no folder";
    EXPECT_FALSE(delegate->openNoteAnywhere(home.path() + "/outside"));
}

TEST_F(OpeningFilesTest, TheRecentFolderMenuDisablesAFolderGoneAndClears) {
    const QString kept = QFileInfo(writeOutside("Kept/a.md")).absolutePath();
    const QString gone = QFileInfo(writeOutside("Gone/a.md")).absolutePath();
    launch();
    ASSERT_TRUE(controller().openFolderAtPath(gone));
    ASSERT_TRUE(controller().openFolderAtPath(kept));
    ASSERT_TRUE(QDir(gone).removeRecursively());
    QMenu* menu = window->actions().openRecentFolderMenu;
    emit menu->aboutToShow();
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 4); // two folders, a separator, "Clear Menu"
    EXPECT_EQ(items[0]->text(), "Gone");
    EXPECT_EQ(items[0]->toolTip(), gone);
    EXPECT_FALSE(items[0]->isEnabled());
    // While a folder is open, every entry waits for Close Folder; the open one is ticked.
    EXPECT_FALSE(items[1]->isEnabled());
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_FALSE(window->actions().openFolder->isEnabled());

    window->actions().closeFolder->trigger();
    emit menu->aboutToShow();
    EXPECT_TRUE(window->actions().openFolder->isEnabled());
    ASSERT_TRUE(menu->actions()[1]->isEnabled());
    menu->actions()[1]->trigger();
    EXPECT_EQ(controller().openedFolderPath(), kept);
    emit menu->aboutToShow();
    menu->actions()[3]->trigger();
    emit menu->aboutToShow();
    EXPECT_EQ(menu->actions().size(), 2);
    EXPECT_FALSE(menu->actions().back()->isEnabled());
    EXPECT_EQ(window->actions().openFolder->shortcut(), QKeySequence("Ctrl+O"));
}

} // namespace
} // namespace quillet::testing
