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

TEST_F(EditorLayoutTest, ThePauseAfterAnEditLaysOutTheLinesItsRestylingReached) {
    QString lines;
    for (int i = 0; i < 300; ++i)
        lines += QStringLiteral("line %1 with *some* text\n").arg(i);
    editor.setString(lines);
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
    QImage image(static_cast<int>(std::ceil(box.width())), boxRows + 2 * pad, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    block.layout()->draw(&painter, QPointF(0, pad));
    painter.end();
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; (y < pad || y >= pad + boxRows) && x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0) {
                ++inked;
                break;
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
    EXPECT_EQ(drawnFormat(block(0), 0).foreground().color().red(), 130); // gray: halfway to the base
}

TEST(QtFontProviderTest, FontsKeepTheirHandlesAndTabsAdvanceToStops) {
    QtFontProvider fonts;
    QFont regular(QStringLiteral("Helvetica"));
    regular.setPointSizeF(12);
    const Font handle = fonts.handle(regular);
    EXPECT_EQ(fonts.handle(regular), handle);
    const std::optional<Font> bold = fonts.fontInFamily(handle, kBoldTrait, 0);
    ASSERT_TRUE(bold);
    EXPECT_EQ(fonts.fontInFamily(handle, kBoldTrait, 0), bold);
    EXPECT_TRUE(fonts.font(*bold).bold());
    EXPECT_TRUE(fonts.font(fonts.fontInFamily(handle, kItalicTrait, 4).value_or(handle)).italic());

    const double b = QFontMetricsF(regular).horizontalAdvance(QStringLiteral("b"));
    EXPECT_NEAR(fonts.textWidth(u"a\tb", handle, 100), 100 + b, 0.01);
    EXPECT_NEAR(fonts.textWidth(u"\t\t", handle, 30), 60, 0.01);
}

} // namespace
} // namespace quillet::test
