#include "browser/view/RowIcons.h"

#include "browser/view/CalendarSheetText.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <array>
#include <optional>
#include <utility>

// The layouts below are measured from the bottom left, y growing upwards, as the pictures were
// designed; `up()` turns such a y into Qt's top-down one.

namespace quillet {

namespace {

constexpr int kPointsPerInch = 72;
constexpr qreal kMetresPerInch = 0.0254;
constexpr qreal kTagDotSide = 8.0;
constexpr qreal kTaggedYearShift = 4.0;
constexpr qreal kTileRadius = 5.0;

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Base).lightnessF() < 0.5;
}

QColor blend(const QColor& from, const QColor& to, qreal share) {
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * share,
                            from.greenF() + (to.greenF() - from.greenF()) * share,
                            from.blueF() + (to.blueF() - from.blueF()) * share);
}

// The tile behind the style-sheet and script pictures: a little of the text colour on the base.
QColor tileColor(const QPalette& palette) {
    return blend(palette.color(QPalette::Base), palette.color(QPalette::Text), 0.18);
}

// A new transparent image whose font point sizes are device-independent pixels.
QImage newImage(QSize size, qreal ratio) {
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    const int dotsPerMetre = qRound(kPointsPerInch / kMetresPerInch);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::transparent);
    return image;
}

void prepare(QPainter& painter) {
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
}

QFont sansFont(qreal size, bool bold = false) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(size);
    font.setBold(bold);
    return font;
}

class Sheet {
public:
    Sheet(QPainter& painter, QSize size, const QPalette& palette)
        : painter_(painter), palette_(palette), w_(size.width()), h_(size.height()) {}

    qreal w() const { return w_; }
    qreal h() const { return h_; }
    qreal up(qreal y) const { return h_ - y; }
    // The rectangle whose bottom left corner is (x, y).
    QRectF rect(qreal x, qreal y, qreal width, qreal height) const {
        return QRectF(x, up(y) - height, width, height);
    }

    qreal width(const QString& text, const QFont& font) const {
        return QFontMetricsF(font, painter_.device()).horizontalAdvance(text);
    }
    qreal centred(const QString& text, const QFont& font) const { return (w_ - width(text, font)) / 2; }

    // Text whose line box (the descent below the baseline included) has its bottom left at (x, y).
    void text(const QString& text, const QFont& font, const QColor& color, qreal x, qreal y) {
        painter_.setFont(font);
        painter_.setPen(color);
        painter_.drawText(QPointF(x, up(y) - QFontMetricsF(font, painter_.device()).descent()), text);
    }

    void lockSign() {
        painter_.setBrush(Qt::NoBrush);
        painter_.setPen(QPen(iconColor(IconHue::red, palette_), 1.0));
        painter_.drawEllipse(rect(0.5 * w_, 1.0, 0.45 * w_, 0.45 * h_));
        painter_.drawLine(QPointF(0.5 * w_ + 2.0, up(3.0)), QPointF(0.85 * w_ + 1.0, up(0.34 * h_ + 2.0)));
    }

private:
    QPainter& painter_;
    const QPalette& palette_;
    qreal w_;
    qreal h_;
};

std::optional<IconHue> tagHue(const QString& name) {
    static const std::array<std::pair<QLatin1StringView, IconHue>, 7> hues{{
        {QLatin1StringView("Red"), IconHue::red},
        {QLatin1StringView("Green"), IconHue::green},
        {QLatin1StringView("Yellow"), IconHue::yellow},
        {QLatin1StringView("Purple"), IconHue::purple},
        {QLatin1StringView("Orange"), IconHue::orange},
        {QLatin1StringView("Gray"), IconHue::grey},
        {QLatin1StringView("Blue"), IconHue::blue},
    }};
    for (const auto& [tag, hue] : hues)
        if (name == tag) return hue;
    return std::nullopt;
}

void drawTagDot(QPainter& painter, const Sheet& sheet, const QString& tagName, const QPalette& palette) {
    const QRectF dot = sheet.rect(2.0, 2.0, kTagDotSide, kTagDotSide);
    if (const auto hue = tagHue(tagName)) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(iconColor(*hue, palette));
    } else {
        painter.setPen(QPen(iconColor(IconHue::grey, palette), 1.0));
        painter.setBrush(Qt::NoBrush);
    }
    painter.drawEllipse(dot);
}

// Today is orange; otherwise the weekend shows as on a wall calendar, Saturday blue and Sunday
// red, whichever day the locale starts its week with.
QColor dayColor(QDate date, const IconSetting& setting) {
    if (date == setting.today) return iconColor(IconHue::orange, setting.palette);
    if (date.dayOfWeek() == Qt::Saturday) return iconColor(IconHue::blue, setting.palette);
    if (date.dayOfWeek() == Qt::Sunday) return iconColor(IconHue::red, setting.palette);
    return setting.palette.color(QPalette::Text);
}

