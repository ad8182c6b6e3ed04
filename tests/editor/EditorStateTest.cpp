// The editor state the main controller relies on: undo and the dirty flag, the first-line scan
// on the virtual clock, line breaks, locked notes, the selection and its notices, geometry,
// pasting and the caret colour.

#include "EditorTestSupport.h"
#include "editor/InputSourceCaret.h"
#include "platform/Dispatcher.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethod>
#include <QMimeData>
#include <QTest>

namespace quillet::test {
namespace {

using EditorStateTest = EditorFixture;

TEST_F(EditorStateTest, UndoUndoesTypingButNeverStylingAndStylingNeverMarksDirty) {
    editor.setString(QStringLiteral("# Head\n- list\n"));
    QFont other(QStringLiteral("Helvetica"));
    other.setPointSizeF(15);
    editor.setSelectedFont(other);
    editor.setMarkdownOptions(editor.markdownString().markdownOptions());
    EXPECT_FALSE(document().isUndoAvailable());
    EXPECT_FALSE(document().isModified());
    EXPECT_EQ(host.edits, 0);

    moveCursorTo(13);
    QTest::keyClicks(&view(), "abc");
    EXPECT_EQ(editor.string(), QStringLiteral("# Head\n- listabc\n"));
    EXPECT_EQ(host.edits, 3);

    while (document().isUndoAvailable())
        document().undo();
    EXPECT_EQ(editor.string(), QStringLiteral("# Head\n- list\n"));
    // The styling of the restored text is still there.
    EXPECT_EQ(attributesAt(3).font, editor.markdownString().boldFont());
    EXPECT_EQ(attributesAt(7).mdIndentDepth, 1);

    // A new text forgets the history and is no edit.
    document().redo();
    const int edits = host.edits;
    editor.setString(QStringLiteral("new"));
    EXPECT_FALSE(document().isUndoAvailable());
    EXPECT_EQ(host.edits, edits);
}

TEST_F(EditorStateTest, OnlyAnEditOfTheFirstLineRescansItTwoSecondsLater) {
    host.name = QStringLiteral("Title");
    editor.setString(QStringLiteral("# Title\nbody\n"));
    dispatcher.advance(platform::seconds(5));
    EXPECT_EQ(host.name, QStringLiteral("Title"));

    moveCursorTo(12);
    QTest::keyClicks(&view(), "more");
    dispatcher.advance(platform::seconds(5));
    EXPECT_EQ(host.renames, 0);
    EXPECT_EQ(dispatcher.pendingDelayedCalls(), 0u);

    moveCursorTo(7);
    QTest::keyClicks(&view(), "s");
    dispatcher.advance(platform::seconds(1.5));
    QTest::keyClicks(&view(), "!"); // restarts the wait
    dispatcher.advance(platform::seconds(1.5));
    EXPECT_EQ(host.name, QStringLiteral("Title"));
    dispatcher.advance(platform::seconds(0.6));
    EXPECT_EQ(host.name, QStringLiteral("Titles!"));
    EXPECT_EQ(host.renames, 1);

    // An edit that leaves the name as it was renames nothing.
    QTest::keyClicks(&view(), "x");
    QTest::keyClick(&view(), Qt::Key_Backspace);
    dispatcher.advance(platform::seconds(3));
    EXPECT_EQ(host.name, QStringLiteral("Titles!"));
    EXPECT_EQ(host.renames, 1);
}

TEST_F(EditorStateTest, AnUnknownNameIsTakenFromTheFirstLineWithoutSaving) {
    editor.setString(QStringLiteral("## Groceries ##\nmilk\n"));
    EXPECT_TRUE(host.name.isEmpty());
    dispatcher.advance(platform::seconds(2));
    EXPECT_EQ(host.name, QStringLiteral("Groceries"));
    EXPECT_EQ(host.renames, 0);
}

TEST_F(EditorStateTest, LineBreaksBecomeLineFeeds) {
    editor.setString(QStringLiteral("one\r\ntwo\rthree\nfour\u2028five"));
    EXPECT_EQ(editor.string(), QStringLiteral("one\ntwo\nthree\nfour\nfive"));
    EXPECT_EQ(document().blockCount(), 5);
    editor.setString(QString());
    EXPECT_EQ(editor.string(), QString());
}

TEST_F(EditorStateTest, ALockedNoteStaysReadOnlyWhenItsTextIsReplaced) {
    editor.setEditState(false);
    editor.setString(QStringLiteral("locked"));
    EXPECT_TRUE(view().isReadOnly());
    moveCursorTo(0);
    QTest::keyClicks(&view(), "typed");
    EXPECT_EQ(editor.string(), QStringLiteral("locked"));
    EXPECT_EQ(host.edits, 0);

    editor.setEditState(true);
    editor.setString(QStringLiteral("open"));
    EXPECT_FALSE(view().isReadOnly());
}

TEST_F(EditorStateTest, SelectingClampsAndDoesNotNotifyWhileUserMovesDo) {
    editor.setString(QStringLiteral("abc\ndef"));
    host.selections.clear();
    editor.setSelectedRange({100, 5});
    EXPECT_EQ(editor.selectedRange(), (Range{6, 0}));
    editor.setSelectedRange({1, 50});
    EXPECT_EQ(editor.selectedRange(), (Range{1, 6}));
    EXPECT_TRUE(host.selections.empty());

    QTest::keyClick(&view(), Qt::Key_Left);
    ASSERT_FALSE(host.selections.empty());
    EXPECT_EQ(host.selections.back(), (Range{1, 0}));

    editor.setString(QString());
    editor.setSelectedRange({5, 1});
    EXPECT_EQ(editor.selectedRange(), (Range{0, 0}));
}

TEST_F(EditorStateTest, RectanglesOfCharactersFollowTheLines) {
    editor.setString(QString());
    EXPECT_TRUE(editor.rectForRange({0, 0}).isNull());

    editor.setString(QStringLiteral("first\nsecond line\n- item"));
    const QRectF first = editor.rectForRange({0, 5});
    const QRectF second = editor.rectForRange({6, 6});
    EXPECT_GT(first.width(), 0);
    EXPECT_GE(second.top(), first.bottom() - 0.5);
    EXPECT_GT(editor.rectForRange({6, 11}).width(), second.width());
    // The list's content starts at the hanging indent.
    const QRectF item = editor.rectForRange({20, 1});
    EXPECT_NEAR(item.left(), editor.rectForRange({0, 1}).left() + editor.markdownString().fontWidth * 3, 0.5);
    // Past the end: clamped, no failure.
    EXPECT_FALSE(editor.rectForRange({1000, 3}).isNull());
}

TEST_F(EditorStateTest, PastingNothingLeavesTheTextAndPastingTextInsertsIt) {
    editor.setString(QStringLiteral("note"));
    moveCursorTo(4);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    view().paste();
    clipboard->setMimeData(new QMimeData);
    view().paste();
    QTest::keyClick(&view(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor.string(), QStringLiteral("note"));
    EXPECT_FALSE(view().canPaste());

    auto* plain = new QMimeData;
    plain->setData(QStringLiteral("text/plain"), QByteArrayLiteral(" pasted"));
    clipboard->setMimeData(plain);
    EXPECT_TRUE(view().canPaste());
    view().paste();
    EXPECT_EQ(editor.string(), QStringLiteral("note pasted"));
}

TEST_F(EditorStateTest, TheCaretIsBlueOnlyForAJapaneseInputMethod) {
    EXPECT_TRUE(caretUsesSystemBlue(QLocale(QLocale::Japanese, QLocale::Japan)));
    EXPECT_FALSE(caretUsesSystemBlue(QLocale(QLocale::English, QLocale::UnitedStates)));
    EXPECT_FALSE(caretUsesSystemBlue(QLocale(QLocale::Chinese)));

    const bool japanese = caretUsesSystemBlue(QGuiApplication::inputMethod()->locale());
    EXPECT_EQ(editor.usesInputMethodCaretColor(), japanese);
}

TEST_F(EditorStateTest, ADetachedEditorFollowsTheTextWithoutStylingOrSaving) {
    editor.setString(QStringLiteral("plain\n"));
    editor.detachTextStorageDelegate();
    moveCursorTo(0);
    QTest::keyClicks(&view(), "# ");
    EXPECT_EQ(editor.string(), QStringLiteral("# plain\n"));
    EXPECT_EQ(host.edits, 0);
    EXPECT_NE(attributesAt(3).font, editor.markdownString().boldFont());

    editor.attachTextStorageDelegate();
    QTest::keyClicks(&view(), "x");
    EXPECT_EQ(host.edits, 1);
    EXPECT_EQ(attributesAt(4).font, editor.markdownString().boldFont());
}

} // namespace
} // namespace quillet::test
