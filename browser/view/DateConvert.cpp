#include "browser/view/DateConvert.h"

#include <QCoreApplication>
#include <map>
#include <memory>
#include <mutex>
#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <utility>

namespace quillet {

namespace {

constexpr qint64 kSecondsPerDay = 86400;

icu::Locale icuLocale(const QLocale& locale) {
    if (locale.language() == QLocale::C) return icu::Locale("en_US_POSIX");
    return icu::Locale(locale.name().toUtf8().constData());
}

// Formats in the process's local time zone, the one QDateTime's local time uses.
QString format(icu::DateFormat* formatter, const QDateTime& date) {
    if (!formatter) return date.toLocalTime().toString(Qt::ISODate);
    icu::UnicodeString text;
    formatter->format(static_cast<UDate>(date.toMSecsSinceEpoch()), text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

QString todayOrYesterday(const char* day, const QString& time) {
    return QStringLiteral("%1 %2").arg(QCoreApplication::translate("FolderViewController", day), time);
}

// Formatters are costly to make and every painted row asks for one: they are kept per style and
// locale. Formatting is not thread-safe, hence the lock.
QString formatMedium(bool withDate, const QDateTime& date, const QLocale& locale) {
    static std::mutex mutex;
    static std::map<std::pair<bool, QString>, std::unique_ptr<icu::DateFormat>> formatters;
    const std::lock_guard lock(mutex);
    std::unique_ptr<icu::DateFormat>& formatter = formatters[{withDate, locale.name()}];
    if (!formatter) {
        const icu::Locale icu = icuLocale(locale);
        formatter.reset(withDate ? icu::DateFormat::createDateTimeInstance(icu::DateFormat::kMedium,
                                                                           icu::DateFormat::kMedium, icu)
                                 : icu::DateFormat::createTimeInstance(icu::DateFormat::kMedium, icu));
    }
    return format(formatter.get(), date);
}

} // namespace

QString mediumTime(const QDateTime& date, const QLocale& locale) {
    return formatMedium(false, date, locale);
}

QString mediumDateTime(const QDateTime& date, const QLocale& locale) {
    return formatMedium(true, date, locale);
}

QString dateConvert(const QDateTime& date, const QDateTime& now, const QLocale& locale) {
    const QDateTime startOfToday = now.toLocalTime().date().startOfDay();
    const qint64 seconds = startOfToday.secsTo(date);
    if (seconds > 0 && seconds < kSecondsPerDay)
        return todayOrYesterday(QT_TRANSLATE_NOOP("FolderViewController", "Today"), mediumTime(date, locale));
    if (seconds < 0 && seconds > -kSecondsPerDay)
        return todayOrYesterday(QT_TRANSLATE_NOOP("FolderViewController", "Yesterday"),
                                mediumTime(date, locale));
    return mediumDateTime(date, locale);
}

} // namespace quillet
