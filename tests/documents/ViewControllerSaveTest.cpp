// Autosave, closing, failed saves, the title line and the lock from the edit button.

#include "ViewControllerTestSupport.h"
#include "platform/ItemLock.h"
#include "platform/TypeIdentifiers.h"

#include <QFile>
#include <sys/stat.h>

namespace quillet::testing {
namespace {

const QByteArray kNoteText = "# Diary\n\nMonday.\n";

// Makes a folder refuse new files while it lives: the immutable attribute where the file system
// and the capabilities allow it, else the folder's write bits.
class LockedFolder {
public:
    explicit LockedFolder(QString path) : path_(std::move(path)) {
        immutable_ = platform::setImmutableAttribute(path_, true).ok;
        if (!immutable_) platform::setLocked(path_, true);
    }
    ~LockedFolder() { release(); }
    void release() {
        if (released_) return;
        released_ = true;
        if (immutable_) platform::setImmutableAttribute(path_, false);
        platform::setLocked(path_, false);
    }

private:
    QString path_;
    bool immutable_ = false;
    bool released_ = false;
};

ino_t inodeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

TEST_F(ViewControllerTest, TypingSavesFiveSecondsAfterTheLastEdit) {
    const FileRep note = writeNote("Diary.md", kNoteText);
    open(note);
    typeAtEnd("Tuesday.\n");
    editor().setSelectedRange({9, 7});
    EXPECT_TRUE(editor().documentDirty());

    advance(4.9);
    EXPECT_EQ(fileBytes(note->path()), kNoteText);
    advance(0.2);
    EXPECT_EQ(fileBytes(note->path()), kNoteText + "Tuesday.\n");
    EXPECT_EQ(attribute(note->path(), "text.selectedRange"), "{9, 7}");
    EXPECT_FALSE(editor().documentDirty());
    EXPECT_FALSE(note->textSelectedRangeChanged);
    EXPECT_TRUE(note->lastModified.has_value());
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(ViewControllerTest, ABurstOfEditsGivesOneSave) {
    const FileRep note = writeNote("Diary.md", kNoteText);
    open(note);
    const ino_t original = inodeOf(note->path());
    for (int edit = 0; edit < 12; ++edit) {
        typeAtEnd("x");
        advance(1.0);
        ASSERT_EQ(inodeOf(note->path()), original) << "saved during the burst, after edit " << edit;
    }
    advance(3.9); // 4.9 seconds after the last edit
    EXPECT_EQ(inodeOf(note->path()), original);
    advance(0.2);
    const ino_t saved = inodeOf(note->path());
    EXPECT_NE(saved, original); // an atomic save puts a new file in place
    EXPECT_EQ(fileBytes(note->path()), kNoteText + QByteArray(12, 'x'));
    advance(30.0);
    EXPECT_EQ(inodeOf(note->path()), saved); // and nothing more is written
}

TEST_F(ViewControllerTest, ACleanAutosaveWritesOnlyTheMetadata) {
    const FileRep note = writeNote("Diary.md", kNoteText);
    open(note);
    const ino_t original = inodeOf(note->path());
    editor().setSelectedRange({2, 5});
    controller->autosaveFile();
    EXPECT_EQ(attribute(note->path(), "text.selectedRange"), "{2, 5}");
    EXPECT_EQ(inodeOf(note->path()), original);
    EXPECT_EQ(fileBytes(note->path()), kNoteText);
}

TEST_F(ViewControllerTest, ClosingADirtyNoteSavesItFirst) {
    const FileRep note = writeNote("Diary.md", kNoteText);
    open(note);
    typeAtEnd("Closing words.");
    controller->closeDocument();
    EXPECT_EQ(fileBytes(note->path()), kNoteText + "Closing words.");
    EXPECT_EQ(editor().string(), "");
    EXPECT_EQ(controller->lastFileRepresentation(), nullptr);
    EXPECT_FALSE(controller->openedFileURL().has_value());

    // The autosave that was pending does not come back for a note that is no longer open.
    advance(10.0);
    EXPECT_EQ(fileBytes(note->path()), kNoteText + "Closing words.");
    EXPECT_TRUE(alerts.alerts.empty());
    controller->closeDocument(); // nothing open: nothing happens
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(ViewControllerTest, OpeningAnotherNoteWithoutClosingSavesTheEditsFirst) {
    const FileRep note = writeNote("Diary.md", kNoteText);
    open(note);
    typeAtEnd("Not closed.");
    const FileRep other = writeNote("Other.md", "other\n");
    open(other);
    EXPECT_EQ(fileBytes(note->path()), kNoteText + "Not closed.");
    EXPECT_EQ(editor().string(), "other\n");

    typeAtEnd("Folder next.");
    QDir().mkpath(notePath("Recipes"));
    const FileRep folder = FileRepresentation::forPath(notePath("Recipes"));
    folder->UTI = QString::fromLatin1(platform::kFolderTypeIdentifier);
    open(folder);
    EXPECT_EQ(fileBytes(other->path()), "other\nFolder next.");
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(ViewControllerTest, AFailedSaveKeepsTheTextForTheNextTry) {
    const FileRep note = writeNote("Diary.md", kNoteText);
    open(note);
    LockedFolder locked(container);
    typeAtEnd("Unsaved thought.");

    advance(5.0);
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].message, "Couldn't save the Note.");
    EXPECT_FALSE(alerts.alerts[0].informativeText.isEmpty());
    EXPECT_EQ(fileBytes(note->path()), kNoteText); // the old text is whole
    EXPECT_TRUE(editor().documentDirty());
    EXPECT_EQ(editor().string(), QString::fromUtf8(kNoteText + "Unsaved thought."));

    // Once the folder takes files again, the next autosave (here: the window losing focus)
    // writes what was kept, with no new edit needed.
    locked.release();
    controller->autosaveFile();
    EXPECT_EQ(fileBytes(note->path()), kNoteText + "Unsaved thought.");
    EXPECT_FALSE(editor().documentDirty());
    EXPECT_EQ(alerts.alerts.size(), 1u);
}

TEST_F(ViewControllerTest, ClosingANoteWhoseSaveFailsKeepsItsTextForTheReopening) {
    const FileRep note = writeNote("Diary.md", kNoteText);
    open(note);
    LockedFolder locked(container);
    typeAtEnd("Kept across the close.");
    controller->closeDocument();
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].message, "Couldn't save the Note.");
    EXPECT_EQ(editor().string(), "");

