#include "browser/FolderWatcher.h"

#include <QFileInfo>
#include <QSet>
#include <QtDebug>
#include <algorithm>
#include <utility>

namespace quillet {

FolderWatcher::FolderWatcher(platform::Dispatcher& dispatcher, ChangeHandler onChange)
    : onChange_(std::move(onChange)), reportCall_(dispatcher) {
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &watcher_,
                     [this](const QString& folder) { folderDidChange(folder); });
}

void FolderWatcher::watch(const QStringList& folders) {
    QSet<QString> wanted;
    QStringList added;
    for (const QString& folder : folders) {
        if (std::size_t(wanted.size()) >= limit_) break;
        if (!folder.isEmpty() && !wanted.contains(folder)) {
            wanted.insert(folder);
            added.append(folder);
        }
    }
    // A folder removed or renamed on disk has already left directories().
    QStringList dropped;
    for (const QString& folder : watcher_.directories()) {
        if (wanted.contains(folder))
            added.removeOne(folder);
        else
            dropped.append(folder);
    }
    if (!dropped.isEmpty()) watcher_.removePaths(dropped);
    if (added.isEmpty()) return;
    QStringList failed = watcher_.addPaths(added);
    // Folders that vanished meanwhile fail too; a full inotify table is worth one warning.
    failed.removeIf([](const QString& folder) { return !QFileInfo(folder).isDir(); });
    if (!failed.isEmpty() && !warnedOfFailure_) {
        warnedOfFailure_ = true;
        qWarning("can't watch %lld folders of the library for changes, starting with '%s'",
                 static_cast<long long>(failed.size()), qUtf8Printable(failed.front()));
    }
}

bool FolderWatcher::isWatching(const QString& folder) const {
    return watcher_.directories().contains(folder);
}

void FolderWatcher::folderDidChange(const QString& folder) {
    const auto now = std::chrono::steady_clock::now();
    if (!changed_.contains(folder)) changed_.append(folder);
    if (!firstChange_) firstChange_ = now;
    const auto waited = std::chrono::duration_cast<platform::Duration>(now - *firstChange_);
    const platform::Duration delay = std::clamp(kLongestWait - waited, platform::Duration(0), kQuietDelay);
    reportCall_.schedule(delay, [this] { report(); });
}

void FolderWatcher::report() {
    const QStringList changed = std::exchange(changed_, {});
    firstChange_.reset();
    if (onChange_ && !changed.isEmpty()) onChange_(changed);
}

} // namespace quillet
