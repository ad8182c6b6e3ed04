#include "browser/view/RowIconCache.h"

#include <QCache>
#include <QHashFunctions>
#include <algorithm>

namespace quillet {

namespace {

// About 32 MB of pictures: several screens of rows at twice the pixel ratio.
constexpr qsizetype kCapacityKB = 32 * 1024;

struct Key {
    RowIconSubject subject;
    QSize size;
    qreal ratio = 1.0;

    bool operator==(const Key&) const = default;
};

size_t qHash(const Key& key, size_t seed = 0) {
    return qHashMulti(seed, static_cast<int>(key.subject.kind), key.subject.day.toJulianDay(),
                      key.subject.locked, key.subject.tagName, key.size.width(), key.size.height(),
                      key.ratio);
}

// What every picture depends on besides its key.
struct Generation {
    QDate today;
    QRgb text = 0;
    QRgb base = 0;
    QString locale;

    bool operator==(const Generation&) const = default;

    static Generation of(const IconSetting& setting) {
        return {setting.today, setting.palette.color(QPalette::Text).rgba(),
                setting.palette.color(QPalette::Base).rgba(), setting.locale.name()};
    }
};

QImage draw(const RowIconSubject& subject, QSize size, const IconSetting& setting) {
    switch (subject.kind) {
    case RowIconKind::styleSheet:
        return drawCSSIcon(subject.locked, size, setting);
    case RowIconKind::script:
        return drawPythonIcon(subject.locked, size, setting);
    case RowIconKind::note:
        break;
    }
    return drawDateIcon(subject.day, subject.locked, size, subject.tagName, setting);
}

} // namespace

QPixmap rowIcon(const RowIconSubject& subject, QSize size, const IconSetting& setting) {
    static QCache<Key, QPixmap> pictures(kCapacityKB);
    static Generation current;
    if (const Generation now = Generation::of(setting); now != current) {
        pictures.clear();
        current = now;
    }
    const Key key{subject, size, setting.devicePixelRatio};
    if (const QPixmap* kept = pictures.object(key)) return *kept;
    auto* picture = new QPixmap(QPixmap::fromImage(draw(subject, size, setting)));
    const QPixmap result = *picture;
    const qsizetype costKB = std::max<qsizetype>(1, result.width() * result.height() * 4 / 1024);
    pictures.insert(key, picture, costKB);
    return result;
}

} // namespace quillet
