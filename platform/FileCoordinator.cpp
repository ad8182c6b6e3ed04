#include "platform/FileCoordinator.h"

#include <QDir>
#include <cerrno>
#include <map>
#include <memory>
#include <mutex>

namespace quillet::platform {
namespace {

// One recursive lock per path in use, shared by every coordinator of the process; an entry
// lives while someone holds or waits for it.
class PathLocks {
public:
    struct Entry {
        std::recursive_mutex mutex;
        int users = 0;
    };

    std::shared_ptr<Entry> acquire(const QString& path) {
        std::shared_ptr<Entry> entry;
        {
            std::lock_guard lock(mutex_);
            auto& slot = entries_[path];
            if (!slot) slot = std::make_shared<Entry>();
            ++slot->users;
            entry = slot;
        }
        entry->mutex.lock();
        return entry;
    }

    void release(const QString& path, const std::shared_ptr<Entry>& entry) {
        entry->mutex.unlock();
        std::lock_guard lock(mutex_);
        if (--entry->users == 0) entries_.erase(path);
    }

    static PathLocks& shared() {
        static PathLocks locks;
        return locks;
    }

private:
    std::mutex mutex_;
    std::map<QString, std::shared_ptr<Entry>> entries_;
};

class HeldPath {
public:
    explicit HeldPath(QString path) : path_(std::move(path)), entry_(PathLocks::shared().acquire(path_)) {}
    ~HeldPath() { PathLocks::shared().release(path_, entry_); }
    HeldPath(const HeldPath&) = delete;
    HeldPath& operator=(const HeldPath&) = delete;

private:
    QString path_;
    std::shared_ptr<PathLocks::Entry> entry_;
};

std::optional<QString> coordinatedPath(const QString& path) {
    if (path.isEmpty() || !QDir::isAbsolutePath(path)) return std::nullopt;
    return QDir::cleanPath(path);
}

Status notCoordinated(const QString& path) {
    return Status::failure(QStringLiteral("Can't coordinate access to “%1”: not an absolute path.").arg(path),
                           EINVAL);
}

Status coordinateOne(const QString& path, const std::function<void(const QString&)>& accessor) {
    const auto clean = coordinatedPath(path);
    if (!clean) return notCoordinated(path);
    HeldPath held(*clean);
    accessor(*clean);
    return Status::success();
}

} // namespace

Status FileCoordinator::coordinateReading(const QString& path, ReadingOption,
                                          const std::function<void(const QString&)>& accessor) {
    return coordinateOne(path, accessor);
}

Status FileCoordinator::coordinateWriting(const QString& path, WritingOption,
                                          const std::function<void(const QString&)>& accessor) {
    return coordinateOne(path, accessor);
}

Status
FileCoordinator::coordinateWriting(const QString& first, WritingOption, const QString& second, WritingOption,
                                   const std::function<void(const QString&, const QString&)>& accessor) {
    const auto a = coordinatedPath(first);
    if (!a) return notCoordinated(first);
    const auto b = coordinatedPath(second);
    if (!b) return notCoordinated(second);
    // Always the smaller path first, so two opposite moves cannot each hold what the other needs.
    const QString& lower = std::min(*a, *b);
    const QString& upper = std::max(*a, *b);
    HeldPath heldLower(lower);
    std::optional<HeldPath> heldUpper;
    if (upper != lower) heldUpper.emplace(upper);
    accessor(*a, *b);
    return Status::success();
}

} // namespace quillet::platform
