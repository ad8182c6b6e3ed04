// The browser pane following the library on disk: notes and folders added, removed and renamed
// by other programs show up on their own, and the rows shown keep their records, expansion and
// selection. Runs on the real event loop and worker pool, as the application does.

#include "BrowserPaneSupport.h"
#include "platform/QtDispatcher.h"

#include <QSet>

namespace quillet::testing {
namespace {

class FolderWatchTest : public PaneFixture<platform::QtDispatcher> {
protected:
    void SetUp() override {
        for (const char* relative : {"Alpha.md", "Beta.md", "Folder/Inner.md", "Other/Far.md"})
            write(relative);
        showPane();
    }
    void TearDown() override {
        browser.reset();
        platform::QtDispatcher::waitForWorkers();
    }
    // Waits for the file system's report, the quiet delay and the listing to show `names`.
    ::testing::AssertionResult settle(const QString& folder, const QSet<QString>& names) {
        const auto shown = [&] {
            const QStringList list = namesUnder(folder.isEmpty() ? top() : rowOf(folder));
            return QSet<QString>(list.begin(), list.end());
        };
        if (QTest::qWaitFor([&] { return shown() == names; }, 5000)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "shows " << QStringList(shown().values()).join(", ").toStdString();
    }
};

TEST_F(FolderWatchTest, ChangesMadeOutsideShowUpAndTheShownRecordsStay) {
    view()->expand(rowOf("Folder"));
    const FileRep beta = record("Beta.md");
    const FileRep folder = record("Folder");
    browser->selectRowWithFileRep(beta);
    host.open = beta;

    // A note added, one removed, a folder renamed, a folder with a note moved in, a note added to
    // an expanded folder.
    write("Gamma.md");
    ASSERT_TRUE(QFile::remove(at("Alpha.md")));
    ASSERT_TRUE(QDir().rename(at("Other"), at("Renamed")));
    writeFile(dir.filePath("staging/Note.md"));
    ASSERT_TRUE(QDir().rename(dir.filePath("staging"), at("Arrived")));
    write("Folder/Second.md");

    EXPECT_TRUE(settle({}, {"Arrived", "Beta", "Folder", "Gamma", "Renamed"}));
    EXPECT_TRUE(settle("Folder", {"Inner", "Second"}));
    EXPECT_TRUE(settle("Arrived", {"Note"}));
    EXPECT_EQ(record("Renamed/Far.md")->displayName, "Far");
    EXPECT_EQ(record("Beta.md"), beta);
    EXPECT_EQ(record("Folder"), folder);
    EXPECT_EQ(browser->selectedItem(), beta);
    EXPECT_TRUE(view()->isExpanded(rowOf("Folder")));
    EXPECT_TRUE(host.takeCalls().empty()); // nothing was opened or closed on the way
}

TEST_F(FolderWatchTest, NoMoreFoldersThanTheLimitAreWatched) {
    for (int i = 0; i < 30; ++i)
        QDir().mkpath(at(QStringLiteral("Many/F%1").arg(i, 2, 10, QLatin1Char('0'))));
    write("Many/F20/Seen.md");
    browser->loadTree({container, false, {}});
    view()->expand(top());
    EXPECT_EQ(browser->watchedFolders().size(), 4); // the top and the folders in it

    browser->setFolderWatchLimit(3);
    view()->expand(rowOf("Many"));
    view()->expand(rowOf("Many/F07"));
    const QStringList watched = browser->watchedFolders();
    EXPECT_EQ(QSet<QString>(watched.begin(), watched.end()),
              (QSet<QString>{container, at("Many"), at("Many/F07")}));

    view()->collapse(rowOf("Many")); // F07 is still expanded, but hidden
    EXPECT_FALSE(browser->watchedFolders().contains(at("Many/F07")));
    view()->expand(rowOf("Many"));

    // A folder that changed while not watched is listed again when it is expanded.
    write("Many/F20/Unseen.md");
    view()->expand(rowOf("Many/F20"));
    EXPECT_TRUE(settle("Many/F20", {"Seen", "Unseen"}));
    EXPECT_LE(browser->watchedFolders().size(), 3);
}

} // namespace
} // namespace quillet::testing
