#include "browser/view/FileIcons.h"

#include "browser/view/RowIconCache.h"

#include <QFileIconProvider>
#include <QIconEngine>
#include <QPainter>
#include <QWidget>

namespace quillet {

namespace {

const QString kStyleSheetType = QStringLiteral("public.css");
const QString kScriptType = QStringLiteral("public.python-script");

QIcon providerIcon(QAbstractFileIconProvider::IconType type) {
    static const QFileIconProvider provider;
    return provider.icon(type);
}

bool hasType(const FileRepresentation& record, const QString& type) {
    return record.UTI && *record.UTI == type;
}

// Draws the row picture at whatever size and pixel ratio it is asked for, from the cache.
class RowIconEngine final : public QIconEngine {
public:
    explicit RowIconEngine(RowIconSubject subject) : subject_(std::move(subject)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        QPaintDevice* device = painter->device();
        IconSetting setting;
        setting.devicePixelRatio = device->devicePixelRatioF();
        if (device->devType() == QInternal::Widget)
            setting.palette = static_cast<QWidget*>(device)->palette();
        painter->drawPixmap(rect, rowIcon(subject_, rect.size(), setting));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State, qreal scale) override {
        IconSetting setting;
        setting.devicePixelRatio = scale;
        return rowIcon(subject_, size, setting);
    }
    QIconEngine* clone() const override { return new RowIconEngine(subject_); }
    QString key() const override { return QStringLiteral("quillet-row"); }

private:
    RowIconSubject subject_;
};

QIcon drawnIcon(RowIconSubject subject) {
    return QIcon(new RowIconEngine(std::move(subject)));
}

} // namespace

QIcon topIcon(const FileRepresentation& top) {
    static const QIcon folder = providerIcon(QAbstractFileIconProvider::Folder);
    static const QIcon network = providerIcon(QAbstractFileIconProvider::Network);
    return top.displayName == QStringLiteral("On This Computer") ? folder : network;
}

QIcon entryIcon(const FileRepresentation& entry) {
    if (hasType(entry, kStyleSheetType))
        return drawnIcon({RowIconKind::styleSheet, {}, entry.isImmutable, {}});
    if (hasType(entry, kScriptType)) return drawnIcon({RowIconKind::script, {}, entry.isImmutable, {}});
    if (entry.directory) {
        static const QIcon folder = providerIcon(QAbstractFileIconProvider::Folder);
        return folder;
    }
    const QDate day = entry.lastModified ? entry.lastModified->toLocalTime().date() : QDate();
    return drawnIcon({RowIconKind::note, day, entry.isImmutable, entry.tagNames().value(0)});
}

int iconSide(const FileRepresentation& record) {
    if (hasType(record, kStyleSheetType) || hasType(record, kScriptType)) return 28;
    if (record.directory || record.top) return 21;
    return 38;
}

} // namespace quillet
