// The note operations on the open note and on any row: afterwards the disk and the tree agree,
// and every failure shows its alert.

#include "NoteOperationsTestSupport.h"
#include "documents/NewNoteNames.h"
#include "platform/FreeNames.h"
#include "platform/ItemLock.h"

namespace quillet::testing {
namespace {

TEST(NewNoteNamesTest, NamesAndFirstLines) {
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(newNoteName(when, QLocale(QLocale::English)), "Note 2024.Mar.05_14.07.09");
    EXPECT_EQ(newNoteName(when, QLocale(QLocale::German)), "Note 2024.März.05_14.07.09");
    EXPECT_EQ(newNoteText("N"), "# N #\n");
    EXPECT_EQ(textWithTitle("# Old\nbody\n", "Copy Old"), "# Copy Old #\nbody\n");
    EXPECT_EQ(textWithTitle("one line", "X"), "# X #\n");
    EXPECT_EQ(textWithTitle("", "X"), "");
}

TEST_F(NoteOperationsTest, NewNotesGoBesideTheOpenNoteUnderFreeNamesAndOpen) {
    library({{"Trips/", ""}, {"Trips/Rome.md", "# Rome\n"}});
    open(rowAt("Trips/Rome.md"));

    controller->newNote();
    controller->newNote(); // while the first is written: nothing
    dispatcher.runPending();
    const FileRep trips = rowAt("Trips");
    ASSERT_EQ(trips->children->size(), 2u);
    const FileRep made = trips->children->front();
    const QString name = *made->displayName;
    EXPECT_TRUE(name.startsWith("Note ")) << name.toStdString();
    EXPECT_EQ(made->path(), notePath("Trips/" + name + ".md"));
    EXPECT_EQ(fileBytes(made->path()), newNoteText(name).toUtf8());
    EXPECT_EQ(openPath(), made->path());
    EXPECT_EQ(selectedPath(), made->path());
    EXPECT_EQ(defaults->string("RQ1DlastOpenedFilepath"), made->path());
    // The name in the title is selected, so that typing names the note.
    EXPECT_EQ(editor().selectedRange(), (Range{2, std::size_t(name.size())}));
    EXPECT_EQ(treeDisagreement(top()), "");
}

TEST_F(NoteOperationsTest, DuplicateCopiesTheEditedTextUnderANewTitle) {
    library({{"Rome.md", "# Rome\nSee the forum.\n"}});
    open(rowAt("Rome.md"));
    typeAtEnd("Eat.");
    controller->duplicateNote();
    dispatcher.runPending();
    EXPECT_EQ(fileBytes(notePath("Rome.md")), "# Rome\nSee the forum.\nEat.");
    const FileRep copy = openNote();
    ASSERT_TRUE(copy && copy->path() != notePath("Rome.md"));
    EXPECT_EQ(*copy->displayName, "Copy Rome");
    EXPECT_EQ(fileBytes(copy->path()), "# Copy Rome #\nSee the forum.\nEat.");
    EXPECT_EQ(top()->children->front(), copy);
    EXPECT_EQ(treeDisagreement(top()), "");
}

TEST_F(NoteOperationsTest, ANewNoteThatCannotBeWrittenGetsNoRow) {
    library({{"Locked/", ""}});
    ASSERT_TRUE(platform::setLocked(notePath("Locked"), true).ok);
    controller->newNoteInFileRep(rowAt("Locked"));
    dispatcher.runPending();
    ASSERT_EQ(alertMessages(), std::vector<QString>{"Couldn't save the Note."});
    EXPECT_FALSE(alerts.alerts[0].informativeText.isEmpty());
    EXPECT_FALSE(rowAt("Locked")->hasChildren());
    EXPECT_FALSE(openNote());
}

TEST_F(NoteOperationsTest, DeletingARowAsksAboutThatRowAndMovesItToTheTrash) {
    library({{"a.md", "# A\n"}, {"b.md", "# B\n"}});
    open(rowAt("a.md"));

    alerts.answer = 1; // Cancel
    controller->deleteNote(rowAt("b.md"));
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].message, "Delete Note: b");
    EXPECT_EQ(alerts.alerts[0].informativeText, "Filename is 'b.md'.");
    EXPECT_TRUE(QFile::exists(notePath("b.md")));

