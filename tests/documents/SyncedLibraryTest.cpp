// The synced library while the app runs: a temporary folder plays the other machine (and its
// sync engine), the tree follows it, and the note operations work in and out of it.

#include "NoteOperationsTestSupport.h"
#include "platform/ItemLock.h"
#include "platform/SyncContainer.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <unistd.h>

namespace quillet::testing {
namespace {

QStringList sortedNames(const FileRepList& records) {
    QStringList names;
    for (const FileRep& record : records)
        names << record->displayName.value_or("?");
    names.sort();
    return names;
}

class SyncedLibraryTest : public NoteOperationsTest {
protected:
    void TearDown() override {
        NoteOperationsTest::TearDown();
        platform::setUbiquityContainerPath(std::nullopt);
    }
    // The synced folder with these notes (folders end in "/"), shown.
    void startSynced(std::initializer_list<std::pair<const char*, const char*>> items) {
        ASSERT_TRUE(QDir().mkpath(root + "/Documents"));
        for (const auto& [path, text] : items) {
            if (QString(path).endsWith('/'))
                ASSERT_TRUE(QDir(root + "/Documents").mkpath(path));
            else
                writeBytes(synced(path), text);
        }
        ASSERT_TRUE(controller->setupAndStartQuery(root));
        settle();
    }
    QString synced(const QString& relative) const { return root + "/Documents/" + relative; }
    FileRep syncedTop() { return tree().iCloudTop(); }
    FileRep syncedRow(const QString& relative) {
        return NoteTree::findFileRep(QUrl::fromLocalFile(synced(relative)), syncedTop());
    }
    // Lets inotify's events arrive and the query's scan and pass run.
    void settle() {
        for (int round = 0; round < 6; ++round) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 30);
            advance(0.5);
        }
    }
    // The other machine's write, as sync engines land a file: a temporary renamed into place.
    void land(const QString& relative, const QByteArray& bytes) {
        const QString temporary =
            QFileInfo(synced(relative)).path() + "/.syncthing." + QFileInfo(relative).fileName() + ".tmp";
        writeBytes(temporary, bytes);
        ASSERT_EQ(::rename(QFile::encodeName(temporary), QFile::encodeName(synced(relative))), 0);
    }
    QVariantMap storedEntry(const QString& key) {
        QFile file(root + "/quillet-metadata.json");
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(file.readAll()).object().toVariantMap().value(key).toMap();
    }

    QString root = home.path() + "/Sync";
};

TEST_F(SyncedLibraryTest, TheTreeFollowsWhatTheOtherMachineDoes) {
    startSynced({{"Recipes/", ""}, {"Recipes/Bread.md", "# Bread\n"}, {"Plan.md", "# Plan\n"}});
    ASSERT_TRUE(syncedTop());
    EXPECT_EQ(syncedTop()->displayName, QString("Synced"));
    EXPECT_EQ(tree().roots().front(), syncedTop());
    EXPECT_TRUE(controller->hasSyncedContainer());
    EXPECT_EQ(sortedNames(*syncedTop()->children), QStringList({"CSS", "Plan", "Recipes", "Script"}));
    EXPECT_EQ(syncedRow("Recipes/Bread.md")->relativePath, QString("Recipes/Bread.md"));
    EXPECT_TRUE(syncedRow("Recipes/Bread.md")->iCloud);

    // Half-written: no row until the engine renames its temporary into place.
    const QString temporary = synced("Recipes/.syncthing.Rye.md.tmp");
    writeBytes(temporary, "# R");
    writeBytes(synced("Recipes/Rye.md.part"), "# R");
    settle();
    EXPECT_FALSE(syncedRow("Recipes/Rye.md"));
    EXPECT_EQ(treeDisagreement(syncedTop()), "");
    ASSERT_EQ(::rename(QFile::encodeName(temporary), QFile::encodeName(synced("Recipes/Rye.md"))), 0);
    QFile::remove(synced("Recipes/Rye.md.part"));
    settle();
    ASSERT_TRUE(syncedRow("Recipes/Rye.md"));
    EXPECT_EQ(syncedRow("Recipes/Rye.md")->downloaded, true);
    // The engine's conflict copy is the open note's to resolve, not a row.
    writeBytes(synced("Recipes/Rye.sync-conflict-20261207-101010-ABCDEFG.md"), "# Rye there\n");
    settle();
    EXPECT_FALSE(syncedRow("Recipes/Rye.sync-conflict-20261207-101010-ABCDEFG.md"));
    QFile::remove(synced("Recipes/Rye.sync-conflict-20261207-101010-ABCDEFG.md"));

    // A note being replaced stays, marked as not downloaded, until the new version lands.
    const FileRep plan = syncedRow("Plan.md");
    writeBytes(synced(".syncthing.Plan.md.tmp"), "# Pl");
    settle();
    EXPECT_EQ(plan->downloaded, false);
    const QDateTime before = *plan->lastModified;
    QFile::remove(synced(".syncthing.Plan.md.tmp"));
    ::usleep(20000);
    land("Plan.md", "# Plan\nchanged there\n");
    settle();
    EXPECT_EQ(syncedRow("Plan.md"), plan); // the same record, changed in place
    EXPECT_EQ(plan->downloaded, true);
    EXPECT_GT(*plan->lastModified, before);

    // Moved into a new folder, deleted, a folder emptied: the tree follows.
    ASSERT_TRUE(QDir(root + "/Documents").mkpath("Old/Deep"));
    ASSERT_TRUE(QFile::rename(synced("Recipes/Bread.md"), synced("Old/Deep/Bread.md")));
    ASSERT_TRUE(QFile::remove(synced("Plan.md")));
    settle();
    EXPECT_FALSE(syncedRow("Plan.md"));
    EXPECT_FALSE(syncedRow("Recipes/Bread.md"));
    EXPECT_EQ(syncedRow("Old/Deep/Bread.md")->relativePath, QString("Old/Deep/Bread.md"));
    EXPECT_EQ(treeDisagreement(syncedTop()).toStdString(), "");

    // Locked on the other machine through the key-value store.
    writeBytes(root + "/quillet-metadata.json", R"({"Recipes/Rye.md": {"text.locked": true}})");
    settle();
    EXPECT_TRUE(syncedRow("Recipes/Rye.md")->isImmutable);
}

