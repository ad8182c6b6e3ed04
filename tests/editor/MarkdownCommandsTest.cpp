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

struct LineCase {
    const char* command;
    const char* before;
    int caret;
    const char* after;
};

TEST_F(MarkdownCommandsTest, HeaderListAndQuoteChangeTheCaretLine) {
    const LineCase cases[] = {
        {"header", "## Title", 3, "### Title #"},
        {"header", "Title ##", 0, "# Title ###"},
        {"header", "a\nTitle\nb", 4, "a\n# Title #\nb"},
        {"header", "a\n\nb", 2, "a\n\nb"}, // a line of its line break only
        {"header", "", 0, ""},
        {"list", "* a", 1, "** a"},
        {"list", "- a\n", 0, "-- a\n"},
        {"list", "2. a", 0, "1.2. a"},
        {"list", "x\ntext", 3, "x\n- text"},
        {"list", "a\n", 2, "a\n"}, // the empty last line
        {"quote", "> a", 0, ">> a"},
        {"quote", ">no blank", 0, "> >no blank"},
    };
    for (const LineCase& c : cases) {
        editor.setString(QString::fromUtf8(c.before));
        moveCursorTo(c.caret);
        editor.markdownButton(QString::fromUtf8(c.command));
        expectOneUndoStep(QString::fromUtf8(c.before), QString::fromUtf8(c.after));
    }

    // The command is an edit like typing: reported, and restyled.
    editor.setString(QStringLiteral("Title"));
    const int edits = host.edits;
    editor.markdownButton(QStringLiteral("header"));
    EXPECT_EQ(host.edits, edits + 1);
    EXPECT_EQ(attributesAt(3).font, editor.markdownString().boldFont());
}

TEST_F(MarkdownCommandsTest, LinkBoldAndItalicWrapTheSelectionOrTheWordAtTheCaret) {
    editor.setString(QStringLiteral("see "));
    moveCursorTo(4);
    editor.markdownButton(QStringLiteral("link"));
    EXPECT_EQ(editor.selectedRange(), (Range{18, 0})); // before ")"
    expectOneUndoStep(QStringLiteral("see "), QStringLiteral("see [link](http://)"));

    editor.setString(QStringLiteral("go example.com now"));
    select(3, 14);
    editor.markdownButton(QStringLiteral("link"));
    EXPECT_EQ(editor.selectedRange(), (Range{17, 11}));
    expectOneUndoStep(QStringLiteral("go example.com now"),
                      QStringLiteral("go [link](http://example.com) now"));

    editor.setString(QStringLiteral("say hello there"));
    moveCursorTo(6);
    editor.markdownButton(QStringLiteral("bold"));
    EXPECT_EQ(editor.selectedRange(), (Range{6, 0}));
    expectOneUndoStep(QStringLiteral("say hello there"), QStringLiteral("say **hello** there"));

    select(4, 15);
    editor.markdownButton(QStringLiteral("italic"));
    expectOneUndoStep(QStringLiteral("say hello there"), QStringLiteral("say _hello there_"));

    editor.setString(QString());
    editor.markdownButton(QStringLiteral("bold"));
    EXPECT_EQ(editor.selectedRange(), (Range{2, 0})); // between the markers
    expectOneUndoStep(QString(), QStringLiteral("****"));

    // A locked text, and a command the editor does not know, leave the text alone.
    editor.setString(QStringLiteral("word"));
    editor.markdownButton(QStringLiteral("strike"));
    editor.setEditState(false);
    editor.markdownButton(QStringLiteral("bold"));
    expectOneUndoStep(QStringLiteral("word"), QStringLiteral("word"));
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
