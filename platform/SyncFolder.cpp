#include "platform/SyncFolder.h"

#include "platform/SyncContainer.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <mutex>

namespace quillet::platform {
namespace {

std::mutex overridesMutex;
std::optional<QString> folderOverride;
std::optional<QString> deviceOverride;

QString fromDefaults(const char* key) {
    return UserDefaults::standard().string(QString::fromLatin1(key)).value_or(QString());
}

QString thisDeviceID() {
    std::lock_guard lock(overridesMutex);
    return deviceOverride ? *deviceOverride : fromDefaults("QuilletSyncDeviceID");
}

// Symbolic links resolved, so that a note reached through one is still found inside.
QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : resolved;
}

} // namespace

QString syncFolderPath() {
    {
        std::lock_guard lock(overridesMutex);
        if (folderOverride) return *folderOverride;
    }
    // The folder --sync-folder named for this run, else the one chosen in Preferences.
    if (const std::optional<QString> launch = launchSyncFolder()) return *launch;
    return fromDefaults(sync_folder::kSettingsKey);
}

void overrideSyncFolderPath(std::optional<QString> path) {
    std::lock_guard lock(overridesMutex);
    folderOverride = std::move(path);
}

void overrideThisDeviceID(std::optional<QString> id) {
    std::lock_guard lock(overridesMutex);
    deviceOverride = std::move(id);
}

bool isSyncedItem(const QString& path) {
    const QString folder = syncFolderPath();
    if (folder.isEmpty() || path.isEmpty()) return false;
    const QString root = canonical(folder);
    const QString item = canonical(path);
    return item.startsWith(root + QLatin1Char('/'));
}

bool savedByThisComputer(const ConflictCopyName& copy) {
    if (copy.device.isEmpty()) return true;
    const QString id = thisDeviceID().trimmed().toUpper();
    if (id.size() >= 7 && copy.device.compare(id.left(7), Qt::CaseInsensitive) == 0) return true;
    return copy.device.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}

} // namespace quillet::platform
