// Style sheets and scripts coloured in the editor as they are typed, and the arithmetic command
// acting on the editor's text.

#include "EditorTestSupport.h"
#include "platform/TypeIdentifiers.h"

#include <QTest>

namespace quillet::test {
namespace {

using CodeEditingTest = EditorFixture;

const QColor kOrange = QColor::fromRgbF(1.0f, 0.5f, 0.0f);
const QColor kGreen = QColor::fromRgbF(0.0f, 0.5f, 0.0f);

TEST_F(CodeEditingTest, StyleSheetColoursFollowTypingAcrossCommentBlocks) {
    editor.setFileUTI(QLatin1String(platform::kCssTypeIdentifier));
    editor.setString(QStringLiteral("h1 { color: #333; }\nem { }\nb { }\n"));
    EXPECT_EQ(drawnFormat(block(0), 0).foreground().color(), kOrange);
    EXPECT_EQ(drawnFormat(block(1), 0).foreground().color(), kOrange);

    // An opening marker alone colours nothing; its closing marker two lines below colours the
    // lines between, which were not typed on.
    moveCursorTo(block(1).position());
    QTest::keyClicks(&view(), "/*");
    EXPECT_EQ(drawnFormat(block(1), 2).foreground().color(), kOrange);
    moveCursorTo(block(2).position() + 5);
    QTest::keyClicks(&view(), "*/");
    EXPECT_EQ(drawnFormat(block(1), 2).foreground().color(), kGreen);
    EXPECT_EQ(drawnFormat(block(2), 0).foreground().color(), kGreen);
    EXPECT_EQ(drawnFormat(block(0), 0).foreground().color(), kOrange);

    // A dark palette lightens the dark colours, keeping the hue.
    QPalette dark = view().palette();
    dark.setColor(QPalette::Base, Qt::black);
    dark.setColor(QPalette::Text, Qt::white);
    view().setPalette(dark);
    const QColor darkGreen = drawnFormat(block(1), 2).foreground().color();
    EXPECT_GT(darkGreen.lightnessF(), 0.5);
    EXPECT_EQ(darkGreen.hue(), kGreen.hue());
}

TEST_F(CodeEditingTest, ScriptsGetTheirColoursAndMarkdownNotesNone) {
    editor.setFileUTI(QLatin1String(platform::kPythonScriptTypeIdentifier));
    editor.setString(QStringLiteral("def f(): return True\n"));
    const QColor purple = QColor::fromRgbF(0.5f, 0.0f, 0.5f);
    EXPECT_EQ(drawnFormat(block(0), 0).foreground().color(), purple);
    EXPECT_EQ(drawnFormat(block(0), 16).foreground().color(), kOrange);
    editor.setFileUTI(QLatin1String(platform::kMarkdownTypeIdentifier));
    editor.setString(QStringLiteral("def f(): return True\n"));
    EXPECT_NE(drawnFormat(block(0), 0).foreground().color(), purple);
    EXPECT_FALSE(attributesAt(0).font.isNull());
}

TEST_F(CodeEditingTest, ArithmeticInsertsItsResultAsOneUndoStep) {
    editor.setString(QStringLiteral("note\ntotal 2+3*4"));
    moveCursorTo(static_cast<int>(editor.string().size()));
    editor.arithmeticOperation();
    EXPECT_EQ(editor.string(), QStringLiteral("note\ntotal 2+3*4= 14 "));
    EXPECT_EQ(view().textCursor().position(), editor.string().size());
    view().undo();
    EXPECT_EQ(editor.string(), QStringLiteral("note\ntotal 2+3*4"));

    // A typed "=" is replaced; the caret at a line's start or a locked note does nothing.
    editor.setString(QStringLiteral("(1+2)*3=\n"));
    moveCursorTo(8);
    editor.arithmeticOperation();
    EXPECT_EQ(editor.string(), QStringLiteral("(1+2)*3= 9 \n"));
    moveCursorTo(0);
    editor.arithmeticOperation();
    EXPECT_EQ(editor.string(), QStringLiteral("(1+2)*3= 9 \n"));
    editor.setEditState(false);
    editor.setString(QStringLiteral("1+1"));
    moveCursorTo(3);
    editor.arithmeticOperation();
    EXPECT_EQ(editor.string(), QStringLiteral("1+1"));
}

} // namespace
} // namespace quillet::test
