// The drawn row pictures, checked by their pixels: the calendar sheet's colours and texts, the
// tag dot, the lock sign, the pixel ratio, and the cache that keeps them.

#include "browser/view/RowIcons.h"

#include "browser/view/CalendarSheetText.h"
#include "browser/view/FileIcons.h"
#include "browser/view/RowIconCache.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

constexpr int kSide = 38;
const QDate kToday(2026, 12, 9); // a Wednesday

QPalette lightPalette() {
    QPalette palette;
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    return palette;
}

IconSetting setting(const QLocale& locale = QLocale(QStringLiteral("en_US")), qreal ratio = 1.0) {
    return {ratio, lightPalette(), locale, kToday};
}

QColor hue(IconHue which) {
    return iconColor(which, lightPalette());
}

// Pixels in the area that pass the test.
template <typename Test> int count(const QImage& image, QRect area, Test test) {
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            found += test(image.pixelColor(x, y));
    return found;
}
// Pixels of exactly `color` in the rows [top, bottom) of the image.
int count(const QImage& image, QColor color, int top = 0, int bottom = kSide) {
    return count(image, QRect(0, top, image.width(), bottom - top), [color](QColor c) { return c == color; });
}
int countRed(const QImage& image, QRect area) {
    return count(image, area, [](QColor c) { return c.red() - std::max(c.green(), c.blue()) > 60; });
}

// The bands of the sheet: month on top, the day in the middle, the year at the bottom.
constexpr int kDayTop = 10, kDayBottom = 27, kYearTop = 28;

QImage sheet(QDate date, const IconSetting& with = setting(), const QString& tag = {}, bool locked = false) {
    return drawDateIcon(date, locked, QSize(kSide, kSide), tag, with);
}

TEST(RowIcons, TheDayIsOrangeTodayAndColouredAtTheWeekendWhateverDayTheWeekStartsOn) {
    for (const char* name : {"en_US", "de_DE"}) {
        SCOPED_TRACE(name);
        const IconSetting with = setting(QLocale(QString::fromLatin1(name)));
        const auto dayPixels = [&](QDate date, QColor color) {
            return count(sheet(date, with), color, kDayTop, kDayBottom);
        };
        EXPECT_GT(dayPixels(kToday, hue(IconHue::orange)), 20);
        EXPECT_GT(dayPixels(QDate(2026, 12, 12), hue(IconHue::blue)), 20); // Saturday
        EXPECT_GT(dayPixels(QDate(2026, 12, 13), hue(IconHue::red)), 20);  // Sunday
        EXPECT_EQ(dayPixels(QDate(2026, 12, 13), hue(IconHue::blue)), 0);
        EXPECT_GT(dayPixels(QDate(2026, 12, 14), Qt::black), 20); // Monday
        EXPECT_EQ(dayPixels(QDate(2026, 12, 14), hue(IconHue::red)), 0);
        EXPECT_EQ(dayPixels(QDate(2026, 12, 14), hue(IconHue::orange)), 0);
    }
}

// The lightness of the darkest pixel in the rows [top, bottom): text in black reaches near 0,
// thin text in grey never does.
int darkest(const QImage& image, int top, int bottom) {
    int least = 255;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width(); ++x)
            least = std::min(least, image.pixelColor(x, y).lightness());
    return least;
}

TEST(RowIcons, MonthAndYearAreInTheTextColourOnlyWhenTheyDifferFromTodays) {
    const QImage thisMonth = sheet(QDate(2026, 12, 2));
    EXPECT_LT(darkest(thisMonth, 0, kDayTop), 60);
    EXPECT_GT(darkest(thisMonth, kYearTop, kSide), 100);

    const QImage lastYear = sheet(QDate(2025, 11, 5));
    EXPECT_GT(darkest(lastYear, 0, kDayTop), 100);
    EXPECT_LT(darkest(lastYear, kYearTop, kSide), 60);
}

