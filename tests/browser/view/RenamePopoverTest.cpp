// The rename popover and what its names lead to: renames, new folders and deletions, reached
// from the context menu and the F2 and Delete keys.

#include "BrowserPaneSupport.h"
#include "browser/view/RenamePopoverController.h"
#include "browser/view/RenameRules.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quillet::testing {
namespace {

class RenamePopoverTest : public RowCommandsTest {
protected:
    RenamePopoverController* popover() const { return browser->renamePopover(); }
    // Types the name into the field and ends editing with Return.
    void enter(const QString& name) {
        QLineEdit* field = popover()->filenameField();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, name);
        QTest::keyClick(field, Qt::Key_Return);
    }
    QString title() const { return popover()->titleLabel()->text(); }
    bool doneEnabled() const { return popover()->doneButton()->isEnabled(); }
    bool isOpen() const { return popover() && popover()->isVisible(); }
};

TEST_F(RenamePopoverTest, EachModeSetsTitleNameAndButton) {
    struct Expected {
        QString mode, title, field, placeholder, button;
        bool deleting; // read only, done enabled at once
    };
    const Expected modes[] = {
        {"createFolder", "Create Folder", "", "filename.md", "Create", false},
        {"renameFolder", "Rename Folder", "Note.md", "", "Rename", false},
        {"changeFilename", "Change Filename of Note", "Note.md", "", "Change", false},
        {"createNote", "Create Note", "", "filename.md", "Create", false},
        {"deleteNote", "Delete Note", "Note.md", "", "Delete", true},
        {"deleteFolder", "Delete Folder", "Note.md", "", "Delete", true},
    };
    for (const Expected& expected : modes) {
        SCOPED_TRACE(expected.mode.toStdString());
        RenamePopoverController* shown = browser->showRenamePopover(expected.mode, record("Note.md"));
        EXPECT_EQ(shown->titleLabel()->text(), expected.title);
        EXPECT_EQ(shown->filenameField()->text(), expected.field);
        EXPECT_EQ(shown->filenameField()->placeholderText(), expected.placeholder);
        EXPECT_EQ(shown->doneButton()->text(), expected.button);
        EXPECT_EQ(shown->filenameField()->isReadOnly(), expected.deleting);
        EXPECT_EQ(shown->doneButton()->isEnabled(), expected.deleting);
        EXPECT_FALSE(shown->doneTakesReturn());
    }
}

TEST_F(RenamePopoverTest, ChangeFilenameChecksTheNameAndGivesNotesTheMdExtension) {
    trigger(rowOf("Note.md"), "Change Filename");
    ASSERT_TRUE(isOpen());
    EXPECT_EQ(popover()->mode(), "changeFilename");
    QDir().mkpath("/tmp/shots");
    EXPECT_TRUE(popover()->grab().save("/tmp/shots/browser-rename-popover.png"));

    // Taken: the note's own name, and another note's once it gets "md".
    enter("Note.md");
    EXPECT_EQ(title(), "The name is already exist.");
    enter("Other.txt");
    EXPECT_EQ(popover()->filenameField()->text(), "Other.md");
    EXPECT_EQ(title(), "The name is already exist.");
    EXPECT_FALSE(doneEnabled());
    // Names that cannot be files.
    enter("a/b");
    EXPECT_EQ(title(), "A name can't contain “/”.");
    enter("..");
    EXPECT_EQ(title(), "“..” can't be a name.");
    EXPECT_FALSE(doneEnabled());

    // A free name: done at once, Return 0.2 seconds later.
    enter("Renamed.txt");
    EXPECT_EQ(popover()->filenameField()->text(), "Renamed.md");
    EXPECT_EQ(title(), "Change Filename of Note");
    EXPECT_TRUE(doneEnabled());
    QTest::keyClick(popover()->filenameField(), Qt::Key_Return);
    EXPECT_TRUE(isOpen());
    dispatcher.advance(platform::seconds(0.2));
    // Typing again takes it all back.
    QTest::keyClicks(popover()->filenameField(), "x");
    EXPECT_FALSE(doneEnabled());
    EXPECT_FALSE(popover()->doneTakesReturn());
    enter("Renamed");
    dispatcher.advance(platform::seconds(0.2));
    QTest::keyClick(popover()->filenameField(), Qt::Key_Return);
    EXPECT_FALSE(isOpen());
    EXPECT_EQ(commands.takeCalls(), Calls{"rename Note to Renamed.md"});
    EXPECT_EQ(commands.renamed->path(), at("Note.md"));
    EXPECT_NE(commands.renamed, record("Note.md"));

    // A style sheet keeps its own extension.
    view()->expand(rowOf("CSS"));
    trigger(rowOf("CSS/style.css"), "Change Filename");
    enter("sheet.txt");
    EXPECT_EQ(popover()->filenameField()->text(), "sheet.css");
    // Escape changes nothing.
    QTest::keyClick(popover()->filenameField(), Qt::Key_Escape);
    EXPECT_FALSE(isOpen());
    EXPECT_TRUE(commands.calls.empty());
}

