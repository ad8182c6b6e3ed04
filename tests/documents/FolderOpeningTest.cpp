#include "ViewControllerTestSupport.h"

namespace quillet {
namespace {

using testing::ViewControllerTest;

class FolderOpeningTest : public ViewControllerTest {
protected:
    // A folder outside the library with a note.
    QString makeFolder(const QString& name) {
        const QString path = home.path() + "/elsewhere/" + name;
        QDir().mkpath(path);
        testing::writeBytes(path + "/a.md", "# A\n");
        return path;
    }
    void openChosen(const QString& path) {
        controller->setFolderChooser([path] { return path; });
        controller->openFolder();
        advance(1);
    }
    QStringList recentPaths() const {
        QStringList paths;
        for (const RecentFolder& folder : controller->recentOpenedFolders())
            paths << folder.path;
        return paths;
    }
    std::size_t roots() const { return controller->folderViewController()->noteTree().roots().size(); }
    QString lastOpenedPath() const {
        const auto entry = defaults->dictionary(platform::defaults_keys::kLastOpenedFolder);
        return entry ? entry->value("path").toString() : QString();
    }
};

TEST_F(FolderOpeningTest, OpeningShowsTheFolderOpensItsFirstNoteAndKeepsOneRecentEntryEach) {
    const QString notes = makeFolder("Notes"), other = makeFolder("Other");
    openChosen(notes);
    EXPECT_EQ(controller->folderViewController()->noteTree().roots().front()->displayName, "Notes");
    ASSERT_TRUE(controller->lastFileRepresentation());
    EXPECT_TRUE(controller->lastFileRepresentation()->path().startsWith(notes + "/"));
    openChosen(other);
    openChosen(notes);
    EXPECT_EQ(recentPaths(), (QStringList{other, notes}));
    EXPECT_EQ(lastOpenedPath(), notes);

    controller->setFolderChooser([] { return QString(); }); // cancelled
    controller->openFolder();
    EXPECT_EQ(controller->openedFolderPath(), notes);
}

TEST_F(FolderOpeningTest, TheFolderComesBackAtStartUnlessClosedOrGone) {
    const QString notes = makeFolder("Notes");
    openChosen(notes);
    makeController();
    EXPECT_EQ(controller->openedFolderPath(), notes);
    EXPECT_EQ(roots(), 2u);
    advance(1);
    EXPECT_FALSE(controller->lastFileRepresentation()) << "the launch's own note is not replaced";

    controller->closeFolder();
    makeController();
    EXPECT_FALSE(controller->openedFolderPath());
    EXPECT_EQ(recentPaths(), QStringList{notes});

    openChosen(notes);
    ASSERT_TRUE(QDir(notes).removeRecursively());
    makeController();
    EXPECT_FALSE(controller->openedFolderPath());
    EXPECT_FALSE(defaults->contains(platform::defaults_keys::kLastOpenedFolder));
    EXPECT_EQ(roots(), 1u);
}

TEST_F(FolderOpeningTest, ARecentFolderClosesTheOpenOneEvenWhenItCannotOpen) {
    const QString notes = makeFolder("Notes"), gone = makeFolder("Gone");
    openChosen(gone);
    openChosen(notes);
    const RecentFolder goneEntry = controller->recentOpenedFolders().front();
    ASSERT_TRUE(QDir(gone).removeRecursively());
    controller->openRecentFolder(goneEntry);
    EXPECT_FALSE(controller->openedFolderPath());
    EXPECT_FALSE(controller->lastFileRepresentation()) << "the closed folder's note is closed with it";
    EXPECT_EQ(recentPaths(), (QStringList{gone, notes}));

    controller->openRecentFolder(controller->recentOpenedFolders().back());
    EXPECT_EQ(controller->openedFolderPath(), notes);
    EXPECT_EQ(lastOpenedPath(), notes);
    controller->clearOpenRecentFoldersMenu();
    EXPECT_TRUE(recentPaths().isEmpty());
    EXPECT_FALSE(defaults->contains(platform::defaults_keys::kRecentOpenedFolders));
    EXPECT_EQ(controller->openedFolderPath(), notes);
}

} // namespace
} // namespace quillet
