// The whole window driven as a user drives it: a click in the browser opens a note, typing is
// styled and saved five seconds after the last keystroke with its selection, and a search marks
// the notes that hold the string and lists its occurrences as rows.

#include "ShellTestSupport.h"
#include "browser/view/FolderViewController.h"
#include "browser/view/NoteTreeModel.h"
#include "platform/ExtendedAttributes.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTreeView>
#include <gtest/gtest.h>

namespace quillet::testing {
namespace {

using EndToEndTest = ShellTest;
using platform::seconds;

FileRep noteNamed(NoteTree& tree, const QString& path) {
    return NoteTree::findFileRep(QUrl::fromLocalFile(path), tree.localTop());
}

void clickRow(QTreeView& view, const QModelIndex& index) {
    view.scrollTo(index);
    const QRect rect = view.visualRect(index);
    ASSERT_TRUE(rect.isValid());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rect.center());
}

bool isBoldAt(QPlainTextEdit& view, int position) {
    const QTextBlock block = view.document()->findBlock(position);
    const int offset = position - block.position();
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
        if (offset >= range.start && offset < range.start + range.length)
            return range.format.fontWeight() >= QFont::Bold;
    return false;
}

TEST_F(EndToEndTest, ClickTypeSaveAndSearch) {
    writeNote("alpha.md", "# Alpha\n\nThe first note.\n");
    writeNote("beta.md", "# Beta\n\nA needle in the second note, and a needle again.\n");
    launch();
    window->resize(1000, 700);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    FolderViewController& browser = *controller().folderViewController();
    NoteTree& tree = browser.noteTree();
    const FileRep beta = noteNamed(tree, notePath("beta.md"));
    ASSERT_TRUE(beta);
    QTreeView& view = *browser.outlineView();
    const QModelIndex betaRow = browser.treeModel()->indexOfRecord(beta);
    ASSERT_TRUE(betaRow.isValid());
    EXPECT_EQ(betaRow.data().toString(), QStringLiteral("beta")); // the file name until the note names itself

    // A click opens the note a moment later, read off the main thread.
    clickRow(view, betaRow);
    EXPECT_NE(controller().lastFileRepresentation(), beta);
    dispatcher.advance(seconds(0.1));
    ASSERT_EQ(controller().lastFileRepresentation(), beta);
    QPlainTextEdit& text = *editor().textView();

    // Typing a header line: styled as it is typed, saved five seconds after the last keystroke.
    text.setFocus();
    text.moveCursor(QTextCursor::End);
    QTest::keyClicks(&text, QStringLiteral("## Later"));
    dispatcher.runPending();
    const int headerStart = int(editor().string().indexOf(QStringLiteral("## Later")));
    ASSERT_GE(headerStart, 0);
    EXPECT_TRUE(isBoldAt(text, headerStart + 4));
    EXPECT_FALSE(isBoldAt(text, 12)); // the body line above stays plain
    EXPECT_TRUE(controller().documentDirty());

    const QByteArray before = fileBytes(beta->path());
    dispatcher.advance(seconds(4.9));
    EXPECT_EQ(fileBytes(beta->path()), before);
    dispatcher.advance(seconds(0.2));
    EXPECT_EQ(QString::fromUtf8(fileBytes(beta->path())), editor().string());
    EXPECT_FALSE(controller().documentDirty());
    const QString caret = QString::fromStdString(Range{std::size_t(editor().string().size()), 0}.toString());
    const auto stored = platform::readAttribute(beta->path(), QStringLiteral("text.selectedRange"), 100);
    ASSERT_TRUE(stored.ok());
    EXPECT_EQ(QString::fromUtf8(*stored), caret);

    // A search marks the note that holds the string and lists each occurrence as a row.
    QLineEdit& field = *window->searchField();
    field.setText(QStringLiteral("needle"));
    QTest::keyClick(&field, Qt::Key_Return);
    dispatcher.advance(seconds(0.5));
    const FileRep alpha = noteNamed(tree, notePath("alpha.md"));
    ASSERT_TRUE(alpha);
    EXPECT_TRUE(beta->hasSearchTarget() || beta->searchResults());
    EXPECT_FALSE(alpha->hasSearchTarget());
    view.expand(browser.treeModel()->indexOfRecord(beta));
    dispatcher.advance(seconds(0.5));
    const QModelIndex betaAfter = browser.treeModel()->indexOfRecord(beta);
    ASSERT_EQ(browser.treeModel()->rowCount(betaAfter), 2);
    EXPECT_TRUE(
        browser.treeModel()->index(0, 0, betaAfter).data().toString().contains(QStringLiteral("needle")));
}

} // namespace
} // namespace quillet::testing
