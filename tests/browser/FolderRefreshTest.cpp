// Keeping the local tree up to date with the disk: a folder listed again and merged into the
// records it has, and the stored sort at launch.

#include "BrowserTestSupport.h"
#include "browser/FolderMerge.h"
#include "browser/NoteTree.h"
#include "platform/ManualDispatcher.h"
#include "platform/UserDefaults.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillet {
namespace {

using testing::childNamed;
using testing::namesOf;
using testing::writeFile;

class FolderRefreshTest : public ::testing::Test {
protected:
    FolderRefreshTest() {
        tree.setView(&view);
        tree.setLocalContainer(QUrl::fromLocalFile(library.path()));
        tree.setSortMode(kSortModeName);
    }
    QString at(const QString& relative) const { return library.filePath(relative); }
    void write(const QString& relative, std::optional<qint64> modified = {}) {
        writeFile(at(relative));
        if (!modified) return;
        QFile file(at(relative));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            file.setFileTime(QDateTime::fromSecsSinceEpoch(*modified), QFileDevice::FileModificationTime));
    }
    FileRep enumerate() {
        tree.queryLocalTop();
        view.calls.clear();
        return tree.localTop();
    }
    void refresh(const FileRep& folder) {
        tree.refreshFolder(folder);
        dispatcher.runPending();
    }

    QTemporaryDir library;
    QTemporaryDir settings;
    platform::UserDefaults defaults{settings.filePath("defaults.ini")};
    platform::ManualDispatcher dispatcher;
    testing::RecordingView view;
    NoteTree tree{defaults, dispatcher};
};

TEST_F(FolderRefreshTest, ChangesOutsideAreMergedIntoTheRecordsThatStay) {
    for (const char* path : {"Keep.md", "Gone.md", "Old/Inner.md", "Sub/Stay.md"})
        write(path);
    const FileRep top = enumerate();
    const FileRep keep = childNamed(top, "Keep");
    const FileRep sub = childNamed(top, "Sub");

    write("Added.md");
    write("Sub/New.md");
    ASSERT_TRUE(QFile::remove(at("Gone.md")));
    ASSERT_TRUE(QDir().rename(at("Old"), at("Renamed")));
    write("Keep.md", 5000);
    ASSERT_EQ(::chmod(at("Keep.md").toUtf8().constData(), 0444), 0);

    refresh(top);
    EXPECT_EQ(namesOf(*top->children), (QStringList{"Added", "Keep", "Renamed", "Sub"}));
    EXPECT_EQ(childNamed(top, "Keep"), keep);
    EXPECT_EQ(childNamed(top, "Sub"), sub);
    EXPECT_EQ(keep->lastModified, QDateTime::fromSecsSinceEpoch(5000));
    EXPECT_TRUE(keep->isImmutable);
    EXPECT_EQ(namesOf(*childNamed(top, "Renamed")->children), QStringList{"Inner"}); // listed with it
    EXPECT_EQ(namesOf(*sub->children), QStringList{"Stay"});       // only the folder asked for
    EXPECT_EQ(view.calls, std::vector<std::string>{"reloadData"}); // the view's fallback for one folder

    // Nothing changed: the view is left alone. A record outside the local tops is not listed.
    view.calls.clear();
    refresh(top);
    EXPECT_TRUE(view.calls.empty());
    tree.refreshFolder(testing::record(at("Sub"), "Sub", 0, true));
    EXPECT_EQ(dispatcher.runPending(), 0u);
}

TEST_F(FolderRefreshTest, AListingOlderThanTheDiskNeitherDropsNorInventsRecords) {
    write("Note.md");
    const FileRep top = enumerate();
    const FileRep note = childNamed(top, "Note");

    // Listed while the note was away and a note was briefly there.
    ASSERT_TRUE(QFile::rename(at("Note.md"), at("Away.md")));
    write("Brief.md");
    FolderListing stale = listFolderAgain(top->path(), listedSubfolders(*top), {});
    ASSERT_TRUE(QFile::rename(at("Away.md"), at("Note.md")));
    ASSERT_TRUE(QFile::remove(at("Brief.md")));

    EXPECT_FALSE(mergeFolderListing(*top, std::move(stale), tree.folderSortDescriptors()).changed);
    EXPECT_EQ(*top->children, FileRepList{note});
    EXPECT_FALSE(mergeFolderListing(*top, FolderListing{top->path(), false, {}}, {}).changed); // failed
    EXPECT_EQ(*top->children, FileRepList{note});
}

TEST_F(FolderRefreshTest, TheStoredSortOrdersEveryFolderAtLaunch) {
    write("Sub/z.md", 3000);
    write("Sub/y.md", 1000);
    write("Sub/Deep/a.md", 1000);
    write("Sub/Deep/b.md", 3000);
    defaults.setObject(QString::fromLatin1(platform::defaults_keys::kLastSortMode), kSortModeName);
    NoteTree launched(defaults, dispatcher);
    launched.setLocalContainer(QUrl::fromLocalFile(library.path()));
    launched.queryLocalTop();
    const FileRep sub = childNamed(launched.localTop(), "Sub");
    EXPECT_EQ(namesOf(*sub->children), (QStringList{"Deep", "y", "z"}));
    EXPECT_EQ(namesOf(*childNamed(sub, "Deep")->children), (QStringList{"a", "b"}));

    // By date, newest first; a refresh keeps the order the mode gives.
    launched.setSortMode(kSortModeDate);
    launched.queryLocalTop();
    const FileRep deep = childNamed(childNamed(launched.localTop(), "Sub"), "Deep");
    EXPECT_EQ(namesOf(*deep->children), (QStringList{"b", "a"}));
    write("Sub/Deep/a.md", 4000);
    launched.refreshFolder(deep);
    dispatcher.runPending();
    EXPECT_EQ(namesOf(*deep->children), (QStringList{"a", "b"}));
}

} // namespace
} // namespace quillet
