// The browser pane following the library on disk: notes and folders added, removed and renamed
// by other programs show up on their own, and the rows shown keep their records, expansion and
// selection. Runs on the real event loop and worker pool, as the application does.

#include "BrowserPaneSupport.h"
#include "platform/QtDispatcher.h"

#include <QSet>

namespace quillet::testing {
namespace {

// A bound on the wait for the file system's report, the quiet delay and the listing.
constexpr int kSettleMilliseconds = 5000;

QSet<QString> rowNames(const QAbstractItemModel& model, const QModelIndex& parent) {
    QSet<QString> names;
    for (int row = 0; row < model.rowCount(parent); ++row)
        names.insert(model.index(row, 0, parent).data().toString());
    return names;
}

class FolderWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        container = dir.filePath(QStringLiteral("Documents"));
        for (const char* relative : {"Alpha.md", "Beta.md", "Folder/Inner.md", "Other/Far.md"})
            write(QString::fromLatin1(relative));
        defaults = std::make_unique<platform::UserDefaults>(dir.filePath(QStringLiteral("defaults.ini")));
        browser = std::make_unique<FolderViewController>(*defaults, dispatcher);
        browser->setHost(&host);
        browser->resize(320, 600);
        browser->show();
        browser->loadTree({container, false, {}});
        view()->expand(top());
    }
    void TearDown() override {
        browser.reset();
        platform::QtDispatcher::waitForWorkers();
    }

    void write(const QString& relative) const {
        const QString path = container + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("text\n");
    }
    QString at(const QString& relative) const { return container + QLatin1Char('/') + relative; }
    QTreeView* view() const { return browser->outlineView(); }
    NoteTreeModel* model() const { return browser->treeModel(); }
    QModelIndex top() const { return model()->indexOfRecord(browser->noteTree().localTop()); }
    FileRep record(const QString& relative) const {
        return NoteTree::findFileRep(QUrl::fromLocalFile(at(relative)), browser->noteTree().localTop());
    }
    QModelIndex rowOf(const QString& relative) const { return model()->indexOfRecord(record(relative)); }
    QSet<QString> namesIn(const QModelIndex& parent) const { return rowNames(*model(), parent); }

    QTemporaryDir dir;
    QString container;
    std::unique_ptr<platform::UserDefaults> defaults;
    platform::QtDispatcher dispatcher;
    RecordingHost host;
    std::unique_ptr<FolderViewController> browser;
};

TEST_F(FolderWatchTest, ChangesMadeOutsideShowUpAndTheShownRecordsStay) {
    view()->expand(rowOf(QStringLiteral("Folder")));
    const FileRep beta = record(QStringLiteral("Beta.md"));
    const FileRep folder = record(QStringLiteral("Folder"));
    browser->selectRowWithFileRep(beta);
    host.open = beta;

    // A note added, one removed, a folder renamed, a folder with a note moved in, a note added
    // to an expanded folder.
    write(QStringLiteral("Gamma.md"));
    ASSERT_TRUE(QFile::remove(at(QStringLiteral("Alpha.md"))));
    ASSERT_TRUE(QDir().rename(at(QStringLiteral("Other")), at(QStringLiteral("Renamed"))));
    QTemporaryDir staging(container + QStringLiteral("/../staging-XXXXXX"));
    write(QStringLiteral("../") + QFileInfo(staging.path()).fileName() + QStringLiteral("/Note.md"));
    ASSERT_TRUE(QDir().rename(staging.path(), at(QStringLiteral("Arrived"))));
    write(QStringLiteral("Folder/Second.md"));

    const QSet<QString> expected{"Arrived", "Beta", "Folder", "Gamma", "Renamed"};
    QTRY_COMPARE_WITH_TIMEOUT(namesIn(top()), expected, kSettleMilliseconds);
    QTRY_COMPARE_WITH_TIMEOUT(namesIn(rowOf(QStringLiteral("Folder"))), (QSet<QString>{"Inner", "Second"}),
                              kSettleMilliseconds);
    EXPECT_EQ(browser->noteTree().localTop()->children->size(), 5u);
    EXPECT_EQ(record(QStringLiteral("Renamed/Far.md"))->displayName, QStringLiteral("Far"));
    EXPECT_EQ(record(QStringLiteral("Arrived/Note.md"))->displayName, QStringLiteral("Note"));

    EXPECT_EQ(record(QStringLiteral("Beta.md")), beta);
    EXPECT_EQ(record(QStringLiteral("Folder")), folder);
    EXPECT_EQ(browser->selectedItem(), beta);
    EXPECT_TRUE(view()->isExpanded(rowOf(QStringLiteral("Folder"))));
    // Nothing was opened or closed on the way.
    EXPECT_TRUE(host.takeEditorCalls().empty());
}

TEST_F(FolderWatchTest, NoMoreFoldersThanTheLimitAreWatched) {
    for (int i = 0; i < 30; ++i)
        QDir().mkpath(at(QStringLiteral("Many/F%1").arg(i, 2, 10, QLatin1Char('0'))));
    write(QStringLiteral("Many/F20/Seen.md"));
    browser->loadTree({container, false, {}});
    view()->expand(top());
    EXPECT_EQ(browser->watchedFolders().size(), 4); // the top and the folders in it

    browser->setFolderWatchLimit(3);
    view()->expand(rowOf(QStringLiteral("Many")));
    view()->expand(rowOf(QStringLiteral("Many/F07")));
    const QStringList watched = browser->watchedFolders();
    EXPECT_EQ(watched.size(), 3);
    EXPECT_EQ(QSet<QString>(watched.begin(), watched.end()),
              (QSet<QString>{container, at(QStringLiteral("Many")), at(QStringLiteral("Many/F07"))}));

    // A folder that changed while not watched is listed again when it is expanded.
    write(QStringLiteral("Many/F20/Unseen.md"));
    view()->expand(rowOf(QStringLiteral("Many/F20")));
    QTRY_COMPARE_WITH_TIMEOUT(namesIn(rowOf(QStringLiteral("Many/F20"))), (QSet<QString>{"Seen", "Unseen"}),
                              kSettleMilliseconds);
    EXPECT_LE(browser->watchedFolders().size(), 3);
}

} // namespace
} // namespace quillet::testing
