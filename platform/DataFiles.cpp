#include "platform/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quillet::platform {

QString findDataFolder(const QString& executableFolder, const QStringList& dataRoots) {
    QStringList candidates{QDir(executableFolder).filePath(QStringLiteral("../share/quillet"))};
    for (const QString& root : dataRoots)
        candidates << QDir(root).filePath(QStringLiteral("quillet"));
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isDir()) return QDir::cleanPath(candidate);
    }
    return {};
}

QString dataFolder() {
    return findDataFolder(QCoreApplication::applicationDirPath(),
                          QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation));
}

} // namespace quillet::platform
