// The open note's owner: opening, saving, failures, and notes changed by other programs. After
// every scenario each text either side wrote must be in a file on disk.

#include "ViewControllerTestSupport.h"
#include "documents/DocumentSession.h"
#include "documents/RecoveryFile.h"
#include "platform/ItemLock.h"

#include <QDirIterator>
#include <QRandomGenerator>

namespace quillet::testing {
namespace {

const QByteArray kNote = "# Diary\n\nMonday.\n";

// Every file below `folder` whose bytes hold `text`.
QStringList filesHolding(const QString& folder, const QByteArray& text) {
    QStringList found;
    QDirIterator files(folder, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (fileBytes(path).contains(text)) found << path;
    }
    return found;
}

TEST_F(ViewControllerTest, OpensWithTheStoredSelectionAndNameOrTheOneAskedFor) {
    const FileRep note = writeNote("Diary.md", kNote);
    platform::writeAttribute(note->path(), "text.selectedRange", "{9, 6}");
    platform::writeAttribute(note->path(), "displayName", "Dear diary");
    open(note);
    EXPECT_EQ(controller->lastFileRepresentation(), note);
    EXPECT_EQ(editorText(), QString::fromUtf8(kNote));
    EXPECT_EQ(editor().selectedRange(), (Range{9, 6}));
    EXPECT_EQ(controller->displayName(), "Dear diary");
    EXPECT_TRUE(controller->editState());

    controller->closeDocument();
    controller->openDocument(note, Range{2, 5});
    dispatcher.runPending();
    EXPECT_EQ(editor().selectedRange(), (Range{2, 5})); // a header chosen wins over the stored one
}

TEST_F(ViewControllerTest, ASelectionNobodyMovedIsNeverStoredOverTheOneOnDisk) {
    const FileRep note = writeNote("Diary.md", kNote);
    open(note);
    controller->autosaveFile(); // focus changes
    EXPECT_EQ(attribute(note->path(), "text.selectedRange"), QString());
    // Another window or program stores a caret meanwhile: it stays until the user moves this one.
    platform::writeAttribute(note->path(), "text.selectedRange", "{9, 6}");
    controller->autosaveFile();
    advance(10);
    EXPECT_EQ(attribute(note->path(), "text.selectedRange"), "{9, 6}");

    editor().textView()->moveCursor(QTextCursor::End);
    controller->autosaveFile();
    dispatcher.runPending();
    EXPECT_EQ(attribute(note->path(), "text.selectedRange"), QStringLiteral("{%1, 0}").arg(kNote.size()));
}

TEST_F(ViewControllerTest, ANoteThatFailsToOpenIsNeverWritten) {
    const QByteArray latin1 = "caf\xe9 au lait\n";
    const FileRep note = writeNote("Latin.md", latin1);
    open(note);
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].message, "Couldn't open the Note.");
    EXPECT_FALSE(controller->lastFileRepresentation());
    EXPECT_TRUE(editor().textView()->isReadOnly());
    typeAtEnd("typed");
    controller->autosaveFile();
    advance(10);
    EXPECT_EQ(fileBytes(note->path()), latin1);
    EXPECT_TRUE(platform::listAttributes(note->path()).value.value_or(QStringList()).isEmpty());
}

