// The open note of the synced folder while another machine, played by the test, changes it
// through the sync engine: conflict copies, moves and the text of each side.

#include "ViewControllerTestSupport.h"
#include "documents/RecoveryFile.h"
#include "platform/SyncFolder.h"

#include <QDirIterator>
#include <QFileInfo>

namespace quillet::testing {
namespace {

const QByteArray kNote = "# Diary\n\nMonday.\n";
const QString kThisDevice = "ABCDEF2-GHIJKLM-NOPQRST-UVWXYZ2-3456723-4567234-5672345-6723456";

class SyncedNoteTest : public ViewControllerTest {
protected:
    void SetUp() override {
        ViewControllerTest::SetUp();
        platform::overrideSyncFolderPath(container);
        platform::overrideThisDeviceID(kThisDevice);
    }
    void TearDown() override {
        ViewControllerTest::TearDown();
        platform::overrideSyncFolderPath(std::nullopt);
        platform::overrideThisDeviceID(std::nullopt);
    }

    QStringList notesHolding(const QByteArray& text) const {
        QStringList found;
        QDirIterator files(container, QDir::Files);
        while (files.hasNext()) {
            const QString path = files.next();
            if (fileBytes(path).contains(text)) found << QFileInfo(path).fileName();
        }
        return found;
    }

    // The engine moves a note as a new file with the old one's modification time.
    void moveAsTheEngineDoes(const QString& from, const QString& to) {
        const QDateTime modified = QFileInfo(from).lastModified();
        writeBytes(to, fileBytes(from));
        QFile moved(to);
        ASSERT_TRUE(moved.open(QIODevice::ReadWrite));
        ASSERT_TRUE(moved.setFileTime(modified, QFileDevice::FileModificationTime));
        ASSERT_TRUE(QFile::remove(from));
    }
};

TEST_F(SyncedNoteTest, ThisComputersConflictCopyBecomesANoteAndOnlyTextFoundElsewhereIsRemoved) {
    const FileRep note = writeNote("Diary.md", kNote);
    open(note);
    writeNote("Diary.sync-conflict-20261207-100000-ABCDEF2.md", "# Diary\n\nMonday, mine.\n");
    writeNote("Diary.sync-conflict-20261207-110000-ABCDEF2.md", "Only here.\n");
    writeNote("Diary.sync-conflict-20261207-120000-ABCDEF2.md", kNote);
    lookAtDisk();

    ASSERT_FALSE(alerts.alerts.empty());
    EXPECT_EQ(alerts.alerts.back().message, "Conflict is happened.");
    const QStringList resolved = notesHolding("Monday, mine.");
    ASSERT_EQ(resolved.size(), 1);
    const QString name = QFileInfo(resolved[0]).completeBaseName();
    EXPECT_TRUE(name.startsWith("Note ")) << name.toStdString();
    EXPECT_EQ(fileBytes(notePath(resolved[0])), "# " + name.toUtf8() + " #\n\nMonday, mine.\n");
    EXPECT_TRUE(alerts.alerts.back().informativeText.startsWith(
        QStringLiteral("Conflict with 'ABCDEF2'. Text is saved as '%1'").arg(name)));
    // The copy whose text is nowhere else is kept as a note the tree shows, and the user is told.
    EXPECT_EQ(notesHolding("Only here."), QStringList{"Diary (conflict).md"});
    EXPECT_TRUE(alerts.alerts.back().informativeText.contains("Diary (conflict).md"));
    for (const QString& file : QDir(container).entryList(QDir::Files))
        EXPECT_FALSE(file.contains("sync-conflict")) << file.toStdString();
    EXPECT_EQ(fileBytes(note->path()), kNote);
    EXPECT_EQ(editorText(), QString::fromUtf8(kNote));
}

TEST_F(SyncedNoteTest, AnotherComputersConflictIsToldOnceAndLeftAndALocalNoteGetsNone) {
    const FileRep note = writeNote("Diary.md", kNote);
    open(note);
    const FileRep copy = writeNote("Diary.sync-conflict-20261207-100000-ZZZZZZZ.md", "Theirs.\n");
    lookAtDisk();
    lookAtDisk();
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].informativeText, "Conflicting with 'ZZZZZZZ'");
    EXPECT_EQ(fileBytes(copy->path()), "Theirs.\n");

    platform::overrideSyncFolderPath(home.path() + "/elsewhere");
    const FileRep local = writeNote("Local.md", kNote);
    open(local);
    const FileRep localCopy = writeNote("Local.sync-conflict-20261207-100000-ABCDEF2.md", "Mine.\n");
    lookAtDisk();
    EXPECT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(fileBytes(localCopy->path()), "Mine.\n");
}

TEST_F(SyncedNoteTest, AMoveByAnotherMachineIsFollowedAndEditsAreCopiedOrKeptAsTheUserSays) {
    const FileRep note = writeNote("Diary.md", kNote);
    open(note);
    moveAsTheEngineDoes(note->path(), notePath("Journal.md"));
    lookAtDisk();
    EXPECT_EQ(note->path(), notePath("Journal.md"));
    EXPECT_TRUE(alerts.alerts.empty());
    EXPECT_TRUE(controller->editState());

    typeAtEnd("copied");
    moveAsTheEngineDoes(notePath("Journal.md"), notePath("Week.md"));
    alerts.answer = 0; // "OK"
    lookAtDisk();
    advance(1);
    ASSERT_FALSE(alerts.alerts.empty());
    EXPECT_EQ(alerts.alerts.back().message, "Note is moved by other.");
    EXPECT_EQ(alerts.alerts.back().informativeText, "Do you want to copy the Note.");
    EXPECT_EQ(fileBytes(notePath("Week.md")), kNote); // the moved file is not written over
    const QStringList copies = notesHolding("copied");
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(fileBytes(notePath(copies[0])).endsWith(kNote + "copied"));
    EXPECT_EQ(controller->lastFileRepresentation()->path(), notePath(copies[0]));

    typeAtEnd("kept");
    moveAsTheEngineDoes(notePath(copies[0]), notePath("Month.md"));
    alerts.answer = 1; // "Cancel"
    lookAtDisk();
    EXPECT_TRUE(editor().textView()->isReadOnly());
    EXPECT_TRUE(notesHolding("kept").isEmpty());
    QDirIterator recovered(recoveryFolder(), QDir::Files);
    ASSERT_TRUE(recovered.hasNext());
    EXPECT_TRUE(fileBytes(recovered.next()).endsWith("copiedkept"));
}

} // namespace
} // namespace quillet::testing
