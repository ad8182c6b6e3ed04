#include "platform/SyncContainer.h"

#include "PlatformTestSupport.h"
#include "platform/DirectoryWatcher.h"
#include "platform/SyncFolderScan.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace quillet::platform {
namespace {

using testing::TempFolder;

TEST(SyncContainerTest, EngineFilesAndTemporariesAreKnownByName) {
    EXPECT_EQ(syncTemporaryTarget(u".syncthing.Bread.md.tmp"), QString("Bread.md"));
    EXPECT_EQ(syncTemporaryTarget(u"~syncthing~Bread.md.tmp"), QString("Bread.md"));
    EXPECT_EQ(syncTemporaryTarget(u"Bread.md.part"), QString("Bread.md"));
    EXPECT_EQ(syncTemporaryTarget(u".Bread.md.~tmp~"), QString("Bread.md"));
    EXPECT_EQ(syncTemporaryTarget(u".Bread.md.~3f2a"), QString("Bread.md"));
    for (const char16_t* note : {u"Bread.md", u".syncthing.tmp", u"plan.part.md", u".profile", u".a.~xyz"})
        EXPECT_EQ(syncTemporaryTarget(note), std::nullopt) << QString::fromUtf16(note).toStdString();

    for (const char16_t* engine :
         {u".stfolder", u".stversions", u".stignore", u".sync_4ab2.db", u"._sync_4ab2.db-wal",
          u".owncloudsync.log", u"backup.tmp", u"Bread.md.part", u".syncthing.x.md.tmp"})
        EXPECT_TRUE(isSyncEngineFile(engine)) << QString::fromUtf16(engine).toStdString();
    // Conflict copies are resolved through the open note, never shown beside it.
    for (const char16_t* copy : {u"Bread.sync-conflict-20261207-101010-ABCDEFG.md",
                                 u"Bread (conflicted copy 2026-12-07 101010).md"})
        EXPECT_TRUE(isSyncEngineFile(copy)) << QString::fromUtf16(copy).toStdString();
    for (const char16_t* note : {u"Bread.md", u"Bread (conflict).md", u"stversions.md"})
        EXPECT_FALSE(isSyncEngineFile(note)) << QString::fromUtf16(note).toStdString();
}

TEST(SyncContainerTest, PreparesTheFolderAndTakesTheLaunchFolderFirst) {
    TempFolder folder;
    EXPECT_FALSE(prepareSyncFolder(folder.file("missing")));
    ASSERT_TRUE(prepareSyncFolder(folder.path()));
    for (const char* made : {"Documents", "Documents/CSS", "Documents/Script"})
        EXPECT_TRUE(QFileInfo(folder.file(made)).isDir()) << made;
    EXPECT_EQ(syncKeyValueStorePath(folder.path()), folder.file("quillet-metadata.json"));
    EXPECT_TRUE(prepareSyncFolder(folder.path())); // again: nothing to make

    UserDefaults defaults(folder.file("settings.ini"));
    EXPECT_EQ(chosenSyncFolder(defaults, std::nullopt), std::nullopt);
    defaults.setObject(QString::fromLatin1(sync_folder::kSettingsKey), folder.file("stored/"));
    EXPECT_EQ(chosenSyncFolder(defaults, std::nullopt), folder.file("stored"));
    EXPECT_EQ(chosenSyncFolder(defaults, folder.file("given")), folder.file("given"));
}

QStringList relativePaths(const SyncScan& scan, const QString& root) {
    QStringList paths;
    for (const SyncItem& item : scan.items)
        paths << item.path.mid(root.size() + 1) + (item.downloaded ? "" : " (writing)");
    return paths;
}

TEST(SyncContainerTest, ScansDepthFirstAndListsAgainOnlyWhatChanged) {
    TempFolder folder;
    for (const char* path : {"a/b", "c", ".stversions"})
        ASSERT_TRUE(QDir(folder.path()).mkpath(path));
    for (const char* path : {"a/b/n.md", "m.md", "c/x.md", ".stfolder", ".syncthing.m.md.tmp", "new.md.part",
                             ".stversions/old.md"})
        ASSERT_TRUE(testing::writeBytes(folder.file(path), "text"));
    SyncFolderScanner scanner(folder.path());
    const SyncScan first = scanner.scan();
    EXPECT_EQ(relativePaths(first, folder.path()),
              QStringList({"a", "a/b", "a/b/n.md", "c", "c/x.md", "m.md (writing)"}));
    EXPECT_EQ(first.folders,
              QStringList({folder.path(), folder.file("a"), folder.file("c"), folder.file("a/b")}));

    // Another machine: the temporary lands, c goes, a note appears in a new folder below a/b.
    ASSERT_TRUE(QFile::remove(folder.file(".syncthing.m.md.tmp")));
    ASSERT_TRUE(QDir(folder.file("c")).removeRecursively());
    ASSERT_TRUE(QDir(folder.path()).mkpath("a/b/d"));
    ASSERT_TRUE(testing::writeBytes(folder.file("a/b/d/y.md"), "text"));
    ASSERT_TRUE(testing::writeBytes(folder.file("a/late.md"), "text"));
    const SyncScan second = scanner.scan({folder.path(), folder.file("a/b")});
    // a/late.md is in a folder not listed again: it waits for that folder's own change.
    EXPECT_EQ(relativePaths(second, folder.path()),
              QStringList({"a", "a/b", "a/b/d", "a/b/d/y.md", "a/b/n.md", "m.md"}));
    EXPECT_TRUE(relativePaths(scanner.scan({folder.file("a")}), folder.path()).contains("a/late.md"));
}

// Runs the event loop until `done` or two seconds passed.
bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(SyncContainerTest, WatcherReportsEntriesOfWatchedFoldersWithinItsLimit) {
    TempFolder folder;
    for (const char* path : {"one", "two", "three"})
        ASSERT_TRUE(QDir(folder.path()).mkpath(path));
    DirectoryWatcher watcher;
    EXPECT_GT(DirectoryWatcher::defaultLimit(), 0u);
    watcher.setLimit(2);
    EXPECT_EQ(watcher.watch({folder.file("one"), folder.file("two"), folder.file("three")}), 2u);
    QStringList seen;
    QObject::connect(&watcher, &DirectoryWatcher::changed,
                     [&seen](const QString& where, const QString& name) { seen << where + "|" + name; });
    ASSERT_TRUE(testing::writeBytes(folder.file("three/unwatched.md"), "x"));
    ASSERT_TRUE(testing::writeBytes(folder.file("two/a.md"), "x")); // written and closed
    ASSERT_TRUE(QFile::rename(folder.file("two/a.md"), folder.file("one/b.md")));
    EXPECT_TRUE(waitFor([&] { return seen.contains(folder.file("one") + "|b.md"); }));
    EXPECT_TRUE(seen.contains(folder.file("two") + "|a.md"));
    EXPECT_FALSE(seen.join(",").contains("unwatched"));

    watcher.watch({folder.file("three")}); // the others are let go
    EXPECT_EQ(watcher.watchedFolders(), QStringList({folder.file("three")}));
}

} // namespace
} // namespace quillet::platform
