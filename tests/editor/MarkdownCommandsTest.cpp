// The editor's Markdown commands, line shifting and list continuation: each transformation, and
// each as one undo step that restores the text.

#include "EditorTestSupport.h"
#include "platform/TypeIdentifiers.h"

#include <QKeyEvent>
#include <QTest>

namespace quillet::test {
namespace {

class MarkdownCommandsTest : public EditorFixture {
protected:
    void select(int from, int to) {
        QTextCursor cursor = view().textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        view().setTextCursor(cursor);
    }
    // The edit changed `before` into `after` as one undo step (no step at all when unchanged).
    void expectOneUndoStep(const QString& before, const QString& after) {
        EXPECT_EQ(editor.string(), after) << before.toStdString();
        if (before == after) {
            EXPECT_FALSE(document().isUndoAvailable()) << before.toStdString();
            return;
        }
        document().undo();
        EXPECT_EQ(editor.string(), before);
        EXPECT_FALSE(document().isUndoAvailable()) << before.toStdString();
    }
    void sendShortcut(int key, quint32 scanCode) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, scanCode, 0, 0);
        QCoreApplication::sendEvent(&view(), &press);
    }
};

struct CommandCase {
    const char* command;
    const char* before;
    int from, to; // the selection
    const char* after;
    Range selectionAfter;
};

TEST_F(MarkdownCommandsTest, EachCommandChangesTheCaretLineOrTheSelection) {
    const CommandCase cases[] = {
        {"header", "## Title", 3, 3, "### Title #", {11, 0}},
        {"header", "Title ##", 0, 0, "# Title ###", {11, 0}},
        {"header", "a\nTitle\nb", 4, 4, "a\n# Title #\nb", {11, 0}},
        {"header", "a\n\nb", 2, 2, "a\n\nb", {2, 0}}, // a line of its line break only
        {"list", "* a", 1, 1, "** a", {1, 0}},
        {"list", "2. a", 0, 0, "1.2. a", {2, 0}},
        {"list", "x\ntext", 3, 3, "x\n- text", {4, 0}},
        {"list", "a\n", 2, 2, "a\n", {2, 0}}, // the empty last line
        {"quote", "> a", 0, 0, ">> a", {1, 0}},
        {"quote", ">no blank", 0, 0, "> >no blank", {2, 0}},
        {"link", "see ", 4, 4, "see [link](http://)", {18, 0}},
        {"link", "go example.com", 3, 14, "go [link](http://example.com)", {17, 11}},
        {"bold", "say hello there", 6, 6, "say **hello** there", {6, 0}},
        {"bold", "", 0, 0, "****", {2, 0}},
        {"italic", "say hello there", 4, 15, "say _hello there_", {5, 0}},
        {"strike", "word", 0, 0, "word", {0, 0}},
    };
    for (const CommandCase& c : cases) {
        editor.setString(QString::fromUtf8(c.before));
        select(c.from, c.to);
        editor.markdownButton(QString::fromUtf8(c.command));
        EXPECT_EQ(editor.selectedRange(), c.selectionAfter) << c.before;
        expectOneUndoStep(QString::fromUtf8(c.before), QString::fromUtf8(c.after));
    }

    // The command is an edit like typing: reported and restyled; a locked text stays as it is.
    editor.setString(QStringLiteral("Title"));
    const int edits = host.edits;
    editor.markdownButton(QStringLiteral("header"));
    EXPECT_EQ(host.edits, edits + 1);
    EXPECT_EQ(attributesAt(3).font, editor.markdownString().boldFont());
    editor.setEditState(false);
    editor.markdownButton(QStringLiteral("bold"));
    EXPECT_EQ(editor.string(), QStringLiteral("# Title #"));
}

TEST_F(MarkdownCommandsTest, CtrlBracketsShiftTheSelectedLinesByKeyPosition) {
    const QString text = QStringLiteral("abc\nx\n  two\n      six\nlast");
    editor.setString(text);
    select(2, 24);                                                       // from "abc" into "last"
    QTest::keyClick(&view(), Qt::Key_BracketRight, Qt::ControlModifier); // no scan code: the key
    expectOneUndoStep(text, QStringLiteral("    abc\nx\n      two\n          six\n    last"));

    // The key at the "[" position shifts out whatever it types; "]" typed elsewhere does not.
    select(7, 20);
    sendShortcut(Qt::Key_Udiaeresis, 34);
    sendShortcut(Qt::Key_BracketRight, 51);
    expectOneUndoStep(text, QStringLiteral("abc\nx\ntwo\n  six\nlast"));

    moveCursorTo(26);
    sendShortcut(Qt::Key_Plus, 35);
    expectOneUndoStep(text, QStringLiteral("abc\nx\n  two\n      six\n    last"));

    // A selection ending at a line's start leaves that line alone.
    select(0, 4);
    sendShortcut(Qt::Key_BracketRight, 35);
    expectOneUndoStep(text, QStringLiteral("    abc\nx\n  two\n      six\nlast"));

    editor.setEditState(false);
    sendShortcut(Qt::Key_BracketRight, 35);
    expectOneUndoStep(text, text);
}

struct ReturnCase {
    const char* before;
    int caret;
    const char* after;
};

TEST_F(MarkdownCommandsTest, ReturnContinuesAListOrQuoteAndEndsItOnAnEmptyItem) {
    const ReturnCase cases[] = {
        {"- a", 3, "- a\n- "},
        {"x\n\t1. a", 7, "x\n\t1. a\n\t2. "},
        {"1.9. a", 6, "1.9. a\n1.10. "},
        {"> - quoted", 10, "> - quoted\n> - "},
        {"- a\n- ", 6, "- a\n"},                 // an empty item ends the list
        {"- ab", 3, "- a\nb"},                   // not at the end: a plain line break
        {"* * *", 5, "* * *\n"},                 // a rule
        {"```\n- a\n```", 7, "```\n- a\n\n```"}, // code
    };
    for (const ReturnCase& c : cases) {
        editor.setString(QString::fromUtf8(c.before));
        moveCursorTo(c.caret);
        QTest::keyClick(&view(), Qt::Key_Return);
        expectOneUndoStep(QString::fromUtf8(c.before), QString::fromUtf8(c.after));
    }

    editor.setString(QStringLiteral("- a"));
    editor.setFileUTI(QString::fromLatin1(platform::kCssTypeIdentifier));
    moveCursorTo(3);
    QTest::keyClick(&view(), Qt::Key_Return);
    EXPECT_EQ(editor.string(), QStringLiteral("- a\n"));
}

} // namespace
} // namespace quillet::test
