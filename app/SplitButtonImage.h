#pragma once
// The images of the toolbar's pane buttons: a pane outline with a filled bar on the side of the
// pane the button shows or hides.

#include <QColor>
#include <QImage>
#include <QSize>

namespace quillet {

enum class SplitSide { Left = 0, Right = 1 };

// The outline of the rectangle (8, 8, 15 x 14) one pixel wide and a filled bar 6 x 14 at x 9
// (left) or x 17 (right), in `color` on a transparent image of `size`, without anti-aliasing.
QImage splitButtonImageWithSize(QSize size, const QColor& color, SplitSide side);

// The colour of a shown pane's button (the palette's accent) and of a hidden one's (grey).
QColor splitButtonShownColor();
QColor splitButtonHiddenColor();

} // namespace quillet
