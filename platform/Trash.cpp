#include "platform/Trash.h"

#include "platform/ExtendedAttributes.h"
#include "platform/FileOperations.h"
#include "platform/ItemLock.h"
#include "platform/PosixFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::platform {

namespace {

constexpr int kMostNames = 10000;

std::optional<dev_t> deviceOf(const QString& path) {
    const auto st = posix::linkStatus(path);
    return st ? std::optional<dev_t>(st->st_dev) : std::nullopt;
}

bool isRealFolder(const QString& path) {
    const auto st = posix::linkStatus(path);
    return st && S_ISDIR(st->st_mode);
}

// Makes `trash` with its "files" and "info" (private to the user); false when it is not a real
// folder afterwards (a file or a link in the way, no permission).
bool prepareTrash(const QString& trash) {
    for (const QString& folder : {trash, trash + QStringLiteral("/files"), trash + QStringLiteral("/info")}) {
        ::mkdir(posix::nativePath(folder).constData(), 0700);
        if (!isRealFolder(folder)) return false;
    }
    return true;
}

// The top of the file system that holds `path`: the last folder upwards on the same device.
QString topOfFileSystem(const QString& path, dev_t device) {
    QString top = posix::parentPath(path);
    for (QString above = posix::parentPath(top); above != top; above = posix::parentPath(top)) {
        if (deviceOf(above) != device) break;
        top = above;
    }
    return top;
}

QString dataHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString homeTrash() {
    return dataHome() + QStringLiteral("/Trash");
}

// The trash at the top of another file system: ".Trash/UID" in an administrator's sticky,
// non-link ".Trash", else ".Trash-UID".
QString topTrash(const QString& top) {
    const QString uid = QString::number(::getuid());
    const QString shared = top + QStringLiteral("/.Trash");
    if (const auto st = posix::linkStatus(shared); st && S_ISDIR(st->st_mode) && (st->st_mode & S_ISVTX)) {
        if (prepareTrash(shared + QLatin1Char('/') + uid)) return shared + QLatin1Char('/') + uid;
    }
    const QString own = top + QStringLiteral("/.Trash-") + uid;
    return prepareTrash(own) ? own : QString();
}

QString numbered(const QString& name, int number) {
    return number <= 1 ? name : QStringLiteral("%1.%2").arg(name).arg(number);
}

// Creates the info file of a free name in the trash; the name, empty when none could be made.
QString writeInfo(const QString& trash, const QString& name, const QByteArray& originalPath) {
    const QByteArray info = "[Trash Info]\nPath=" + originalPath + "\nDeletionDate=" +
                            QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + "\n";
    for (int number = 1; number <= kMostNames; ++number) {
        const QString candidate = numbered(name, number);
        const QString infoPath = trash + QStringLiteral("/info/") + candidate + QStringLiteral(".trashinfo");
        posix::FileDescriptor fd(
            ::open(posix::nativePath(infoPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd.valid()) {
            if (errno == EEXIST) continue;
            return {};
        }
        const bool taken = itemExists(trash + QStringLiteral("/files/") + candidate);
        if (!taken && ::write(fd.get(), info.constData(), size_t(info.size())) == ssize_t(info.size()))
            return candidate;
        ::unlink(posix::nativePath(infoPath).constData());
        if (!taken) return {};
    }
    return {};
}

} // namespace

QString trashFolderFor(const QString& path) {
    const auto device = deviceOf(path);
    if (!device) return {};
    QDir().mkpath(dataHome());
    if (deviceOf(dataHome()) == device) return prepareTrash(homeTrash()) ? homeTrash() : QString();
    return topTrash(topOfFileSystem(path, *device));
}

Result<QString> moveItemToTrash(const QString& path) {
    int error = 0;
    if (!posix::linkStatus(path, &error)) return Result<QString>::failure(Status::fromErrno(error, path));
    if (Status locked = refuseIfLocked(path); !locked) return Result<QString>::failure(locked);
    const QString folder = posix::parentPath(path);
    if (const auto locked = isLocked(folder); locked.ok() && *locked)
        return Result<QString>::failure(Status::fromErrno(EPERM, folder));
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString trash = trashFolderFor(absolute);
    if (trash.isEmpty()) return Result<QString>::failure(Status::fromErrno(ENOTSUP, path));
    // A top trash records paths from the top of its file system; the home trash absolute ones.
    const QString recorded = trash == homeTrash()
                                 ? absolute
                                 : QDir(topOfFileSystem(absolute, *deviceOf(absolute))).relativeFilePath(absolute);
    const QString name = writeInfo(trash, QFileInfo(absolute).fileName(), QUrl::toPercentEncoding(recorded, "/"));
    if (name.isEmpty()) return Result<QString>::failure(Status::fromErrno(ENOTSUP, path));
    const QString inTrash = trash + QStringLiteral("/files/") + name;
    const QByteArray from = posix::nativePath(absolute);
    const QByteArray to = posix::nativePath(inTrash);
    int moved = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (moved != 0 && errno == EINVAL && !itemExists(inTrash)) moved = ::rename(from.constData(), to.constData());
    if (moved != 0) {
        const Status failed = Status::fromErrno(errno, path);
        ::unlink(posix::nativePath(trash + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo")).constData());
        return Result<QString>::failure(failed);
    }
    // The attributes kept beside the note go with it, so that restoring it brings them back.
    const QString side = attributeSideFilePath(absolute);
    if (itemExists(side)) moveItem(side, attributeSideFilePath(inTrash));
    return Result<QString>::success(inTrash);
}

} // namespace quillet::platform
