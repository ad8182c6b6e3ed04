// Keeping the local tree up to date with the disk: a folder listed again and merged into the
// records it has, the stored sort at launch, and the folders worth watching.

#include "BrowserTestSupport.h"
#include "browser/FolderMerge.h"
#include "browser/NoteTree.h"
#include "platform/ManualDispatcher.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillet {
namespace {

using testing::childNamed;
using testing::namesOf;
using testing::writeFile;

class FolderRefreshTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.isValid());
        tree.setView(&view);
        tree.setLocalContainer(QUrl::fromLocalFile(library.path()));
        tree.setSortMode(kSortModeName);
    }
    QString at(const QString& relative) const { return library.filePath(relative); }
    void setModified(const QString& relative, qint64 seconds) {
        QFile file(at(relative));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::fromSecsSinceEpoch(seconds), QFileDevice::FileModificationTime));
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
    writeFile(at("Keep.md"));
    writeFile(at("Gone.md"));
    writeFile(at("Sub/Old/Inner.md"));
    writeFile(at("Sub/Stay.md"));
    const FileRep top = enumerate();
    const FileRep keep = childNamed(top, "Keep");
    const FileRep sub = childNamed(top, "Sub");
    const FileRep stay = childNamed(sub, "Stay");

    writeFile(at("Added.md"));
    ASSERT_TRUE(QFile::remove(at("Gone.md")));
    ASSERT_TRUE(QDir().rename(at("Sub/Old"), at("Sub/Renamed")));
    setModified("Keep.md", 5000);
    ASSERT_EQ(::chmod(at("Keep.md").toUtf8().constData(), 0444), 0);

    refresh(top);
    EXPECT_EQ(namesOf(*top->children), (QStringList{"Added", "Keep", "Sub"}));
    EXPECT_EQ(childNamed(top, "Keep"), keep);
    EXPECT_EQ(childNamed(top, "Sub"), sub);
    EXPECT_EQ(keep->lastModified, QDateTime::fromSecsSinceEpoch(5000));
    EXPECT_TRUE(keep->isImmutable);
    EXPECT_EQ(view.calls, std::vector<std::string>{"reloadData"}); // the view's fallback for one folder
    EXPECT_EQ(namesOf(*sub->children), (QStringList{"Old", "Stay"})); // only the folder asked for

    refresh(sub);
    EXPECT_EQ(namesOf(*sub->children), (QStringList{"Renamed", "Stay"}));
    EXPECT_EQ(childNamed(sub, "Stay"), stay);
    EXPECT_EQ(namesOf(*childNamed(sub, "Renamed")->children), QStringList{"Inner"}); // listed with it

    // Nothing changed: the view is left alone. A record outside the local tops is not listed.
    view.calls.clear();
    refresh(sub);
    EXPECT_TRUE(view.calls.empty());
    tree.refreshFolder(testing::record(at("Sub"), "Sub", 0, true));
    EXPECT_EQ(dispatcher.runPending(), 0u);
}

TEST_F(FolderRefreshTest, AListingOlderThanTheDiskNeitherDropsNorInventsRecords) {
    writeFile(at("Note.md"));
    const FileRep top = enumerate();
    const FileRep note = childNamed(top, "Note");

    // Listed while the note was away and a note was briefly there.
    ASSERT_TRUE(QFile::rename(at("Note.md"), at("Away.md")));
    writeFile(at("Brief.md"));
    FolderListing stale = listFolderAgain(top->path(), listedSubfolders(*top), {});
    ASSERT_TRUE(QFile::rename(at("Away.md"), at("Note.md")));
    ASSERT_TRUE(QFile::remove(at("Brief.md")));

    const FolderMerge merge = mergeFolderListing(*top, std::move(stale), tree.folderSortDescriptors());
    EXPECT_FALSE(merge.changed);
    EXPECT_EQ(*top->children, FileRepList{note});
    EXPECT_FALSE(mergeFolderListing(*top, FolderListing{top->path(), false, {}}, {}).changed);
    EXPECT_EQ(*top->children, FileRepList{note});
}

TEST_F(FolderRefreshTest, TheStoredSortOrdersEveryFolderAtLaunch) {
    writeFile(at("Sub/z.md"));
    writeFile(at("Sub/y.md"));
    writeFile(at("Sub/Deep/a.md"));
    writeFile(at("Sub/Deep/b.md"));
    setModified("Sub/z.md", 3000);
    setModified("Sub/y.md", 1000);
    setModified("Sub/Deep/a.md", 1000);
    setModified("Sub/Deep/b.md", 3000);

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
    const FileRep dated = childNamed(launched.localTop(), "Sub");
    EXPECT_EQ(namesOf(*childNamed(dated, "Deep")->children), (QStringList{"b", "a"}));
    setModified("Sub/Deep/a.md", 4000);
    launched.refreshFolder(childNamed(dated, "Deep"));
    dispatcher.runPending();
    EXPECT_EQ(namesOf(*childNamed(dated, "Deep")->children), (QStringList{"a", "b"}));
}

TEST_F(FolderRefreshTest, TheTopsAndExpandedFoldersAreWatchedFirstUpToTheLimit) {
    writeFile(at("A/Inner/Deep/n.md"));
    writeFile(at("B/n.md"));
    writeFile(at("C/n.md"));
    const FileRep top = enumerate();
    const FileRep a = childNamed(top, "A");
    const FileRep inner = childNamed(a, "Inner");
    EXPECT_EQ(tree.foldersToWatch(10), (QStringList{top->path(), at("A"), at("B"), at("C")}));

    a->expanded = inner->expanded = true;
    childNamed(inner, "Deep")->expanded = false;
    EXPECT_EQ(tree.foldersToWatch(10),
              (QStringList{top->path(), at("A"), at("A/Inner"), at("B"), at("C"), at("A/Inner/Deep")}));
    EXPECT_EQ(tree.foldersToWatch(3), (QStringList{top->path(), at("A"), at("A/Inner")}));
    EXPECT_TRUE(tree.foldersToWatch(0).isEmpty());

    // An expanded folder under a collapsed one is not shown.
    a->expanded = false;
    EXPECT_EQ(tree.foldersToWatch(10), (QStringList{top->path(), at("A"), at("B"), at("C")}));
}

} // namespace
} // namespace quillet