TEST_F(ViewControllerTest, TypingSavesOnceFiveSecondsAfterTheLastEdit) {
    const FileRep note = writeNote("Diary.md", kNote);
    open(note);
    for (int i = 0; i < 4; ++i) {
        typeAtEnd("x");
        advance(1);
    }
    EXPECT_TRUE(controller->documentDirty());
    EXPECT_EQ(fileBytes(note->path()), kNote);
    editor().setSelectedRange({3, 2});
    advance(4.1);
    EXPECT_EQ(fileBytes(note->path()), kNote + "xxxx");
    EXPECT_FALSE(controller->documentDirty());
    EXPECT_EQ(attribute(note->path(), "text.selectedRange"), "{3, 2}");

    typeAtEnd("y");
    controller->closeDocument(); // closing saves at once
    dispatcher.runPending();
    EXPECT_EQ(fileBytes(note->path()), kNote + "xxxxy");
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(ViewControllerTest, AFailedSaveAlertsOnceAndIsTriedAgainOnTheNextEdit) {
    const FileRep note = writeNote("Diary.md", kNote);
    open(note);
    ASSERT_TRUE(platform::setLocked(note->path(), true).ok); // from outside: every save now fails
    typeAtEnd("one");
    advance(5);
    for (int i = 0; i < 20; ++i) controller->autosaveFile(); // focus changes
    typeAtEnd(" more");
    advance(5); // tried again after the edit, and failed again: no second alert
    advance(30); // the back-off's try
    EXPECT_EQ(alerts.alerts.size(), 1u);
    EXPECT_TRUE(controller->documentDirty());

    ASSERT_TRUE(platform::setLocked(note->path(), false).ok);
    typeAtEnd(" two");
    advance(5);
    EXPECT_EQ(fileBytes(note->path()), kNote + "one more two");
    EXPECT_FALSE(controller->documentDirty());
}

TEST_F(ViewControllerTest, OutsideChangesReloadACleanNoteKeepingTheCaret) {
    const FileRep note = writeNote("Diary.md", kNote);
    open(note);
    editor().setSelectedRange({3, 2});
    QFile appended(note->path());
    ASSERT_TRUE(appended.open(QIODevice::Append));
    appended.write("Tuesday.\n");
    appended.close();
    lookAtDisk();
    EXPECT_EQ(editorText(), QString::fromUtf8(kNote + "Tuesday.\n"));
    EXPECT_EQ(editor().selectedRange(), (Range{3, 2}));

    replaceFromOutside(note->path(), "# Diary\nrewritten\n");
    lookAtDisk();
    EXPECT_EQ(editorText(), "# Diary\nrewritten\n");
    typeAtEnd("mine");
    advance(5);
    EXPECT_EQ(fileBytes(note->path()), "# Diary\nrewritten\nmine"); // saved over the new version
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(ViewControllerTest, OutsideChangesToADirtyNoteKeepBothTexts) {
    const FileRep note = writeNote("Diary.md", kNote);
    open(note);
    typeAtEnd("mine\n");
    QFile appended(note->path());
    ASSERT_TRUE(appended.open(QIODevice::Append));
    appended.write("theirs\n");
    appended.close();
    advance(5); // the save finds the file changed before the watcher said so
    EXPECT_EQ(fileBytes(note->path()), kNote + "theirs\n");
    EXPECT_EQ(filesHolding(container, "mine").size(), 1);
    EXPECT_EQ(editorText(), QString::fromUtf8(kNote + "theirs\n"));
    ASSERT_FALSE(alerts.alerts.empty());
    EXPECT_EQ(alerts.alerts.back().message, "Conflict is happened.");

    typeAtEnd("again\n");
    replaceFromOutside(note->path(), "replaced\n");
    lookAtDisk();
    EXPECT_EQ(fileBytes(note->path()), "replaced\n");
    EXPECT_EQ(filesHolding(container, "again").size(), 1);
    EXPECT_EQ(editorText(), "replaced\n");
    EXPECT_FALSE(controller->documentDirty());
}

TEST_F(ViewControllerTest, ANoteRenamedOutsideIsFollowedWithItsEdits) {
    const FileRep note = writeNote("Diary.md", kNote);
    open(note);
    typeAtEnd("mine");
    ASSERT_EQ(::rename(QFile::encodeName(note->path()), QFile::encodeName(notePath("Journal.md"))), 0);
    lookAtDisk();
    EXPECT_EQ(note->path(), notePath("Journal.md"));
    advance(5);
    EXPECT_EQ(fileBytes(notePath("Journal.md")), kNote + "mine");
    EXPECT_FALSE(QFile::exists(notePath("Diary.md")));
}

TEST_F(ViewControllerTest, ANoteDeletedOutsideIsRecreatedOnlyWhenTheUserSaysSo) {
    const FileRep kept = writeNote("Kept.md", kNote);
    open(kept);
    typeAtEnd("keep me");
    ASSERT_TRUE(QFile::remove(kept->path()));
    alerts.answer = 0; // "Save"
    advance(5);
    EXPECT_EQ(alerts.alerts.back().message, "Note is deleted by other.");
    EXPECT_EQ(fileBytes(kept->path()), kNote + "keep me");
    EXPECT_EQ(controller->lastFileRepresentation()->path(), kept->path());

    const FileRep dropped = writeNote("Dropped.md", kNote);
    open(dropped);
    ASSERT_TRUE(QFile::remove(dropped->path()));
    alerts.answer = 1; // "Cancel"
    lookAtDisk();
    advance(10);
    EXPECT_FALSE(QFile::exists(dropped->path()));
    EXPECT_FALSE(controller->lastFileRepresentation());
}

// Another program rewrites the open note at random moments while the user types; the last text
// of each side must survive.
TEST_F(ViewControllerTest, SoakOfOutsideRewritesWhileTyping) {
    const FileRep note = writeNote("Soak.md", "start\n");
    open(note);
    QRandomGenerator random(7);
    QByteArray lastTheirs;
    for (int round = 0; round < 500; ++round) {
        if (random.bounded(2) == 0) {
            lastTheirs = "theirs " + QByteArray::number(round) + "\n";
            replaceFromOutside(note->path(), lastTheirs);
            if (random.bounded(2) == 0) lookAtDisk();
        } else {
            typeAtEnd(QStringLiteral("mine %1\n").arg(round));
        }
        advance(random.bounded(7));
    }
    const QString lastMine = editorText();
    controller->closeDocument();
    dispatcher.runPending();
    EXPECT_FALSE(filesHolding(container, lastTheirs).isEmpty());
    EXPECT_FALSE(filesHolding(container, lastMine.toUtf8()).isEmpty());
}

TEST_F(ViewControllerTest, LockingSavesPendingEditsThenLocks) {
    const FileRep note = writeNote("Diary.md", kNote);
    open(note);
    typeAtEnd("last");
    controller->changeEditState(0);
    dispatcher.runPending();
    EXPECT_EQ(fileBytes(note->path()), kNote + "last");
    EXPECT_TRUE(platform::isLocked(note->path()).value.value_or(false));
    EXPECT_FALSE(controller->editState());
    EXPECT_TRUE(editor().textView()->isReadOnly());
    controller->changeEditState(1);
    dispatcher.runPending();
    EXPECT_FALSE(platform::isLocked(note->path()).value.value_or(true));
    EXPECT_TRUE(controller->editState());
}

TEST_F(ViewControllerTest, ANewTitleLineRenamesTheNote) {
    const FileRep note = writeNote("Diary.md", kNote);
    open(note);
    advance(3);
    EXPECT_EQ(controller->displayName(), "Diary");
    typeAt(7, " 2026");
    advance(2.1);
    EXPECT_EQ(controller->displayName(), "Diary 2026");
    EXPECT_EQ(attribute(note->path(), "displayName"), "Diary 2026");
}

TEST_F(ViewControllerTest, AClosedNoteWhoseSaveFailsKeepsItsTextForRecovery) {
    const FileRep note = writeNote("Diary.md", kNote);
    open(note);
    ASSERT_TRUE(platform::setLocked(note->path(), true).ok);
    typeAtEnd("precious");
    controller->closeDocument();
    dispatcher.runPending();
    EXPECT_EQ(filesHolding(recoveryFolder(), "precious").size(), 1);
}

} // namespace
} // namespace quillet::testing