    alerts.answer = 0; // OK: the row's note goes, the open one stays open
    controller->deleteNote(rowAt("b.md"));
    EXPECT_FALSE(QFile::exists(notePath("b.md")));
    EXPECT_EQ(fileBytes(home.path() + "/data/Trash/files/b.md"), "# B\n");
    EXPECT_EQ(openPath(), notePath("a.md"));
    EXPECT_EQ(treeDisagreement(top()), "");

    // The open note (its edits saved first) goes to the trash; nothing is left open to show.
    typeAtEnd("edit");
    controller->deleteNote();
    dispatcher.runPending();
    EXPECT_EQ(fileBytes(home.path() + "/data/Trash/files/a.md"), "# A\nedit");
    EXPECT_FALSE(openNote());
    EXPECT_FALSE(top()->hasChildren());
}

TEST_F(NoteOperationsTest, DeletingTheOpenNoteOpensItsSiblingAndLockedItemsStay) {
    library({{"Trips/Old/", ""}, {"Trips/a.md", "# A\n"}, {"Trips/b.md", "# B\n"}, {"Trips/Old/c.md", "# C\n"}});
    ASSERT_TRUE(platform::setLocked(notePath("Trips/Old/c.md"), true).ok);
    open(rowAt("Trips/b.md"));
    const FileRep sibling = tree().findSiblingFileRep(openNote()->fileURL());
    ASSERT_TRUE(sibling);

    controller->deleteNoteInFileRep(openNote());
    dispatcher.runPending();
    EXPECT_EQ(openPath(), sibling->path());
    EXPECT_EQ(selectedPath(), sibling->path());

    controller->deleteNoteInFileRep(rowAt("Trips/Old/c.md"));
    controller->deleteFolder(rowAt("Trips"));
    ASSERT_EQ(alertMessages(), (std::vector<QString>{"Couldn't delete the Note.", "Couldn't delete the folder."}));
    EXPECT_TRUE(alerts.alerts[0].informativeText.contains("Operation not permitted"));
    EXPECT_TRUE(QFile::exists(notePath("Trips/Old/c.md")));
    dispatcher.runPending();
    EXPECT_EQ(openPath(), sibling->path()); // closed for the deletion, open again after it failed
    EXPECT_EQ(treeDisagreement(top()), "");

    // A folder holding the open note, however deep, closes it first and goes whole.
    ASSERT_TRUE(platform::setLocked(notePath("Trips/Old/c.md"), false).ok);
    open(rowAt("Trips/Old/c.md"));
    controller->deleteFolder(rowAt("Trips"));
    dispatcher.runPending();
    EXPECT_FALSE(QFile::exists(notePath("Trips")));
    EXPECT_EQ(fileBytes(home.path() + "/data/Trash/files/Trips/Old/c.md"), "# C\n");
    EXPECT_NE(openPath(), notePath("Trips/Old/c.md"));
    EXPECT_EQ(treeDisagreement(top()), "");
}

TEST_F(NoteOperationsTest, WithoutATrashTheUserDecidesOnAPermanentDeletion) {
    writeBytes(home.path() + "/data/Trash", "not a folder"); // no trash can be made
    library({{"a.md", "# A\n"}});
    alerts.answer = 1;
    controller->deleteNoteInFileRep(rowAt("a.md"));
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].message, "\u201c" "a\u201d can't be moved to the Trash.");
    EXPECT_TRUE(QFile::exists(notePath("a.md")));
    alerts.answer = 0;
    controller->deleteNoteInFileRep(rowAt("a.md"));
    EXPECT_FALSE(QFile::exists(notePath("a.md")));
    EXPECT_EQ(treeDisagreement(top()), "");
}

