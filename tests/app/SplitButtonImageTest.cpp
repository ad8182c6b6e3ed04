#include "app/SplitButtonImage.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

bool inside(int x, int y, int left, int top, int width, int height) {
    return x >= left && x < left + width && y >= top && y < top + height;
}

// Every pixel is either the colour or transparent (no anti-aliasing), and the coloured ones are
// exactly the outline of (8, 8, 15 x 14) and the bar of the side.
void expectImage(SplitSide side, int barX) {
    const QColor color(200, 40, 90);
    const QImage image = splitButtonImageWithSize(QSize(32, 32), color, side);
    ASSERT_EQ(image.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool outline = inside(x, y, 8, 8, 15, 14) && !inside(x, y, 9, 9, 13, 12);
            const bool bar = inside(x, y, barX, 8, 6, 14);
            const QColor pixel = image.pixelColor(x, y);
            if (outline || bar)
                EXPECT_EQ(pixel, color) << "(" << x << ", " << y << ")";
            else
                EXPECT_EQ(pixel.alpha(), 0) << "(" << x << ", " << y << ")";
        }
    }
}

TEST(SplitButtonImageTest, RightSideHasTheBarAtSeventeen) {
    expectImage(SplitSide::Right, 17);
}

TEST(SplitButtonImageTest, LeftSideHasTheBarAtNine) {
    expectImage(SplitSide::Left, 9);
}

TEST(SplitButtonImageTest, ShownAndHiddenColoursDiffer) {
    EXPECT_NE(splitButtonShownColor(), splitButtonHiddenColor());
    EXPECT_EQ(splitButtonHiddenColor(), QColor(Qt::gray));
}

} // namespace
} // namespace quillet