    // Another note in between does not pick the text up.
    const FileRep other = FileRepresentation::forPath(notePath("Other.md"));
    locked.release();
    writeBytes(other->path(), "other\n");
    open(other);
    EXPECT_EQ(editor().string(), "other\n");
    controller->closeDocument();

    open(note);
    EXPECT_EQ(editor().string(), QString::fromUtf8(kNoteText + "Kept across the close."));
    EXPECT_TRUE(editor().documentDirty());
    advance(5.0);
    EXPECT_EQ(fileBytes(note->path()), kNoteText + "Kept across the close.");
    EXPECT_FALSE(editor().documentDirty());

    // Saved now: a later opening shows the file as it is.
    controller->closeDocument();
    writeBytes(note->path(), "changed elsewhere\n");
    open(note);
    EXPECT_EQ(editor().string(), "changed elsewhere\n");
}

TEST_F(ViewControllerTest, ReReadingReplacesTheTextAndFollowsTheLock) {
    const FileRep note = writeNote("Diary.md", kNoteText);
    open(note);
    editor().setSelectedRange({2, 3});
    writeBytes(note->path(), "# Diary\n\nRewritten elsewhere.\n");
    controller->updateDocument(note);
    EXPECT_EQ(editor().string(), QString::fromUtf8(kNoteText)); // read in the background
    dispatcher.runPending();
    EXPECT_EQ(editor().string(), "# Diary\n\nRewritten elsewhere.\n");
    EXPECT_FALSE(editor().textView()->isReadOnly());

    ASSERT_TRUE(platform::setLocked(note->path(), true).ok);
    controller->revertDocumentWithContentsOfURL(note->fileURL());
    dispatcher.runPending();
    EXPECT_TRUE(editor().textView()->isReadOnly());
    EXPECT_TRUE(controller->editState()); // the controller's own state is left to the edit button
    platform::setLocked(note->path(), false);

    QFile::remove(note->path());
    controller->updateDocument(note);
    dispatcher.runPending();
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].message, "Couldn't read the Note.");
    EXPECT_EQ(alerts.alerts[0].informativeText, "Note isn't exist.");
    EXPECT_EQ(editor().string(), "# Diary\n\nRewritten elsewhere.\n");
}

