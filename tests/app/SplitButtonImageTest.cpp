#include "app/SplitButtonImage.h"

#include <QRect>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// Every pixel is either the colour or transparent (no anti-aliasing), and the coloured ones are
// exactly the outline of (8, 8, 15 x 14) and the bar of the side.
TEST(SplitButtonImageTest, OutlineAndTheBarOfTheSideInPlainPixels) {
    const QColor color(200, 40, 90);
    for (const auto& [side, barX] : {std::pair{SplitSide::Right, 17}, std::pair{SplitSide::Left, 9}}) {
        const QImage image = splitButtonImageWithSize(QSize(32, 32), color, side);
        ASSERT_EQ(image.size(), QSize(32, 32));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const bool outline =
                    QRect(8, 8, 15, 14).contains(x, y) && !QRect(9, 9, 13, 12).contains(x, y);
                const bool bar = QRect(barX, 8, 6, 14).contains(x, y);
                const QColor pixel = image.pixelColor(x, y);
                if (outline || bar)
                    ASSERT_EQ(pixel, color) << "(" << x << ", " << y << ") bar at " << barX;
                else
                    ASSERT_EQ(pixel.alpha(), 0) << "(" << x << ", " << y << ") bar at " << barX;
            }
    }
    EXPECT_NE(splitButtonShownColor(), splitButtonHiddenColor());
}

} // namespace
} // namespace quillet
