#pragma once
// Watches a bounded set of folders for entries added, removed or renamed, and reports the
// changed folders in batches: each change restarts a short quiet delay, and the folders changed
// meanwhile are reported together when it runs out, or at the latest a longest wait after the
// first of them, so that a folder that never stops changing is still reported.
//
// Only folders are watched, never single notes, and never more than the limit: every watched
// folder holds one of the user's inotify watches, which all programs share.
//
// Main thread only.

#include "platform/DelayedCall.h"
#include "platform/Dispatcher.h"

#include <QFileSystemWatcher>
#include <QStringList>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>

namespace quillet {

class FolderWatcher {
public:
    using ChangeHandler = std::function<void(const QStringList& folders)>;

    static constexpr std::size_t kDefaultLimit = 1000;
    static constexpr platform::Duration kQuietDelay{200};
    static constexpr platform::Duration kLongestWait{800};

    FolderWatcher(platform::Dispatcher& dispatcher, ChangeHandler onChange);
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    std::size_t limit() const { return limit_; }
    // Takes effect at the next watch().
    void setLimit(std::size_t limit) { limit_ = limit; }

    // Watches the first `limit` of the folders, in the order given, and stops watching the others.
    void watch(const QStringList& folders);
    bool isWatching(const QString& folder) const;
    // The folders the file system is asked to watch.
    QStringList watchedFolders() const { return watcher_.directories(); }

    // A change to the folder, as the file system reports it.
    void folderDidChange(const QString& folder);

private:
    void report();

    ChangeHandler onChange_;
    std::size_t limit_ = kDefaultLimit;
    QFileSystemWatcher watcher_;
    platform::DelayedCall reportCall_;
    QStringList changed_;
    std::optional<std::chrono::steady_clock::time_point> firstChange_;
    bool warnedOfFailure_ = false;
};

} // namespace quillet