TEST_F(ViewControllerTest, ANewTitleLineRenamesTheNoteAfterTheScan) {
    const FileRep note = writeNote("Diary.md", kNoteText);
    ASSERT_TRUE(platform::writeAttribute(note->path(), "displayName", "Diary").ok);
    open(note);
    ASSERT_EQ(editor().displayName(), "Diary");

    typeAt(7, " 2024"); // "# Diary 2024"
    advance(1.9);
    EXPECT_EQ(fileBytes(note->path()), kNoteText);
    advance(0.2); // the first-line scan asks for a save at once
    EXPECT_EQ(note->displayName, "Diary 2024");
    EXPECT_EQ(attribute(note->path(), "displayName"), "Diary 2024");
    EXPECT_EQ(fileBytes(note->path()), "# Diary 2024\n\nMonday.\n");
    EXPECT_FALSE(note->displayNameChanged);
}

TEST_F(ViewControllerTest, LockingSavesPendingEditsThenLocks) {
    const FileRep note = writeNote("Diary.md", kNoteText);
    open(note);
    typeAtEnd("Before the lock.");

    controller->changeEditState(0);
    EXPECT_EQ(fileBytes(note->path()), kNoteText + "Before the lock.");
    EXPECT_TRUE(platform::isLocked(note->path()).value.value_or(false));
    EXPECT_TRUE(note->isImmutable);
    EXPECT_FALSE(controller->editState());
    EXPECT_TRUE(editor().textView()->isReadOnly());
    EXPECT_FALSE(editor().documentDirty());
    EXPECT_EQ(shell.editButtonStates.back(), false);
    advance(10.0);
    EXPECT_TRUE(alerts.alerts.empty()); // the cancelled autosave does not try a locked file

    controller->changeEditState(1);
    EXPECT_FALSE(platform::isLocked(note->path()).value.value_or(true));
    EXPECT_FALSE(note->isImmutable);
    EXPECT_TRUE(controller->editState());
    EXPECT_FALSE(editor().textView()->isReadOnly());
    EXPECT_EQ(shell.editButtonStates.back(), true);
}

TEST_F(ViewControllerTest, ALockWhoseSaveFailsLeavesTheNoteEditable) {
    const FileRep note = writeNote("Diary.md", kNoteText);
    open(note);
    LockedFolder locked(container);
    typeAtEnd("Pending.");
    controller->changeEditState(0);
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].message, "Couldn't save the Note.");
    EXPECT_TRUE(editor().documentDirty());
    EXPECT_TRUE(controller->editState());
    EXPECT_FALSE(note->isImmutable);
    EXPECT_EQ(shell.editButtonStates.back(), true);
}

TEST_F(ViewControllerTest, SavesWriteAsSaveContentsAndDeleteAsked) {
    const FileRep note = writeNote("Diary.md", kNoteText);
    open(note);

    // Another text through the same save, with the completion told.
    std::optional<bool> saved;
    controller->saveFile(note, QString("Replaced\n"), false,
                         [&](bool ok, const platform::Status&) { saved = ok; });
    EXPECT_EQ(saved, true);
    EXPECT_EQ(fileBytes(note->path()), "Replaced\n");

    // Nothing open: the completion is not called.
    controller->closeDocument();
    saved.reset();
    controller->saveFile(note, QString("Again\n"), false,
                         [&](bool ok, const platform::Status&) { saved = ok; });
    EXPECT_FALSE(saved.has_value());
    EXPECT_EQ(fileBytes(note->path()), "Replaced\n");

    controller->saveContents("old title\nbody\n", QUrl::fromLocalFile(notePath("Copy.md")), "New");
    EXPECT_EQ(fileBytes(notePath("Copy.md")), "# New #\nbody\n");

    std::optional<platform::Status> deleted;
    controller->coordinateDeleteURL(std::nullopt,
                                    [&](bool, const platform::Status& error) { deleted = error; });
    ASSERT_TRUE(deleted.has_value());
    EXPECT_FALSE(deleted->ok);
    EXPECT_EQ(deleted->errorCode, ENOENT);

    deleted.reset();
    controller->coordinateDeleteURL(QUrl::fromLocalFile(notePath("Copy.md")),
                                    [&](bool, const platform::Status& error) { deleted = error; });
    dispatcher.runPending();
    ASSERT_TRUE(deleted.has_value());
    EXPECT_TRUE(deleted->ok);
    EXPECT_FALSE(QFile::exists(notePath("Copy.md")));
}

} // namespace
} // namespace quillet::testing