// A snake curled into an S, head up at the right, on the tile.
void drawSnake(QPainter& painter, QSizeF size, const QPalette& palette) {
    const auto at = [size](qreal x, qreal y) { return QPointF(x * size.width(), y * size.height()); };
    QPainterPath body(at(0.22, 0.80));
    body.cubicTo(at(0.60, 0.95), at(0.88, 0.62), at(0.50, 0.52));
    body.cubicTo(at(0.14, 0.42), at(0.40, 0.08), at(0.70, 0.24));
    const QColor green = iconColor(IconHue::green, palette);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(green, 0.13 * size.width(), Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(body);
    painter.setPen(Qt::NoPen);
    painter.setBrush(green);
    painter.drawEllipse(at(0.74, 0.22), 0.11 * size.width(), 0.09 * size.height());
    painter.setBrush(palette.color(QPalette::Base));
    painter.drawEllipse(at(0.77, 0.19), 0.025 * size.width(), 0.025 * size.height());
}

// The rounded tile behind the style-sheet and script pictures.
void paintTile(QPainter& painter, const Sheet& sheet, const QPalette& palette) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(tileColor(palette));
    painter.drawRoundedRect(QRectF(0, 0, sheet.w(), sheet.h()), kTileRadius, kTileRadius);
}

} // namespace

QColor iconColor(IconHue hue, const QPalette& palette) {
    // Light and dark variants of each hue: darker ones keep contrast on a light base, lighter
    // ones on a dark base.
    static const std::array<std::pair<QColor, QColor>, 7> colors{{
        {QColor(128, 128, 134), QColor(152, 152, 158)}, // grey
        {QColor(214, 40, 36), QColor(255, 96, 86)},     // red
        {QColor(232, 118, 0), QColor(255, 166, 48)},    // orange
        {QColor(214, 168, 0), QColor(255, 214, 56)},    // yellow
        {QColor(36, 156, 64), QColor(84, 212, 112)},    // green
        {QColor(20, 102, 224), QColor(96, 164, 255)},   // blue
        {QColor(146, 68, 196), QColor(194, 128, 246)},  // purple
    }};
    const auto& [light, dark] = colors[static_cast<std::size_t>(hue)];
    return isDark(palette) ? dark : light;
}

QImage drawDateIcon(QDate date, bool locked, QSize size, const QString& tagName, const IconSetting& setting) {
    QImage image = newImage(size, setting.devicePixelRatio);
    QPainter painter(&image);
    prepare(painter);
    Sheet sheet(painter, size, setting.palette);
    const qreal h = sheet.h();
    const QColor text = setting.palette.color(QPalette::Text);
    const QColor grey = iconColor(IconHue::grey, setting.palette);
    const CalendarSheetText shown = CalendarSheetText::of(date, setting.locale);
    const CalendarSheetText current = CalendarSheetText::of(setting.today, setting.locale);

    painter.fillRect(QRectF(0, 0, sheet.w(), h), setting.palette.color(QPalette::Base));
    if (!tagName.isEmpty()) drawTagDot(painter, sheet, tagName, setting.palette);

    const QFont monthFont = sansFont(0.22 * h);
    sheet.text(shown.month, monthFont, shown.month == current.month ? text : grey,
               sheet.centred(shown.month, monthFont), 0.75 * h);

    const QFont dayFont = sansFont(0.56 * h, true);
    sheet.text(shown.day, dayFont, dayColor(date, setting), sheet.centred(shown.day, dayFont), 0.2 * h - 1.0);

    const QFont yearFont = sansFont(0.25 * h);
    const qreal shift = tagName.isEmpty() ? 0.0 : kTaggedYearShift;
    sheet.text(shown.year, yearFont, shown.year == current.year ? grey : text,
               sheet.centred(shown.year, yearFont) + shift, -1.0);

    if (locked) sheet.lockSign();
    return image;
}

QImage drawCSSIcon(bool locked, QSize size, const IconSetting& setting) {
    QImage image = newImage(size, setting.devicePixelRatio);
    QPainter painter(&image);
    prepare(painter);
    Sheet sheet(painter, size, setting.palette);
    paintTile(painter, sheet, setting.palette);

    const QFont font = sansFont(0.34 * sheet.h());
    const QColor text = setting.palette.color(QPalette::Text);
    const QString name = QStringLiteral("CSS");
    sheet.text(name, font, text, sheet.centred(name, font), 0.02 * sheet.h());
    sheet.text(QStringLiteral("{ }"), font, text, 0.34 * sheet.w(), 0.52 * sheet.h());
    if (locked) sheet.lockSign();
    return image;
}

QImage drawPythonIcon(bool locked, QSize size, const IconSetting& setting) {
    QImage image = newImage(size, setting.devicePixelRatio);
    QPainter painter(&image);
    prepare(painter);
    Sheet sheet(painter, size, setting.palette);
    paintTile(painter, sheet, setting.palette);
    drawSnake(painter, size, setting.palette);
    if (locked) sheet.lockSign();
    return image;
}

} // namespace quillet
