#include "browser/view/CalendarSheetText.h"

#include <map>
#include <memory>
#include <string>
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

// Making a calendar or a formatter costs far more than using it (it loads the locale's data):
// each thread keeps those of the locales it has used.
struct Formatters {
    std::unique_ptr<icu::GregorianCalendar> calendar;
    std::unique_ptr<icu::SimpleDateFormat> month, day, year;
};

std::unique_ptr<icu::SimpleDateFormat> makeFormatter(const char* pattern, const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    auto formatter =
        std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(pattern, -1, US_INV), locale, status);
    return U_SUCCESS(status) ? std::move(formatter) : nullptr;
}

const Formatters& formattersFor(const icu::Locale& locale) {
    thread_local std::map<std::string, Formatters> kept;
    Formatters& formatters = kept[locale.getName()];
    if (!formatters.calendar) {
        UErrorCode status = U_ZERO_ERROR;
        auto calendar = std::make_unique<icu::GregorianCalendar>(locale, status);
        formatters = {U_SUCCESS(status) ? std::move(calendar) : nullptr, makeFormatter("MMM", locale),
                      makeFormatter("dd", locale), makeFormatter("YYYY", locale)};
    }
    return formatters;
}

QString format(const std::unique_ptr<icu::SimpleDateFormat>& formatter, UDate moment) {
    if (!formatter) return {};
    icu::UnicodeString text;
    formatter->format(moment, text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

} // namespace

CalendarSheetText CalendarSheetText::of(QDate date, const QLocale& locale) {
    if (!date.isValid()) return {};
    const Formatters& formatters = formattersFor(icuLocale(locale));
    if (!formatters.calendar) return {};
    // The day's noon in the default zone, which is the zone the day was taken in: no switch to
    // or from summer time moves noon into another day.
    icu::GregorianCalendar& calendar = *formatters.calendar;
    calendar.clear();
    calendar.set(date.year(), date.month() - 1, date.day(), 12, 0);
    UErrorCode status = U_ZERO_ERROR;
    const UDate noon = calendar.getTime(status);
    if (U_FAILURE(status)) return {};
    return {format(formatters.month, noon), format(formatters.day, noon), format(formatters.year, noon)};
}

} // namespace quillet
