#pragma once
// The pictures of the browser's note, style-sheet and script rows, drawn anew on each call:
// a tear-off calendar sheet of the note's day (month, day, week-based year) with the first
// tag's colour as a dot, a "CSS { }" tile, a snake tile for scripts, and a red crossed-out
// circle over any of them when the file is locked.
//
// Sizes are in device-independent pixels; the image holds size × pixel ratio pixels and carries
// the ratio, so it is drawn crisp on any screen. Thread-safe.

#include <QDate>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QPalette>
#include <QSize>
#include <QString>

namespace quillet {

// What besides the file decides how its picture looks.
struct IconSetting {
    qreal devicePixelRatio = 1.0;
    QPalette palette = QGuiApplication::palette();
    QLocale locale;                     // month words, digits, week rules
    QDate today = QDate::currentDate(); // the day drawn in orange; its month and year in the text colour
};

// The colours the pictures use, readable on the palette's base colour, light or dark.
enum class IconHue { grey, red, orange, yellow, green, blue, purple };
QColor iconColor(IconHue hue, const QPalette& palette);

// The note icon of the day `date`. A tag name colours a dot at the bottom left: one of "Red",
// "Orange", "Yellow", "Green", "Blue", "Purple" and "Gray" fills it, any other name rings it in
// grey.
QImage drawDateIcon(QDate date, bool locked, QSize size, const QString& tagName,
                    const IconSetting& setting = {});
QImage drawCSSIcon(bool locked, QSize size, const IconSetting& setting = {});
QImage drawPythonIcon(bool locked, QSize size, const IconSetting& setting = {});

} // namespace quillet