TEST_F(NoteOperationsTest, MovesAndCopiesKeepTheOpenNoteAndReplaceNothing) {
    library({{"Trips/", ""}, {"Trips/Rome.md", "# Other Rome\n"}, {"Rome.md", "# Rome\n"}, {"Paris.md", "# Paris\n"}});
    open(rowAt("Rome.md"));
    typeAtEnd("edit");

    controller->moveFileRep(openNote(), rowAt("Trips"), 99, true);
    dispatcher.runPending();
    EXPECT_FALSE(QFile::exists(notePath("Rome.md")));
    EXPECT_EQ(fileBytes(notePath("Trips/Rome.md")), "# Other Rome\n");
    EXPECT_EQ(fileBytes(notePath("Trips/Rome 2.md")), "# Rome\nedit");
    EXPECT_EQ(rowAt("Trips")->children->back()->path(), notePath("Trips/Rome 2.md"));
    EXPECT_EQ(openPath(), notePath("Trips/Rome 2.md"));

    controller->moveFileRep(rowAt("Paris.md"), rowAt("Trips"), 0, false); // a copy
    EXPECT_EQ(fileBytes(notePath("Paris.md")), "# Paris\n");
    EXPECT_EQ(rowAt("Trips")->children->front()->path(), notePath("Trips/Paris.md"));
    EXPECT_EQ(treeDisagreement(top()), "");

    // The open note inside a moved folder follows it.
    library({{"Archive/", ""}});
    open(rowAt("Trips/Rome 2.md"));
    controller->moveFileRep(rowAt("Trips"), rowAt("Archive"), 0, true);
    dispatcher.runPending();
    EXPECT_EQ(openPath(), notePath("Archive/Trips/Rome 2.md"));
    EXPECT_EQ(treeDisagreement(top()), "");

    // Into itself, or a locked note: refused, nothing changes.
    controller->moveFileRep(rowAt("Archive"), rowAt("Archive/Trips"), 0, true);
    ASSERT_TRUE(platform::setLocked(notePath("Paris.md"), true).ok);
    controller->moveFileRep(rowAt("Paris.md"), rowAt("Archive"), 0, true);
    ASSERT_EQ(alertMessages(), (std::vector<QString>{"Couldn't move the File.", "Couldn't move the File."}));
    EXPECT_TRUE(alerts.alerts[1].informativeText.contains("Operation not permitted"));
    EXPECT_TRUE(QFile::exists(notePath("Paris.md")));
    EXPECT_EQ(treeDisagreement(top()), "");
}

TEST_F(NoteOperationsTest, FilesCopiedInAreAppendedBeyondTheEndAndOpenedWhenAsked) {
    writeBytes(home.path() + "/outside.md", "# Outside\n");
    library({{"Trips/", ""}, {"Trips/a.md", "# A\n"}});
    EXPECT_TRUE(controller->copyFile(home.path() + "/outside.md", rowAt("Trips"), 7, true));
    dispatcher.runPending();
    EXPECT_EQ(rowAt("Trips")->children->back()->path(), notePath("Trips/outside.md"));
    EXPECT_EQ(openPath(), notePath("Trips/outside.md"));
    EXPECT_TRUE(controller->copyFile(home.path() + "/outside.md", rowAt("Trips"), 0, false));
    EXPECT_EQ(rowAt("Trips")->children->front()->path(), notePath("Trips/outside 2.md"));

    EXPECT_FALSE(controller->copyFile(home.path() + "/missing.md", rowAt("Trips"), 0, false));
    ASSERT_EQ(alertMessages(), std::vector<QString>{"Couldn't copy the file."});
    EXPECT_EQ(treeDisagreement(top()), "");
}

