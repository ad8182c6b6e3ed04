// The date line of browser rows around midnight.

#include "browser/view/DateConvert.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

QDateTime local(int year, int month, int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

TEST(DateConvert, TodayAndYesterdayEndAtMidnight) {
    const QDateTime now = local(2024, 3, 15, 12, 0);
    const QDateTime morning = local(2024, 3, 15, 9, 30, 5);
    EXPECT_EQ(dateConvert(morning, now, kEnglish), QStringLiteral("Today ") + mediumTime(morning, kEnglish));
    const QDateTime lateYesterday = local(2024, 3, 14, 23, 59);
    EXPECT_EQ(dateConvert(lateYesterday, now, kEnglish),
              QStringLiteral("Yesterday ") + mediumTime(lateYesterday, kEnglish));
    const QDateTime earlyYesterday = local(2024, 3, 14, 0, 0, 1);
    EXPECT_TRUE(dateConvert(earlyYesterday, now, kEnglish).startsWith(QStringLiteral("Yesterday ")));

    // Exactly at a midnight, or a whole day away from today's, the date shows in full.
    for (const QDateTime& full :
         {local(2024, 3, 15, 0, 0), local(2024, 3, 14, 0, 0), local(2024, 3, 16, 0, 0),
          local(2024, 3, 13, 23, 59), local(2023, 3, 15, 9, 0)})
        EXPECT_EQ(dateConvert(full, now, kEnglish), mediumDateTime(full, kEnglish))
            << full.toString().toStdString();
    // A moment later today (ahead of the clock) is still today.
    EXPECT_TRUE(dateConvert(local(2024, 3, 15, 23, 0), now, kEnglish).startsWith(QStringLiteral("Today ")));
    // A date given in another time zone counts by its local time.
    EXPECT_TRUE(dateConvert(morning.toUTC(), now, kEnglish).startsWith(QStringLiteral("Today ")));
}

TEST(DateConvert, UsesTheLocalesMediumStyles) {
    const QDateTime date = local(2024, 3, 14, 15, 7, 9);
    EXPECT_TRUE(mediumTime(date, kEnglish).contains(QStringLiteral("3:07:09")));
    EXPECT_TRUE(mediumTime(date, kEnglish).contains(QStringLiteral("PM")));
    const QString full = mediumDateTime(date, kEnglish);
    EXPECT_TRUE(full.contains(QStringLiteral("Mar 14, 2024"))) << full.toStdString();
    EXPECT_TRUE(full.contains(QStringLiteral("3:07:09"))) << full.toStdString();
    const QString german = mediumDateTime(date, QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(german.contains(QStringLiteral("14.03.2024"))) << german.toStdString();
    EXPECT_TRUE(german.contains(QStringLiteral("15:07:09"))) << german.toStdString();
}

} // namespace
} // namespace quillet
