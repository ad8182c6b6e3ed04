// The layout around the styling: the pause after an edit lays out the lines its restyling
// reached, forceLayout lays out everything, every line is drawn inside its own box, colours
// follow the palette, and the fonts the engine is given keep their identity and measure tabs.

#include "EditorTestSupport.h"
#include "editor/IndentingDocumentLayout.h"
#include "editor/QtFontProvider.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <cmath>

namespace quillet::test {
namespace {

using EditorLayoutTest = EditorFixture;

QString manyLines(int count) {
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("line %1 with *some* text\n").arg(i);
    return text;
}

TEST_F(EditorLayoutTest, ThePauseAfterAnEditLaysOutTheLinesItsRestylingReached) {
    editor.setString(manyLines(300));
    dispatcher.advance(platform::seconds(3));
    ASSERT_FALSE(IndentingDocumentLayout::hasStyledLayout(block(60))); // far below the view

    moveCursorTo(0);
    QTest::keyClicks(&view(), "```");
    QTest::keyClick(&view(), Qt::Key_Return);
    EXPECT_EQ(attributesAt(static_cast<std::size_t>(block(61).position())).mdCodeParagraph, 2);
    EXPECT_FALSE(IndentingDocumentLayout::hasStyledLayout(block(61)));
    dispatcher.advance(platform::seconds(0.4));
    EXPECT_FALSE(IndentingDocumentLayout::hasStyledLayout(block(61)));
    dispatcher.advance(platform::seconds(0.1));
    EXPECT_TRUE(IndentingDocumentLayout::hasStyledLayout(block(61)));
    EXPECT_FALSE(IndentingDocumentLayout::hasStyledLayout(block(250))); // beyond the bounded pass

    editor.forceLayout();
    for (QTextBlock each = document().begin(); each.isValid(); each = each.next())
        ASSERT_TRUE(IndentingDocumentLayout::hasStyledLayout(each)) << each.blockNumber();
}

// The rows of a block's drawing that fall outside its bounding rectangle, which the view
// stacks edge to edge: ink there is drawn over the neighbouring line.
int rowsInkedOutsideItsBox(const QTextBlock& block) {
    constexpr int pad = 20;
    const QRectF box = block.document()->documentLayout()->blockBoundingRect(block);
    const int boxRows = static_cast<int>(std::ceil(box.height()));
    QImage image(static_cast<int>(std::ceil(box.width())), boxRows + 2 * pad,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        block.layout()->draw(&painter, QPointF(0, pad));
    }
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        if (y >= pad && y < pad + boxRows) continue;
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0) {
                ++inked;
                break;
            }
    }
    return inked;
}

TEST_F(EditorLayoutTest, EveryLineIsDrawnInsideItsOwnBox) {
    editor.setString(QStringLiteral("para\n```\ncode `x` gj\n```\nafter\n# Head\n- item\n    - nested\n"
                                    "> quote\n> > deeper\n    indented code\nend"));
    for (QTextBlock each = document().begin(); each.isValid(); each = each.next()) {
        laidOut(each);
        EXPECT_EQ(rowsInkedOutsideItsBox(each), 0) << each.text().toStdString();
    }
}

TEST_F(EditorLayoutTest, ColoursFollowThePalette) {
    editor.setString(QStringLiteral("# Head\n"));
    QPalette dark = view().palette();
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    view().setPalette(dark);
    EXPECT_EQ(drawnFormat(block(0), 3).foreground().color(), QColor(230, 230, 230));
    // Gray lies halfway between the text and the background.
    EXPECT_EQ(drawnFormat(block(0), 0).foreground().color().red(), 130);
    EXPECT_EQ(editor.markdownString().boldFont(), attributesAt(3).font); // no restyle needed
}

TEST(QtFontProviderTest, FontsKeepTheirHandlesAndTabsAdvanceToStops) {
    QtFontProvider fonts;
    QFont regular(QStringLiteral("Helvetica"));
    regular.setPointSizeF(12);
    const Font handle = fonts.handle(regular);
    EXPECT_EQ(fonts.handle(regular), handle);
    EXPECT_EQ(fonts.font(handle), regular);

    const std::optional<Font> bold = fonts.fontInFamily(handle, kBoldTrait, 0);
    ASSERT_TRUE(bold);
    EXPECT_NE(*bold, handle);
    EXPECT_EQ(fonts.fontInFamily(handle, kBoldTrait, 0), bold);
    EXPECT_TRUE(fonts.font(*bold).bold());
    const std::optional<Font> italic = fonts.fontInFamily(handle, kItalicTrait, 4);
    ASSERT_TRUE(italic);
    EXPECT_TRUE(fonts.font(*italic).italic());
    EXPECT_FALSE(fonts.font(*italic).bold());

    const QFontMetricsF metrics(regular);
    EXPECT_NEAR(fonts.textWidth(u"ab", handle, 100), metrics.horizontalAdvance(QStringLiteral("ab")), 0.01);
    EXPECT_NEAR(fonts.textWidth(u"a\tb", handle, 100), 100 + metrics.horizontalAdvance(QStringLiteral("b")),
                0.01);
    EXPECT_NEAR(fonts.textWidth(u"\t\t", handle, 30), 60, 0.01);
    EXPECT_DOUBLE_EQ(fonts.pointSize(fonts.fixedPitchFont(9)), 9.0);
    EXPECT_LT(fonts.descender(handle), 0);
}

} // namespace
} // namespace quillet::test
