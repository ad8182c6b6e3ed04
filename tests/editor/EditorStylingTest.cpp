// The editor's styling as the user sees it: typing styles the text through the engine, lists
// hang in the layout, fences restyle the lines below, other file types stay unstyled, and the
// styling equals what the engine gives on its own text store for the same text.

#include "EditorTestSupport.h"
#include "editor/QtFontProvider.h"
#include "engine/AttributedText.h"
#include "engine/MarkdownString.h"
#include "platform/TypeIdentifiers.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QPlainTextDocumentLayout>
#include <QRandomGenerator>
#include <QRawFont>
#include <QTest>

namespace quillet::test {
namespace {

using EditorStylingTest = EditorFixture;

std::u16string u16(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// The styling the engine gives `text` on its own in-memory store, with the editor's fonts.
std::unique_ptr<AttributedText> referenceStyling(MarkdownViewController& editor, const QString& text) {
    MarkdownString& editorEngine = editor.markdownString();
    MarkdownString engine;
    engine.setMarkdownOptions(editorEngine.markdownOptions());
    engine.setMarkdownFont(editorEngine.selectedFont(), *editorEngine.fontProvider());
    auto reference = std::make_unique<AttributedText>(u16(text));
    engine.processMarkdown(*reference, {0, reference->length()});
    return reference;
}

void expectSameStyling(MarkdownViewController& editor, const QString& text) {
    const std::unique_ptr<AttributedText> reference = referenceStyling(editor, text);
    TextStore& store = editor.textStorage();
    ASSERT_EQ(store.length(), reference->length());
    for (std::size_t i = 0; i < reference->length(); ++i)
        ASSERT_TRUE(store.attributesAt(i) == reference->attributesAt(i)) << "differs at " << i << " in\n"
                                                                         << text.toStdString();
}

TEST_F(EditorStylingTest, TypingAHeaderMakesItBoldAndItsMarkersGray) {
    editor.setString(QString());
    QTest::keyClicks(&view(), "# Title");
    ASSERT_EQ(editor.string(), QStringLiteral("# Title"));

    MarkdownString& engine = editor.markdownString();
    EXPECT_EQ(attributesAt(3).font, engine.boldFont());
    EXPECT_NE(engine.boldFont(), engine.selectedFont());
    EXPECT_EQ(attributesAt(0).foregroundColor, TextColor::gray);
    EXPECT_EQ(attributesAt(3).foregroundColor, TextColor::text);

    // What the layout draws: the bold font over the title, in the same size as the body text.
    const QTextCharFormat title = drawnFormat(block(0), 3);
    EXPECT_GE(QFontInfo(title.font()).weight(), QFont::DemiBold);
    EXPECT_DOUBLE_EQ(title.font().pointSizeF(), editor.selectedFont().pointSizeF());
    EXPECT_NE(drawnFormat(block(0), 0).foreground().color(), title.foreground().color());

    // Deleting the marker turns the line back into a paragraph.
    moveCursorTo(0);
    QTest::keyClick(&view(), Qt::Key_Delete);
    QTest::keyClick(&view(), Qt::Key_Delete);
    EXPECT_EQ(editor.string(), QStringLiteral("Title"));
    EXPECT_EQ(attributesAt(0).font, engine.selectedFont());
    EXPECT_LT(QFontInfo(drawnFormat(block(0), 0).font()).weight(), QFont::DemiBold);
}

TEST_F(EditorStylingTest, ATypedListLineHangsItsMarkerLeftOfTheWrappedText) {
    editor.setString(QStringLiteral("intro\n"));
    moveCursorTo(6);
    QTest::keyClicks(&view(), "- ");
    for (int i = 0; i < 40; ++i)
        QTest::keyClicks(&view(), "word ");
    const MarkdownString& engine = editor.markdownString();
    const double margin = document().documentMargin();
    const double headIndent = engine.fontWidth * 3;

    QTextLayout& list = laidOut(block(1));
    ASSERT_GE(list.lineCount(), 2); // wraps in a 600 pixel view
    const double markerWidth = QFontMetricsF(editor.selectedFont()).horizontalAdvance(QStringLiteral("- "));
    EXPECT_NEAR(list.lineAt(1).x(), margin + headIndent, 0.01);
    EXPECT_NEAR(list.lineAt(0).x(), margin + headIndent - markerWidth, 0.5);
    // The content of the first line starts where the wrapped lines start.
    EXPECT_NEAR(list.lineAt(0).cursorToX(2), list.lineAt(1).x(), 0.5);

    // A block the plain-text layout laid out on its own is laid out again with its indents.
    block(1).clearLayout();
    static_cast<QPlainTextDocumentLayout*>(document().documentLayout())->ensureBlockLayout(block(1));
    EXPECT_NEAR(laidOut(block(1)).lineAt(1).x(), margin + headIndent, 0.01);

    QTextLayout& intro = laidOut(block(0));
    EXPECT_NEAR(intro.lineAt(0).x(), margin, 0.01);

    // The line heights stay within the styling's minimum and maximum.
    const double pixelsPerPoint = view().logicalDpiY() / 72.0;
    const double pointSize = editor.selectedFont().pointSizeF();
    const double lineStep = list.lineAt(1).y() - list.lineAt(0).y();
    EXPECT_GE(lineStep, pointSize * pixelsPerPoint - 0.01);
    EXPECT_LE(lineStep, pointSize * 1.2 * pixelsPerPoint + 0.01);

    // A resize rewraps with the same indents.
    editor.resize(300, 400);
    QApplication::processEvents();
    QTextLayout& narrower = laidOut(block(1));
    EXPECT_GT(narrower.lineCount(), list.lineCount() > 0 ? 2 : 0);
    EXPECT_NEAR(narrower.lineAt(1).x(), margin + headIndent, 0.01);
}

// Whether the block's laid-out glyphs are set in the fixed-pitch font.
bool drawnInFixedPitch(const QTextBlock& block, const QTextLayout& layout) {
    const QList<QGlyphRun> runs = layout.glyphRuns(0, block.length() - 1);
    if (runs.isEmpty()) return false;
    const QString family = runs.front().rawFont().familyName();
    return family == QFontInfo(QtFontProvider::fixedPitchQFont(10)).family();
}

TEST_F(EditorStylingTest, OpeningAFenceRestylesTheLinesBelowAndClosingItRestoresThem) {
    editor.setString(QStringLiteral("before\nplain *em*\nlast line\n"));
    const MarkdownString& engine = editor.markdownString();
    const std::size_t em = 7 + 7; // the "e" of "em" on the second line
    ASSERT_EQ(attributesAt(em).font, engine.italicFont());
    EXPECT_FALSE(attributesAt(em).mdCodeParagraph);

    EXPECT_FALSE(drawnInFixedPitch(block(2), laidOut(block(2))));

    moveCursorTo(7);
    QTest::keyClicks(&view(), "```");
    QTest::keyClick(&view(), Qt::Key_Return);
    ASSERT_EQ(editor.string(), QStringLiteral("before\n```\nplain *em*\nlast line\n"));
    EXPECT_EQ(attributesAt(7).mdCodeParagraph, 3);
    EXPECT_EQ(attributesAt(11).mdCodeParagraph, 2);
    EXPECT_EQ(attributesAt(11 + 7).font, engine.codeFont());
    EXPECT_EQ(attributesAt(22).mdCodeParagraph, 2);
    EXPECT_EQ(attributesAt(22).foregroundColor, TextColor::darkGray);
    // The continued lines are laid out again in the code font.
    EXPECT_TRUE(drawnInFixedPitch(block(3), laidOut(block(3))));

    // Removing the fence gives the lines below their own styling back.
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(&view(), Qt::Key_Backspace);
    ASSERT_EQ(editor.string(), QStringLiteral("before\nplain *em*\nlast line\n"));
    EXPECT_EQ(attributesAt(em).font, engine.italicFont());
    EXPECT_FALSE(attributesAt(em).mdCodeParagraph);
    EXPECT_FALSE(drawnInFixedPitch(block(2), laidOut(block(2))));
    expectSameStyling(editor, editor.string());
}

TEST_F(EditorStylingTest, TheStylingEqualsTheEnginesOwnForAVariedNote) {
    editor.setString(markdownNote());
    expectSameStyling(editor, markdownNote());

    // Every construct is drawn: strike-through, link, a raised code line.
    const QString text = editor.string();
    const int struck = static_cast<int>(text.indexOf(QStringLiteral("gone")));
    const QTextBlock second = document().findBlock(struck);
    EXPECT_TRUE(drawnFormat(second, struck - second.position()).fontStrikeOut());
    const int url = static_cast<int>(text.indexOf(QStringLiteral("http://example.com/a")));
    const QTextBlock listLine = document().findBlock(url);
    const QTextCharFormat link = drawnFormat(listLine, url - listLine.position());
    EXPECT_TRUE(link.isAnchor());
    EXPECT_EQ(link.anchorHref(), QStringLiteral("http://example.com/a"));
    const int code = static_cast<int>(text.indexOf(QStringLiteral("code *not em*")));
    EXPECT_GT(drawnFormat(document().findBlock(code), 0).baselineOffset(), 0);
}

TEST_F(EditorStylingTest, EditsOfEveryKindKeepTheStoreInStepAndTheStylingFaithful) {
    editor.setString(markdownNote());
    QRandomGenerator random(1234);
    const QStringList pieces = {
        QStringLiteral("x"),     QStringLiteral("\n"),         QStringLiteral("- "),
        QStringLiteral("```\n"), QStringLiteral("# "),         QStringLiteral("**"),
        QStringLiteral("> "),    QStringLiteral("one\ntwo\n"), QStringLiteral("    ")};
    for (int step = 0; step < 120; ++step) {
        QTextCursor cursor(&document());
        const int length = document().characterCount() - 1;
        const int at = static_cast<int>(random.bounded(length + 1));
        cursor.setPosition(at);
        switch (random.bounded(4)) {
        case 0:
        case 1:
            cursor.insertText(pieces[static_cast<int>(random.bounded(pieces.size()))]);
            break;
        case 2:
            cursor.setPosition(std::min(length, at + static_cast<int>(random.bounded(12))),
                               QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            break;
        default:
            if (document().isUndoAvailable()) document().undo();
            break;
        }
        const QString shown = document().toRawText().replace(QChar::ParagraphSeparator, u'\n');
        ASSERT_EQ(editor.string(), shown.left(document().characterCount() - 1)) << "step " << step;
    }
    // Link definitions typed before their uses would be styled differently by a single pass;
    // the note defines its one label above its use, and the edits never add labels.
    expectSameStyling(editor, editor.string());
}

bool definesLabel(const MarkdownString& engine, std::u16string_view label) {
    const LinkLabelRef record = engine.labelDictForLabel(label);
    return record && record->urlString.has_value();
}

TEST_F(EditorStylingTest, ALinkDefinitionLivesExactlyAsLongAsItsLine) {
    MarkdownString& engine = editor.markdownString();
    editor.setString(QStringLiteral("[l]: http://example.com/\nuse [t][l]\n"));
    ASSERT_TRUE(definesLabel(engine, u"l"));

    // Breaking the definition withdraws it; mending it registers it again.
    moveCursorTo(3);
    QTest::keyClick(&view(), Qt::Key_Backspace);
    EXPECT_FALSE(definesLabel(engine, u"l"));
    QTest::keyClicks(&view(), "]");
    EXPECT_TRUE(definesLabel(engine, u"l"));

    // A new text brings its own definitions only.
    editor.setString(QStringLiteral("[m]: http://example.com/m\n"));
    EXPECT_FALSE(definesLabel(engine, u"l"));
    EXPECT_TRUE(definesLabel(engine, u"m"));
}

TEST_F(EditorStylingTest, StyleSheetsAndScriptsAreShownUnstyledInTheFixedPitchFont) {
    editor.setFileUTI(QLatin1String(platform::kCssTypeIdentifier));
    editor.setString(QStringLiteral("# not a header\nbody { color: red; }\n"));
    EXPECT_TRUE(QFontInfo(view().font()).fixedPitch());
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
    EXPECT_FALSE(QFontInfo(view().font()).fixedPitch());
}

TEST_F(EditorStylingTest, ANewFontOrNewOptionsRestyleTheWholeText) {
    editor.setString(QStringLiteral("plain\n- item\n"));
    QFont larger(QStringLiteral("Helvetica"));
    larger.setPointSizeF(20);
    editor.setSelectedFont(larger);
    EXPECT_EQ(editor.markdownString().fontProvider()->pointSize(attributesAt(0).font), 20.0);
    EXPECT_DOUBLE_EQ(drawnFormat(block(0), 0).font().pointSizeF(), 20.0);

    MarkdownOptions options = editor.markdownString().markdownOptions();
    options.indentNormalLines = true;
    editor.setMarkdownOptions(options);
    EXPECT_EQ(attributesAt(0).mdIndentDepth, 1);
    expectSameStyling(editor, editor.string());
}

} // namespace
} // namespace quillet::test
