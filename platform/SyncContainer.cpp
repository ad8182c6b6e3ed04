#include "platform/SyncContainer.h"

#include "platform/ConflictCopies.h"
#include "platform/FileOperations.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <mutex>

namespace quillet::platform {
namespace {

bool isHexSuffix(QStringView text) {
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (!c.isDigit() && !(c >= u'a' && c <= u'f') && !(c >= u'A' && c <= u'F')) return false;
    return true;
}

QStringView between(QStringView name, QStringView prefix, QStringView suffix) {
    if (name.size() <= prefix.size() + suffix.size() || !name.startsWith(prefix) || !name.endsWith(suffix))
        return {};
    return name.sliced(prefix.size(), name.size() - prefix.size() - suffix.size());
}

std::mutex launchMutex;
std::optional<QString> launchFolder;

} // namespace

std::optional<QString> launchSyncFolder() {
    std::lock_guard lock(launchMutex);
    return launchFolder;
}

void setLaunchSyncFolder(std::optional<QString> folder) {
    std::lock_guard lock(launchMutex);
    launchFolder = std::move(folder);
}

QString syncDocumentsPath(const QString& root) {
    return QDir(root).filePath(QString::fromLatin1(sync_folder::kDocumentsName));
}

QString syncKeyValueStorePath(const QString& root) {
    return QDir(root).filePath(QString::fromLatin1(sync_folder::kKeyValueFileName));
}

std::optional<QString> chosenSyncFolder(const UserDefaults& defaults,
                                        const std::optional<QString>& launchFolder) {
    std::optional<QString> chosen = launchFolder;
    if (!chosen || chosen->isEmpty())
        chosen = defaults.string(QString::fromLatin1(sync_folder::kSettingsKey));
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    return QDir::cleanPath(QFileInfo(*chosen).absoluteFilePath());
}

Status prepareSyncFolder(const QString& root) {
    if (!QFileInfo(root).isDir()) return Status::fromErrno(ENOENT, root);
    const QString documents = syncDocumentsPath(root);
    for (const QString& path :
         {documents, documents + QStringLiteral("/CSS"), documents + QStringLiteral("/Script")}) {
        if (QFileInfo(path).isDir()) continue;
        if (Status made = createFolder(path, false); !made) return made;
    }
    return Status::success();
}

std::optional<QString> syncTemporaryTarget(QStringView name) {
    // Syncthing: ".syncthing.NAME.tmp", and "~syncthing~NAME.tmp" where dot names are not hidden.
    for (const QStringView prefix : {QStringView(u".syncthing."), QStringView(u"~syncthing~")})
        if (const QStringView target = between(name, prefix, u".tmp"); !target.isEmpty())
            return target.toString();
    // Nextcloud and ownCloud: "NAME.part", "NAME.~tmp~", and downloads to ".NAME.~1a2b3c".
    for (const QStringView suffix : {QStringView(u".part"), QStringView(u".~tmp~")}) {
        if (const QStringView target = between(name, u"", suffix); !target.isEmpty()) {
            const QStringView shown = target.startsWith(u'.') ? target.sliced(1) : target;
            if (!shown.isEmpty()) return shown.toString();
        }
    }
    if (name.startsWith(u'.')) {
        const qsizetype marker = name.lastIndexOf(u".~");
        if (marker > 1 && isHexSuffix(name.sliced(marker + 2))) return name.sliced(1, marker - 1).toString();
    }
    return std::nullopt;
}

bool isSyncEngineFile(QStringView name) {
    static const QStringView exact[] = {u".stfolder",        u".stversions",       u".stignore",
                                        u".stglobalignore",  u".owncloudsync.log", u".nextcloudsync.log",
                                        u".sync-exclude.lst"};
    for (const QStringView engineName : exact)
        if (name == engineName) return true;
    if (name.startsWith(u".stfolder") || name.startsWith(u".owncloudsync.log")) return true;
    // The Nextcloud and ownCloud clients' journals: ".sync_HASH.db", "._sync_HASH.db-wal", …
    if ((name.startsWith(u".sync_") || name.startsWith(u"._sync_")) && name.contains(u".db")) return true;
    if (name.endsWith(u".tmp")) return true;
    // Conflict copies are the open note's to resolve; they never show as notes of their own.
    if (isConflictCopyName(name.toString())) return true;
    return syncTemporaryTarget(name).has_value();
}

} // namespace quillet::platform
