#include "documents/RecoveryFile.h"

#include "platform/FileOperations.h"
#include "platform/TextFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace quillet {

QString recoveryFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/quillet");
}

QString keepRecoveryText(const QString& notePath, const QString& text) {
    const QString folder = recoveryFolder();
    if (!QDir().mkpath(folder)) return {};
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    const QString base = QFileInfo(notePath).completeBaseName() + QLatin1Char(' ') + stamp;
    for (int number = 1; number < 1000; ++number) {
        const QString name = number == 1 ? base : base + QLatin1Char(' ') + QString::number(number);
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".md");
        if (platform::itemExists(path)) continue;
        return platform::writeUtf8FileAtomically(path, text) ? path : QString();
    }
    return {};
}

} // namespace quillet