TEST(RowIcons, TheYearIsTheWeekBasedYearOfTheLocale) {
    const CalendarSheetText text =
        CalendarSheetText::of(QDate(2024, 12, 30), QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(text.year, QStringLiteral("2025"));
    EXPECT_EQ(text.month, QStringLiteral("Dec"));
    EXPECT_EQ(text.day, QStringLiteral("30"));
    // 2021-01-01 was a Friday: its week began in 2020 by the ISO rule, but holds 1 January where
    // a week needs only one day of the new year.
    EXPECT_EQ(CalendarSheetText::of(QDate(2021, 1, 1), QLocale(QStringLiteral("de_DE"))).year, "2020");
    EXPECT_EQ(CalendarSheetText::of(QDate(2021, 1, 1), QLocale(QStringLiteral("en_US"))).year, "2021");
}

// The rightmost column with ink of the text colour in the year band.
int yearEnd(const QImage& image) {
    for (int x = image.width() - 1; x >= 0; --x)
        for (int y = kYearTop; y < kSide; ++y)
            if (image.pixelColor(x, y).lightness() < 160) return x;
    return -1;
}

TEST(RowIcons, AColourTagFillsTheDotAnyOtherTagRingsItAndEitherMovesTheYearRight) {
    const QDate lastYear(2025, 11, 5);
    const QPoint dotCentre(6, kSide - 6);
    const QImage red = sheet(lastYear, setting(), QStringLiteral("Red"));
    EXPECT_EQ(red.pixelColor(dotCentre), hue(IconHue::red));
    const QImage other = sheet(lastYear, setting(), QStringLiteral("Work"));
    EXPECT_EQ(other.pixelColor(dotCentre), QColor(Qt::white));
    EXPECT_NE(other.pixelColor(dotCentre.x(), kSide - 10), QColor(Qt::white)); // the ring's top
    EXPECT_EQ(sheet(lastYear).pixelColor(dotCentre), QColor(Qt::white));

    EXPECT_EQ(yearEnd(red) - yearEnd(sheet(lastYear)), 4);
    EXPECT_EQ(yearEnd(other), yearEnd(red));
}

TEST(RowIcons, LockedPicturesShowTheRedSignInTheLowerRightQuarter) {
    const QDate monday(2026, 12, 14);
    const QSize side(28, 28);
    const std::vector<std::pair<QImage, QImage>> lockedAndNot{
        {sheet(monday, setting(), {}, true), sheet(monday)},
        {drawCSSIcon(true, side, setting()), drawCSSIcon(false, side, setting())},
        {drawPythonIcon(true, side, setting()), drawPythonIcon(false, side, setting())},
    };
    for (const auto& [locked, open] : lockedAndNot) {
        const int w = locked.width(), h = locked.height();
        EXPECT_GT(countRed(locked, QRect(w / 2, h / 2, w / 2, h / 2)), 20);
        EXPECT_EQ(countRed(locked, QRect(0, 0, w / 2, h / 2)), 0);
        EXPECT_EQ(countRed(open, open.rect()), 0);
    }
}

TEST(RowIcons, TwiceThePixelRatioGivesTwiceThePixelsInTheSameLayout) {
    const QImage twice =
        sheet(kToday, setting(QLocale(QStringLiteral("en_US")), 2.0), QStringLiteral("Blue"));
    EXPECT_EQ(twice.size(), QSize(2 * kSide, 2 * kSide));
    EXPECT_EQ(twice.devicePixelRatio(), 2.0);
    EXPECT_EQ(twice.pixelColor(12, 2 * kSide - 12), hue(IconHue::blue));
    EXPECT_GT(count(twice, hue(IconHue::orange), 2 * kDayTop, 2 * kDayBottom), 80);
}

TEST(RowIcons, TheCacheKeepsAPictureUntilThePaletteChanges) {
    const RowIconSubject subject{RowIconKind::note, QDate(2026, 3, 4), false, {}};
    IconSetting with = setting();
    const QPixmap first = rowIcon(subject, QSize(kSide, kSide), with);
    EXPECT_EQ(rowIcon(subject, QSize(kSide, kSide), with).cacheKey(), first.cacheKey());

    with.palette.setColor(QPalette::Base, Qt::darkBlue);
    const QPixmap dark = rowIcon(subject, QSize(kSide, kSide), with);
    EXPECT_EQ(dark.toImage().pixelColor(0, 0), QColor(Qt::darkBlue));
    EXPECT_EQ(first.toImage().pixelColor(0, 0), QColor(Qt::white));
}

TEST(RowIcons, NotesStyleSheetsAndScriptsGetTheDrawnPictures) {
    FileRepresentation note;
    note.lastModified = QDateTime::currentDateTime();
    note.setTagNames({QStringLiteral("Green"), QStringLiteral("Red")});
    const QImage drawn = entryIcon(note).pixmap(kSide).toImage();
    const QPalette palette = QGuiApplication::palette();
    EXPECT_EQ(drawn.pixelColor(6, kSide - 6), iconColor(IconHue::green, palette));
    EXPECT_GT(count(drawn, iconColor(IconHue::orange, palette), kDayTop, kDayBottom), 20);

    FileRepresentation styleSheet;
    styleSheet.UTI = QStringLiteral("public.css");
    styleSheet.isImmutable = true;
    const QImage tile = entryIcon(styleSheet).pixmap(28).toImage();
    EXPECT_GT(countRed(tile, QRect(14, 14, 14, 14)), 20);
}

} // namespace
} // namespace quillet
