#pragma once
// The browser's row pictures, each drawn once and then reused while the rows are painted again
// and again (scrolling a large library). A change of day (the orange "today"), of the palette's
// text or base colour or of the locale makes every picture stale: the cache then starts afresh.
//
// Main thread only.

#include "browser/view/RowIcons.h"

#include <QDate>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace quillet {

enum class RowIconKind { note, styleSheet, script };

// What a row's picture shows of its file.
struct RowIconSubject {
    RowIconKind kind = RowIconKind::note;
    QDate day; // notes: the local day of the last change
    bool locked = false;
    QString tagName; // notes: the first tag, empty without one

    bool operator==(const RowIconSubject&) const = default;
};

QPixmap rowIcon(const RowIconSubject& subject, QSize size, const IconSetting& setting = {});

} // namespace quillet
