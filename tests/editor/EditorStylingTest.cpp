// The editor's styling as the user sees it: typing styles the text through the engine, lists
// hang in the layout, fences restyle the lines below, other file types stay unstyled, and the
// styling equals what the engine gives on its own text store for the same text.

#include "EditorTestSupport.h"
#include "editor/QtFontProvider.h"
#include "engine/AttributedText.h"
#include "engine/MarkdownString.h"
#include "platform/TypeIdentifiers.h"

#include <QFontInfo>
#include <QGlyphRun>
#include <QPlainTextDocumentLayout>
#include <QRandomGenerator>
#include <QRawFont>
#include <QTest>

namespace quillet::test {
namespace {

using EditorStylingTest = EditorFixture;

// The styling equals what the engine gives `text` on its own in-memory store, with the same fonts.
void expectSameStyling(MarkdownViewController& editor, const QString& text) {
    MarkdownString& editorEngine = editor.markdownString();
    MarkdownString engine;
    engine.setMarkdownOptions(editorEngine.markdownOptions());
    engine.setMarkdownFont(editorEngine.selectedFont(), *editorEngine.fontProvider());
    AttributedText reference(std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
    engine.processMarkdown(reference, {0, reference.length()});
    ASSERT_EQ(editor.textStorage().length(), reference.length());
    for (std::size_t i = 0; i < reference.length(); ++i)
        ASSERT_TRUE(editor.textStorage().attributesAt(i) == reference.attributesAt(i))
            << i << " in " << text.toStdString();
}

TEST_F(EditorStylingTest, TypingAHeaderDrawsItBoldInTheBodysSizeAndItsMarkersGray) {
    editor.setString(QString());
    QTest::keyClicks(&view(), "# Title");
    const QTextCharFormat title = drawnFormat(block(0), 3);
    EXPECT_GE(QFontInfo(title.font()).weight(), QFont::DemiBold);
    EXPECT_DOUBLE_EQ(title.font().pointSizeF(), editor.selectedFont().pointSizeF());
    EXPECT_NE(drawnFormat(block(0), 0).foreground().color(), title.foreground().color());
    expectSameStyling(editor, QStringLiteral("# Title"));

    // Deleting the marker turns the line back into a paragraph.
    moveCursorTo(0);
    QTest::keyClick(&view(), Qt::Key_Delete);
    QTest::keyClick(&view(), Qt::Key_Delete);
    ASSERT_EQ(editor.string(), QStringLiteral("Title"));
    EXPECT_LT(QFontInfo(drawnFormat(block(0), 0).font()).weight(), QFont::DemiBold);
    expectSameStyling(editor, QStringLiteral("Title"));
}

TEST_F(EditorStylingTest, ATypedListLineHangsItsMarkerLeftOfTheWrappedText) {
    editor.setString(QStringLiteral("intro\n"));
    moveCursorTo(6);
    QTest::keyClicks(&view(), "- ");
    for (int i = 0; i < 40; ++i)
        QTest::keyClicks(&view(), "word ");
    const double margin = document().documentMargin();
    const double headIndent = editor.markdownString().fontWidth * 3;

    QTextLayout& list = laidOut(block(1));
    ASSERT_GE(list.lineCount(), 2); // wraps in a 600 pixel view
    const double markerWidth = QFontMetricsF(editor.selectedFont()).horizontalAdvance(QStringLiteral("- "));
    EXPECT_NEAR(list.lineAt(1).x(), margin + headIndent, 0.01);
    EXPECT_NEAR(list.lineAt(0).x(), margin + headIndent - markerWidth, 0.5);
    EXPECT_NEAR(list.lineAt(0).cursorToX(2), list.lineAt(1).x(), 0.5); // the text starts in line
    EXPECT_NEAR(laidOut(block(0)).lineAt(0).x(), margin, 0.01);

    // The line heights stay within the styling's minimum and maximum.
    const double pixelsPerPoint = view().logicalDpiY() / 72.0;
    const double pointSize = editor.selectedFont().pointSizeF();
    const double lineStep = list.lineAt(1).y() - list.lineAt(0).y();
    EXPECT_GE(lineStep, pointSize * pixelsPerPoint - 0.01);
    EXPECT_LE(lineStep, pointSize * 1.2 * pixelsPerPoint + 0.01);

    // A block the plain-text layout laid out on its own, and a resize, lay out with the indents.
    block(1).clearLayout();
    static_cast<QPlainTextDocumentLayout*>(document().documentLayout())->ensureBlockLayout(block(1));
    EXPECT_NEAR(laidOut(block(1)).lineAt(1).x(), margin + headIndent, 0.01);
    const int lines = laidOut(block(1)).lineCount();
    editor.resize(300, 400);
    QApplication::processEvents();
    EXPECT_GT(laidOut(block(1)).lineCount(), lines);
    EXPECT_NEAR(laidOut(block(1)).lineAt(1).x(), margin + headIndent, 0.01);
}

// Whether the block's laid-out glyphs are set in the fixed-pitch font.
bool drawnInFixedPitch(const QTextBlock& block) {
    block.document()->documentLayout()->blockBoundingRect(block); // laid out as before drawing
    const QList<QGlyphRun> runs = block.layout()->glyphRuns(0, block.length() - 1);
    if (runs.isEmpty()) return false;
    const QString family = runs.front().rawFont().familyName();
    return family == QFontInfo(QtFontProvider::fixedPitchQFont(10)).family();
}

TEST_F(EditorStylingTest, OpeningAFenceRestylesTheLinesBelowAndClosingItRestoresThem) {
    const QString text = QStringLiteral("before\nplain *em*\nlast line\n");
    editor.setString(text);
    EXPECT_FALSE(drawnInFixedPitch(block(2)));

    moveCursorTo(7);
    QTest::keyClicks(&view(), "```");
    QTest::keyClick(&view(), Qt::Key_Return);
    ASSERT_EQ(editor.string(), QStringLiteral("before\n```\nplain *em*\nlast line\n"));
    expectSameStyling(editor, editor.string()); // the lines below are code now
    EXPECT_TRUE(drawnInFixedPitch(block(3)));   // and laid out again

    for (int i = 0; i < 4; ++i)
        QTest::keyClick(&view(), Qt::Key_Backspace);
    ASSERT_EQ(editor.string(), text);
    expectSameStyling(editor, text);
    EXPECT_FALSE(drawnInFixedPitch(block(2)));
}

TEST_F(EditorStylingTest, TheStylingEqualsTheEnginesOwnForAVariedNoteAndStaysSoThroughEdits) {
    editor.setString(markdownNote());
    expectSameStyling(editor, markdownNote());

    // Every construct is drawn: strike-through, link, a raised code line.
    const auto formatAt = [&](const char* part) {
        const int at = static_cast<int>(editor.string().indexOf(QLatin1String(part)));
        const QTextBlock line = document().findBlock(at);
        return drawnFormat(line, at - line.position());
    };
    EXPECT_TRUE(formatAt("gone").fontStrikeOut());
    EXPECT_EQ(formatAt("http://example.com/a").anchorHref(), QStringLiteral("http://example.com/a"));
    EXPECT_GT(formatAt("code *not em*").baselineOffset(), 0);

    QRandomGenerator random(1234);
    const QStringList pieces = {"x", "\n", "- ", "```\n", "# ", "**", "> ", "one\ntwo\n", "    "};
    for (int step = 0; step < 120; ++step) {
        QTextCursor cursor(&document());
        const int length = document().characterCount() - 1;
        const int at = static_cast<int>(random.bounded(length + 1));
        cursor.setPosition(at);
        const quint32 kind = random.bounded(4);
        if (kind < 2) {
            cursor.insertText(pieces[static_cast<int>(random.bounded(pieces.size()))]);
        } else if (kind == 2) {
            cursor.setPosition(std::min(length, at + static_cast<int>(random.bounded(12))),
                               QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        } else if (document().isUndoAvailable()) {
            document().undo();
        }
        const QString shown = document().toRawText().replace(QChar::ParagraphSeparator, u'\n');
        ASSERT_EQ(editor.string(), shown.left(document().characterCount() - 1)) << "step " << step;
    }
    // Link definitions typed before their uses would be styled differently by a single pass;
    // the note defines its one label above its use, and the edits never add labels.
    expectSameStyling(editor, editor.string());
}

bool definesLabel(MarkdownViewController& editor, std::u16string_view label) {
    const LinkLabelRef record = editor.markdownString().labelDictForLabel(label);
    return record && record->urlString.has_value();
}

TEST_F(EditorStylingTest, ALinkDefinitionLivesExactlyAsLongAsItsLine) {
    editor.setString(QStringLiteral("[l]: http://example.com/\nuse [t][l]\n"));
    EXPECT_TRUE(definesLabel(editor, u"l"));
    // Breaking the definition withdraws it; mending it registers it again.
    moveCursorTo(3);
    QTest::keyClick(&view(), Qt::Key_Backspace);
    EXPECT_FALSE(definesLabel(editor, u"l"));
    QTest::keyClicks(&view(), "]");
    EXPECT_TRUE(definesLabel(editor, u"l"));
    // A new text brings its own definitions only.
    editor.setString(QStringLiteral("[m]: http://example.com/m\n"));
    EXPECT_FALSE(definesLabel(editor, u"l"));
    EXPECT_TRUE(definesLabel(editor, u"m"));
}

TEST_F(EditorStylingTest, StyleSheetsAndScriptsGetNoMarkdownStylingInTheFixedPitchFont) {
    const QString fixedFamily = QFontInfo(QtFontProvider::fixedPitchQFont(10)).family();
    editor.setFileUTI(QLatin1String(platform::kCssTypeIdentifier));
    editor.setString(QStringLiteral("# not a header\nbody { color: red; }\n"));
    EXPECT_EQ(QFontInfo(view().font()).family(), fixedFamily);
    EXPECT_DOUBLE_EQ(view().font().pointSizeF(), editor.selectedFont().pointSizeF() - 2.0);
    EXPECT_TRUE(attributesAt(2).font.isNull());
    EXPECT_TRUE(block(0).layout()->formats().isEmpty());

    // Typing stays unstyled; a Markdown note set afterwards is styled again.
    moveCursorTo(0);
    QTest::keyClicks(&view(), "*a*");
    EXPECT_TRUE(attributesAt(1).font.isNull());
    editor.setFileUTI(QLatin1String(platform::kMarkdownTypeIdentifier));
    editor.setString(QStringLiteral("# header\n"));
    EXPECT_EQ(attributesAt(3).font, editor.markdownString().boldFont());
    EXPECT_NE(QFontInfo(view().font()).family(), fixedFamily);
}

TEST_F(EditorStylingTest, ANewFontOrNewOptionsRestyleTheWholeText) {
    editor.setString(QStringLiteral("plain\n- item\n"));
    QFont larger(QStringLiteral("Helvetica"));
    larger.setPointSizeF(20);
    editor.setSelectedFont(larger);
    EXPECT_DOUBLE_EQ(drawnFormat(block(0), 0).font().pointSizeF(), 20.0);
    MarkdownOptions options = editor.markdownString().markdownOptions();
    options.indentNormalLines = true;
    editor.setMarkdownOptions(options);
    expectSameStyling(editor, editor.string()); // styled with the new options
}

} // namespace
} // namespace quillet::test
