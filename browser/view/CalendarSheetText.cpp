#include "browser/view/CalendarSheetText.h"

#include <memory>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

namespace quillet {

namespace {

icu::Locale icuLocale(const QLocale& locale) {
    if (locale.language() == QLocale::C) return icu::Locale("en_US_POSIX");
    return icu::Locale(locale.name().toUtf8().constData());
}

QString format(const char* pattern, UDate moment, const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat formatter(icu::UnicodeString(pattern, -1, US_INV), locale, status);
    if (U_FAILURE(status)) return {};
    icu::UnicodeString text;
    formatter.format(moment, text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

} // namespace

CalendarSheetText CalendarSheetText::of(QDate date, const QLocale& locale) {
    if (!date.isValid()) return {};
    const icu::Locale where = icuLocale(locale);
    UErrorCode status = U_ZERO_ERROR;
    // The day's noon in the default zone, which is the zone the day was taken in: no switch to
    // or from summer time moves noon into another day.
    icu::GregorianCalendar calendar(where, status);
    if (U_FAILURE(status)) return {};
    calendar.clear();
    calendar.set(date.year(), date.month() - 1, date.day(), 12, 0);
    const UDate noon = calendar.getTime(status);
    if (U_FAILURE(status)) return {};
    return {format("MMM", noon, where), format("dd", noon, where), format("YYYY", noon, where)};
}

} // namespace quillet
