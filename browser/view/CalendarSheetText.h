#pragma once
// The three lines of a note's calendar-sheet icon for one day, in the locale's words and digits:
// the abbreviated month, the two-digit day of the month and the week-based year (the year that
// the day's week belongs to under the locale's week rules, so 2024-12-30 is in 2025).

#include <QDate>
#include <QLocale>
#include <QString>

namespace quillet {

struct CalendarSheetText {
    QString month;
    QString day;
    QString year;

    static CalendarSheetText of(QDate date, const QLocale& locale = QLocale());
};

} // namespace quillet
