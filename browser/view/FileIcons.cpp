#include "browser/view/FileIcons.h"

#include <QFileIconProvider>

namespace quillet {

namespace {

const QString kStyleSheetType = QStringLiteral("public.css");
const QString kScriptType = QStringLiteral("public.python-script");

QIcon providerIcon(QAbstractFileIconProvider::IconType type) {
    static const QFileIconProvider provider;
    return provider.icon(type);
}

QIcon themedFile(const QString& themeName) {
    return QIcon::fromTheme(themeName, QIcon::fromTheme(QStringLiteral("text-x-generic"),
                                                        providerIcon(QAbstractFileIconProvider::File)));
}

bool hasType(const FileRepresentation& record, const QString& type) {
    return record.UTI && *record.UTI == type;
}

} // namespace

QIcon topIcon(const FileRepresentation& top) {
    static const QIcon folder = providerIcon(QAbstractFileIconProvider::Folder);
    static const QIcon network = providerIcon(QAbstractFileIconProvider::Network);
    return top.displayName == QStringLiteral("On My Mac") ? folder : network;
}

QIcon entryIcon(const FileRepresentation& entry) {
    static const QIcon folder = providerIcon(QAbstractFileIconProvider::Folder);
    static const QIcon styleSheet = themedFile(QStringLiteral("text-css"));
    static const QIcon script = themedFile(QStringLiteral("text-x-python"));
    static const QIcon note = themedFile(QStringLiteral("text-markdown"));
    if (hasType(entry, kStyleSheetType)) return styleSheet;
    if (hasType(entry, kScriptType)) return script;
    if (entry.directory) return folder;
    return note;
}

int iconSide(const FileRepresentation& record) {
    if (hasType(record, kStyleSheetType) || hasType(record, kScriptType)) return 28;
    if (record.directory || record.top) return 21;
    return 38;
}

} // namespace quillet
