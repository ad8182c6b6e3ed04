#pragma once
// The date line of a browser row: "Today" or "Yesterday" and the time in the medium time style
// for dates within the day that began at today's midnight or the day before it, else the date
// and time in the medium styles of the locale.

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace quillet {

// `now` fixes "today" (local time); the default is the current moment. A date exactly at a
// midnight belongs to neither day and shows in full.
QString dateConvert(const QDateTime& date, const QDateTime& now = QDateTime::currentDateTime(),
                    const QLocale& locale = QLocale());

// The medium time style ("2:05:09 PM") and the medium date-and-time style of the locale.
QString mediumTime(const QDateTime& date, const QLocale& locale);
QString mediumDateTime(const QDateTime& date, const QLocale& locale);

} // namespace quillet
