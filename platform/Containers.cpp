#include "platform/Containers.h"

#include "platform/FileOperations.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <mutex>

namespace quillet::platform {
namespace {

std::mutex ubiquityMutex;
std::optional<QString> ubiquityPath;

} // namespace

QString documentsLibraryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Quillet");
}

QString formerLocalContainerPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Documents");
}

QString localContainerPath() {
    const QString former = formerLocalContainerPath();
    return QFileInfo(former).isDir() ? former : documentsLibraryPath();
}

Status ensureLocalContainer() {
    return createFolder(localContainerPath(), true);
}

std::optional<QString> ubiquityContainerPath() {
    std::lock_guard lock(ubiquityMutex);
    return ubiquityPath;
}

void setUbiquityContainerPath(std::optional<QString> path) {
    std::lock_guard lock(ubiquityMutex);
    if (path) path = QDir::cleanPath(*path);
    ubiquityPath = std::move(path);
}

bool isUbiquitousItem(const QString& path) {
    const auto container = ubiquityContainerPath();
    if (!container || path.isEmpty()) return false;
    const QString clean = QDir::cleanPath(path);
    if (clean == *container) return true;
    const QString prefix = container->endsWith(u'/') ? *container : *container + u'/';
    return clean.startsWith(prefix);
}

} // namespace quillet::platform
