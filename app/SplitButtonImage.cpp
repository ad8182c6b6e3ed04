#include "app/SplitButtonImage.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

namespace quillet {

QImage splitButtonImageWithSize(QSize size, const QColor& color, SplitSide side) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);

    // A one-pixel pen strokes a rectangle w x h over w + 1 x h + 1 pixels; the outline covers
    // exactly the 15 x 14 pixels from (8, 8).
    painter.setPen(QPen(color, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(8, 8, 14, 13));

    const int barX = side == SplitSide::Right ? 17 : 9;
    painter.fillRect(QRect(barX, 8, 6, 14), color);
    return image;
}

QColor splitButtonShownColor() {
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

QColor splitButtonHiddenColor() {
    return QColor(Qt::gray);
}

} // namespace quillet
