#include "documents/OpenNoteWatcher.h"

#include <QFileInfo>

namespace quillet {

OpenNoteWatcher::OpenNoteWatcher(QObject* parent) : QObject(parent) {
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
        // A file replaced by rename drops out of the watch: take the new one up again.
        if (path == path_ && !watcher_.files().contains(path) && QFileInfo::exists(path)) watcher_.addPath(path);
        emit mayHaveChanged();
    });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!path_.isEmpty() && !watcher_.files().contains(path_) && QFileInfo::exists(path_))
            watcher_.addPath(path_);
        emit mayHaveChanged();
    });
}

void OpenNoteWatcher::watch(const QString& path) {
    if (path == path_) return;
    if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
    path_ = path;
    if (path.isEmpty()) return;
    watcher_.addPath(path);
    watcher_.addPath(QFileInfo(path).absolutePath());
}

} // namespace quillet
