#include "platform/DirectoryWatcher.h"

#include <QFile>
#include <QSet>
#include <QSocketNotifier>
#include <algorithm>
#include <cstdint>
#include <sys/inotify.h>
#include <unistd.h>

namespace quillet::platform {
namespace {

// No IN_MODIFY: a file being written is reported once, when it is closed (or renamed into place).
constexpr std::uint32_t kMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                                IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::size_t kMostWatches = 8192;

} // namespace

DirectoryWatcher::DirectoryWatcher(QObject* parent) : QObject(parent), limit_(defaultLimit()) {
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) return;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &DirectoryWatcher::readEvents);
}

DirectoryWatcher::~DirectoryWatcher() {
    if (fd_ >= 0) ::close(fd_); // drops every watch at once
}

std::size_t DirectoryWatcher::defaultLimit() {
    QFile file(QStringLiteral("/proc/sys/fs/inotify/max_user_watches"));
    bool ok = false;
    const std::size_t available =
        file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toULongLong(&ok) : 0;
    return ok ? std::min(kMostWatches, available / 4) : 1024;
}

std::size_t DirectoryWatcher::watch(const QStringList& folders) {
    if (fd_ < 0) return 0;
    const QStringList wanted = folders.mid(0, qsizetype(limit_));
    const QSet<QString> wantedSet(wanted.begin(), wanted.end());
    for (auto it = paths_.begin(); it != paths_.end();) {
        if (wantedSet.contains(it.value())) {
            ++it;
            continue;
        }
        ::inotify_rm_watch(fd_, it.key());
        it = paths_.erase(it);
    }
    const QSet<QString> watched(paths_.cbegin(), paths_.cend());
    for (const QString& folder : wanted) {
        if (watched.contains(folder)) continue;
        const int wd = ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), kMask);
        if (wd >= 0) paths_.insert(wd, folder);
    }
    return std::size_t(paths_.size());
}

void DirectoryWatcher::readEvents() {
    alignas(struct inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0) return;
        for (ssize_t offset = 0; offset < got;) {
            const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + offset);
            offset += ssize_t(sizeof(struct inotify_event) + event->len);
            const QString folder = paths_.value(event->wd);
            if (event->mask & IN_IGNORED) paths_.remove(event->wd);
            if (event->mask & IN_Q_OVERFLOW) {
                emit changed(QString(), QString()); // events were lost: anything may have changed
                continue;
            }
            if (folder.isEmpty()) continue;
            const QString name = event->len ? QFile::decodeName(event->name) : QString();
            emit changed(folder, name);
        }
    }
}

} // namespace quillet::platform
