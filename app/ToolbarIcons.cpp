#include "app/ToolbarIcons.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <functional>

namespace quillet {

namespace {

constexpr int kSide = 32;

QColor iconColor() {
    return QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText);
}

// Draws on a transparent 32 x 32 canvas with an anti-aliased pen of the icon colour; the
// disabled look comes from QIcon itself.
QIcon drawnIcon(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(iconColor(), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    draw(painter);
    painter.end();
    return QIcon(pixmap);
}

} // namespace

QIcon glyphIcon(const QString& glyph, bool bold, bool italic) {
    return drawnIcon([&](QPainter& painter) {
        QFont font = QGuiApplication::font();
        font.setPixelSize(20);
        font.setBold(bold);
        font.setItalic(italic);
        if (italic) font.setFamily(QStringLiteral("Serif"));
        painter.setFont(font);
        painter.drawText(QRect(0, 0, kSide, kSide), Qt::AlignCenter, glyph);
    });
}

QIcon listIcon() {
    return drawnIcon([](QPainter& painter) {
        for (int row = 0; row < 3; ++row) {
            const int y = 9 + row * 7;
            painter.drawPoint(QPointF(7, y));
            painter.drawLine(QPointF(12, y), QPointF(26, y));
        }
    });
}

QIcon quoteIcon() {
    return drawnIcon([](QPainter& painter) {
        painter.drawLine(QPointF(7, 7), QPointF(7, 25));
        for (int row = 0; row < 3; ++row)
            painter.drawLine(QPointF(12, 9 + row * 7), QPointF(row == 2 ? 20 : 26, 9 + row * 7));
    });
}

QIcon imageIcon() {
    return drawnIcon([](QPainter& painter) {
        painter.drawRoundedRect(QRectF(5, 7, 22, 18), 2, 2);
        QPainterPath hills;
        hills.moveTo(7, 23);
        hills.lineTo(13, 15);
        hills.lineTo(18, 20);
        hills.lineTo(21, 17);
        hills.lineTo(25, 23);
        painter.drawPath(hills);
        painter.drawEllipse(QPointF(21, 12), 1.5, 1.5);
    });
}

QIcon linkIcon() {
    return drawnIcon([](QPainter& painter) {
        painter.translate(16, 16);
        painter.rotate(-45);
        painter.drawRoundedRect(QRectF(-13, -4, 14, 8), 4, 4);
        painter.drawRoundedRect(QRectF(-1, -4, 14, 8), 4, 4);
    });
}

QIcon searchIcon() {
    return drawnIcon([](QPainter& painter) {
        painter.drawEllipse(QPointF(13, 13), 7, 7);
        painter.drawLine(QPointF(18, 18), QPointF(26, 26));
    });
}

QIcon lockIcon(bool locked) {
    return drawnIcon([locked](QPainter& painter) {
        painter.drawRoundedRect(QRectF(8, 15, 16, 12), 2, 2);
        QPainterPath shackle;
        shackle.moveTo(11, 15);
        shackle.lineTo(11, 10);
        shackle.arcTo(QRectF(11, 5, 10, 10), 180, -180);
        if (locked) shackle.lineTo(21, 15);
        painter.drawPath(shackle);
    });
}

QIcon calculateIcon() {
    return drawnIcon([](QPainter& painter) {
        painter.drawRoundedRect(QRectF(8, 4, 16, 24), 2, 2);
        painter.drawRect(QRectF(11, 7, 10, 5));
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                painter.drawPoint(QPointF(12 + column * 4, 16 + row * 4));
    });
}

} // namespace quillet