TEST_F(NoteOperationsTest, RenamingKeepsTheOpenNoteAndRefusesATakenName) {
    library({{"Trips/", ""}, {"Trips/a.md", "# A\n"}, {"Trips/b.md", "# B\n"}});
    open(rowAt("Trips/a.md"));
    const auto rename = [this](const QString& relative, const QString& name) {
        const FileRep renamed = FileRepresentation::forPath(notePath(relative));
        renamed->filename = name;
        controller->filenameDidChange(renamed);
        dispatcher.runPending();
    };
    rename("Trips/a.md", "b.md");
    ASSERT_EQ(alertMessages(), std::vector<QString>{"Couldn't change the filename."});
    EXPECT_TRUE(alerts.alerts[0].informativeText.contains("File exists"));
    EXPECT_EQ(fileBytes(notePath("Trips/b.md")), "# B\n");

    rename("Trips/a.md", "Alpha.md");
    EXPECT_EQ(fileBytes(notePath("Trips/Alpha.md")), "# A\n");
    EXPECT_EQ(*rowAt("Trips/Alpha.md")->filename, "Alpha");
    rename("Trips", "Travel");
    EXPECT_EQ(openPath(), notePath("Travel/Alpha.md"));
    EXPECT_EQ(selectedPath(), notePath("Travel/Alpha.md"));
    EXPECT_EQ(treeDisagreement(top()), "");
}

TEST_F(NoteOperationsTest, LockingANoteThatIsNotOpenLeavesTheEditorAlone) {
    library({{"a.md", "# A\n"}, {"b.md", "# B\n"}});
    open(rowAt("a.md"));
    noteShell.editButtonStates.clear();
    controller->changeEditState(0, rowAt("b.md"));
    EXPECT_TRUE(*platform::isLocked(notePath("b.md")));
    EXPECT_TRUE(rowAt("b.md")->isImmutable);
    EXPECT_TRUE(controller->editState());
    EXPECT_TRUE(noteShell.editButtonStates.empty());
    controller->deleteNoteInFileRep(rowAt("b.md"));
    EXPECT_EQ(alertMessages(), std::vector<QString>{"Couldn't delete the Note."});
    EXPECT_TRUE(QFile::exists(notePath("b.md")));
    controller->changeEditState(1, rowAt("b.md"));
    EXPECT_FALSE(*platform::isLocked(notePath("b.md")));

    controller->changeEditState(0, openNote()); // the open note: through the editor
    dispatcher.runPending();
    EXPECT_FALSE(controller->editState());
    EXPECT_TRUE(*platform::isLocked(notePath("a.md")));
}

TEST_F(NoteOperationsTest, NoteInfoCountsTheNotesOwnTextAndCopyToWritesIt) {
    library({{"a.md", "# A\nOne two three.\n"}, {"b.md", "# B\nfünf sechs 😀\n"}});
    open(rowAt("a.md"));
    controller->showNoteInfoForFileRep(rowAt("b.md"));
    controller->showNoteInfo(); // the sheet is up: nothing
    dispatcher.runPending();
    ASSERT_EQ(noteShell.infos.size(), 1u);
    const QVariantMap info = noteShell.infos[0];
    EXPECT_EQ(info["Filename"].toString(), "b.md");
    EXPECT_EQ(info["Words"].toString(), "3");
    EXPECT_EQ(info["Characters"].toString(), "17"); // the emoji counts once
    EXPECT_EQ(info["Size"].toString(), QLocale().toString(fileBytes(notePath("b.md")).size()));
    EXPECT_EQ(info["Locked"].toString(), "No");
    EXPECT_EQ(info["Kind"].toString(), "Plain Text");

    noteShell.endInfo();
    typeAtEnd("Four.");
    controller->showNoteInfo();
    dispatcher.runPending();
    ASSERT_EQ(noteShell.infos.size(), 2u);
    EXPECT_EQ(noteShell.infos[1]["Words"].toString(), "5"); // the editor's text, edits included

    noteShell.endInfo();
    noteShell.copyDestination = home.path() + "/copy.md";
    controller->copyOpenNote();
    dispatcher.runPending();
    EXPECT_EQ(noteShell.copyProposals, std::vector<QString>{container + "/a.md"});
    EXPECT_EQ(fileBytes(home.path() + "/copy.md"), "# A\nOne two three.\nFour.");
    noteShell.copyDestination = home.path() + "/missing/copy.md";
    controller->copyOpenNote();
    dispatcher.runPending();
    EXPECT_EQ(alertMessages(), std::vector<QString>{"Couldn't copy the Note."});
}

} // namespace
} // namespace quillet::testing