TEST_F(RenamePopoverTest, FoldersAreNamedBesideThemAndCreatedInside) {
    // Cancel changes nothing.
    trigger(rowOf("Folder"), "Rename Folder");
    enter("Renamed");
    QTest::mouseClick(popover()->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(isOpen());
    EXPECT_TRUE(commands.calls.empty() && QFileInfo(at("Folder")).isDir());

    // Renaming looks beside the folder: "CSS" is taken, "Inner.md" (inside it) is not.
    trigger(rowOf("Folder"), "Rename Folder");
    enter("CSS");
    EXPECT_EQ(title(), "The name is already exist.");
    enter("Inner.md");
    QTest::mouseClick(popover()->doneButton(), Qt::LeftButton);
    EXPECT_EQ(commands.takeCalls(), Calls{"rename Folder to Inner.md"});

    // A new folder is looked for inside, made there, listed first and selected.
    trigger(rowOf("Folder"), "Create Folder");
    enter("Inner.md");
    EXPECT_EQ(title(), "The name is already exist.");
    enter("Sub");
    QTest::mouseClick(popover()->doneButton(), Qt::LeftButton);
    EXPECT_TRUE(QFileInfo(at("Folder/Sub")).isDir());
    const FileRep created = record("Folder/Sub");
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->directory && created->children && !created->iCloud);
    EXPECT_EQ(created->displayName, "Sub");
    EXPECT_EQ(namesUnder(rowOf("Folder")), (QStringList{"Sub", "Inner"}));
    EXPECT_EQ(browser->selectedItem(), created);

    // Never over an existing item.
    browser->createFolder("Inner.md", record("Folder"));
    const Calls calls = commands.takeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].rfind("alert Couldn't create folder. | ", 0), 0u) << calls[0];
    EXPECT_TRUE(QFileInfo(at("Folder/Inner.md")).isFile());
    EXPECT_EQ(namesUnder(rowOf("Folder")), (QStringList{"Sub", "Inner"}));
}

TEST_F(RenamePopoverTest, KeysRenameAndDeleteTheRowTheyActOn) {
    browser->selectRowWithFileRep(record("Note.md"));
    QTest::keyClick(view(), Qt::Key_F2);
    ASSERT_TRUE(isOpen());
    EXPECT_EQ(popover()->mode(), "changeFilename");
    popover()->close();
    QTest::keyClick(view(), Qt::Key_Delete);
    EXPECT_EQ(commands.takeCalls(), Calls{"deleteNote Note"});

    // A locked note is neither renamed nor deleted.
    record("Note.md")->isImmutable = true;
    QTest::keyClick(view(), Qt::Key_Delete);
    QTest::keyClick(view(), Qt::Key_F2);
    EXPECT_TRUE(commands.calls.empty());
    EXPECT_FALSE(isOpen());

    // A folder asks in the popover before it goes.
    view()->setCurrentIndex(rowOf("Folder"));
    QTest::keyClick(view(), Qt::Key_F2);
    EXPECT_EQ(popover()->mode(), "renameFolder");
    popover()->close();
    QTest::keyClick(view(), Qt::Key_Delete);
    ASSERT_TRUE(isOpen());
    EXPECT_EQ(popover()->mode(), "deleteFolder");
    EXPECT_TRUE(commands.calls.empty());
    QTest::mouseClick(popover()->doneButton(), Qt::LeftButton);
    EXPECT_EQ(commands.takeCalls(), Calls{"deleteFolder Folder"});
}

TEST(RenameRules, ALeadingDotStartsTheNameAndOnlyTheLastExtensionGoes) {
    EXPECT_EQ(withExtension(".hidden", "md"), ".hidden.md");
    EXPECT_EQ(withExtension("a.b.txt", "md"), "a.b.md");
}

} // namespace
} // namespace quillet::testing
