// The date line of browser rows around midnight, in the locale's medium styles.

#include "browser/view/DateConvert.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

QDateTime local(int day, int hour, int minute, int second = 0, int year = 2024) {
    return QDateTime(QDate(year, 3, day), QTime(hour, minute, second), Qt::LocalTime);
}

TEST(DateConvert, TodayAndYesterdayEndAtMidnightInTheLocalesMediumStyles) {
    const QDateTime now = local(15, 12, 0);
    const QString today = "Today ", yesterday = "Yesterday ", full;
    // A moment later today (ahead of the clock) is still today; exactly at a midnight, or a whole
    // day away from today's, the date shows in full. Another time zone counts by its local time.
    const std::vector<std::pair<QDateTime, QString>> cases{
        {local(15, 9, 30, 5), today},    {local(15, 23, 0), today},       {local(15, 9, 30).toUTC(), today},
        {local(14, 23, 59), yesterday},  {local(14, 0, 0, 1), yesterday}, {local(15, 0, 0), full},
        {local(14, 0, 0), full},         {local(16, 0, 0), full},         {local(13, 23, 59), full},
        {local(15, 9, 0, 0, 2023), full}};
    for (const auto& [date, prefix] : cases)
        EXPECT_EQ(dateConvert(date, now, kEnglish),
                  prefix.isEmpty() ? mediumDateTime(date, kEnglish) : prefix + mediumTime(date, kEnglish))
            << date.toString().toStdString();

    // The locale's medium styles.
    const QDateTime date = local(14, 15, 7, 9);
    EXPECT_EQ(mediumTime(date, kEnglish).simplified(), "3:07:09 PM");
    const QString english = mediumDateTime(date, kEnglish);
    EXPECT_TRUE(english.contains("Mar 14, 2024") && english.contains("3:07:09")) << english.toStdString();
    const QString german = mediumDateTime(date, QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(german.contains("14.03.2024") && german.contains("15:07:09")) << german.toStdString();
}

} // namespace
} // namespace quillet
