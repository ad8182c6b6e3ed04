#pragma once
// Watches folders (never single files) with inotify and reports, on the main thread, each entry
// of a watched folder that was created, deleted, moved in or out, written and closed, or had its
// attributes changed, and watched folders that went away.
//
// Every watched folder holds one of the user's inotify watches, which all programs share
// (/proc/sys/fs/inotify/max_user_watches): the watcher never takes more than its limit.

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstddef>

class QSocketNotifier;

namespace quillet::platform {

class DirectoryWatcher : public QObject {
    Q_OBJECT

public:
    explicit DirectoryWatcher(QObject* parent = nullptr);
    ~DirectoryWatcher() override;

    // A quarter of the user's watches, at most 8192: room is left for every other program.
    static std::size_t defaultLimit();
    std::size_t limit() const { return limit_; }
    void setLimit(std::size_t limit) { limit_ = limit; }

    // Watches the first `limit()` of the folders, in the order given, and no others. Returns how
    // many are watched; 0 when inotify is unavailable.
    std::size_t watch(const QStringList& folders);
    QStringList watchedFolders() const { return paths_.values(); }

signals:
    // `name` is the entry's name; empty when the watched folder itself changed or went. An empty
    // `folder`: the kernel's queue overflowed, and any watched folder may have changed.
    void changed(const QString& folder, const QString& name);

private:
    void readEvents();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    std::size_t limit_;
    QHash<int, QString> paths_; // watch descriptor -> folder
};

} // namespace quillet::platform
