#include "documents/RecentFolders.h"

#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileInfo>

namespace quillet {

namespace {

QString recentKey() {
    return QString::fromLatin1(platform::defaults_keys::kRecentOpenedFolders);
}
QString lastKey() {
    return QString::fromLatin1(platform::defaults_keys::kLastOpenedFolder);
}

} // namespace

QVariantMap RecentFolder::toEntry() const {
    return {{QStringLiteral("path"), path}, {QStringLiteral("bookmark"), bookmark}};
}

std::optional<RecentFolder> RecentFolder::fromEntry(const QVariant& entry) {
    const QVariantMap map = entry.toMap();
    RecentFolder folder{map.value(QStringLiteral("path")).toString(),
                        map.value(QStringLiteral("bookmark")).toByteArray()};
    if (folder.path.isEmpty()) return std::nullopt;
    return folder;
}

QString RecentFolder::title() const {
    const QString name = QFileInfo(QDir::cleanPath(path)).fileName();
    return name.isEmpty() ? path : name;
}

void RecentFolders::load() {
    entries_.clear();
    for (const QVariant& entry : defaults_.array(recentKey()).value_or(QVariantList{}))
        if (std::optional<RecentFolder> folder = RecentFolder::fromEntry(entry)) entries_.append(*folder);
}

void RecentFolders::add(const RecentFolder& folder) {
    entries_.removeIf([&folder](const RecentFolder& entry) { return entry.path == folder.path; });
    entries_.append(folder);
    QVariantList stored;
    for (const RecentFolder& entry : entries_)
        stored.append(entry.toEntry());
    defaults_.setObject(recentKey(), stored);
}

void RecentFolders::clear() {
    entries_.clear();
    defaults_.remove(recentKey());
}

std::optional<RecentFolder> RecentFolders::lastOpened() const {
    const std::optional<QVariantMap> entry = defaults_.dictionary(lastKey());
    if (!entry) return std::nullopt;
    return RecentFolder::fromEntry(*entry);
}

void RecentFolders::setLastOpened(const RecentFolder& folder) {
    defaults_.setObject(lastKey(), folder.toEntry());
}

void RecentFolders::forgetLastOpened() {
    defaults_.remove(lastKey());
}

} // namespace quillet