TEST_F(SyncedLibraryTest, ANoteNamedBeforeTheLibraryIsListedOpensOnceItIs) {
    ASSERT_TRUE(QDir().mkpath(root + "/Documents"));
    writeBytes(synced("Plan.md"), "# Plan\n");
    ASSERT_TRUE(controller->setupAndStartQuery(root));
    QString found;
    EXPECT_FALSE(controller->whenSyncedLibraryListed(home.path() + "/Elsewhere.md", [] {}));
    EXPECT_TRUE(controller->whenSyncedLibraryListed(
        synced("Plan.md"), [&] { found = syncedRow("Plan.md") ? "listed" : "missing"; }));
    settle();
    EXPECT_EQ(found, "listed");
    EXPECT_FALSE(controller->whenSyncedLibraryListed(synced("Plan.md"), [] {}));
}

TEST_F(SyncedLibraryTest, NoteOperationsWorkInAndOutOfTheSyncedLibrary) {
    library({{"Local.md", "# Local\n"}});
    startSynced({{"Kept.md", "# Kept\n"}, {"Gone.md", "# Gone\n"}});

    // With no note open a new note goes to the top of the synced library.
    controller->newNote();
    dispatcher.runPending();
    ASSERT_TRUE(openNote());
    EXPECT_TRUE(openNote()->iCloud);
    const QString created = openPath();
    EXPECT_EQ(QFileInfo(created).path(), root + "/Documents");
    const QString key = QFileInfo(created).fileName();
    EXPECT_EQ(storedEntry(key).value("displayName").toString(), QFileInfo(created).completeBaseName());

    // Locked from the row: the file and the store both say so.
    controller->changeEditState(0, syncedRow("Kept.md"));
    dispatcher.runPending();
    EXPECT_TRUE(*platform::isLocked(synced("Kept.md")));
    EXPECT_EQ(storedEntry("Kept.md").value("text.locked"), QVariant(true));
    controller->changeEditState(1, syncedRow("Kept.md"));
    dispatcher.runPending();
    EXPECT_EQ(storedEntry("Kept.md").value("text.locked"), QVariant(false));

    // Moved to this computer and back ("Move to" on the open note), keeping the name given.
    controller->moveFileRep(syncedRow("Kept.md"), tree().localTop(), 0, true);
    EXPECT_TRUE(QFile::exists(notePath("Kept.md")));
    EXPECT_FALSE(rowAt("Kept.md")->iCloud);
    open(rowAt("Local.md"));
    openNote()->displayName = "Local title";
    controller->moveTo();
    dispatcher.runPending();
    EXPECT_EQ(openPath(), synced("Local.md"));
    EXPECT_TRUE(openNote()->iCloud);
    EXPECT_EQ(storedEntry("Local.md").value("displayName").toString(), "Local title");

    // Deleted: to the trash.
    controller->deleteNoteInFileRep(syncedRow("Gone.md"));
    EXPECT_EQ(fileBytes(home.path() + "/data/Trash/files/Gone.md"), "# Gone\n");

    // The query's passes agree with what the operations did: every file once, in its library.
    settle();
    EXPECT_EQ(treeDisagreement(syncedTop()), "");
    EXPECT_EQ(treeDisagreement(top()), "");
    EXPECT_TRUE(alerts.alerts.empty());
}

} // namespace
} // namespace quillet::testing
