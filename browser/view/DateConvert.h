#pragma once
// The date line of a browser row: "Today 14:05", "Yesterday 09:12", else date and time in the
// user's locale.

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace quillet {

// `now` fixes "today" (local time); the default is the current moment.
QString dateConvert(const QDateTime& date, const QDateTime& now = QDateTime::currentDateTime(),
                    const QLocale& locale = QLocale());

} // namespace quillet
