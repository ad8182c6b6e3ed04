#include "browser/view/DateConvert.h"

#include <QCoreApplication>

namespace quillet {

QString dateConvert(const QDateTime& date, const QDateTime& now, const QLocale& locale) {
    const QDateTime local = now.toLocalTime();
    const QDateTime startOfToday = local.date().startOfDay();
    const qint64 seconds = startOfToday.secsTo(date.toLocalTime());
    constexpr qint64 kDay = 86400;
    const QString time = locale.toString(date.toLocalTime().time(), QLocale::ShortFormat);
    if (seconds > 0 && seconds < kDay)
        return QStringLiteral("%1 %2").arg(QCoreApplication::translate("FolderViewController", "Today"), time);
    if (seconds < 0 && seconds > -kDay)
        return QStringLiteral("%1 %2").arg(QCoreApplication::translate("FolderViewController", "Yesterday"), time);
    return QStringLiteral("%1 %2").arg(locale.toString(date.toLocalTime().date(), QLocale::ShortFormat), time);
}

} // namespace quillet
