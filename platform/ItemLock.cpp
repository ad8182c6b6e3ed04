#include "platform/ItemLock.h"

#include "platform/PosixFiles.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quillet::platform {
namespace {

// Opening is the only way to reach the flags ioctl; O_NONBLOCK keeps FIFOs from blocking.
posix::FileDescriptor openForFlags(const QString& path) {
    return posix::FileDescriptor(
        ::open(posix::nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
}

// statx reports the immutable attribute without opening the file, where the file system does.
std::optional<bool> immutableFromStatx(const QString& path) {
    struct statx sx {};
    if (::statx(AT_FDCWD, posix::nativePath(path).constData(), AT_SYMLINK_NOFOLLOW, STATX_MODE, &sx) != 0)
        return std::nullopt;
    if (!(sx.stx_attributes_mask & STATX_ATTR_IMMUTABLE)) return std::nullopt;
    return (sx.stx_attributes & STATX_ATTR_IMMUTABLE) != 0;
}

// Works on native paths so that names which are not valid UTF-8 are examined too.
bool lockedInside(const QByteArray& folder, QByteArray& lockedPath) {
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return false; // what cannot be listed is reported by the operation itself
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..") continue;
        const QByteArray child = folder + '/' + name;
        struct stat st {};
        if (::lstat(child.constData(), &st) != 0 || S_ISLNK(st.st_mode)) continue;
        if (posix::writeBitsOff(st.st_mode) || posix::hasImmutableFlag(child)) {
            lockedPath = child;
            found = true;
        } else if (S_ISDIR(st.st_mode)) {
            found = lockedInside(child, lockedPath);
        }
        if (found) break;
    }
    ::closedir(dir);
    return found;
}

} // namespace

Result<bool> hasImmutableAttribute(const QString& path) {
    if (auto flag = immutableFromStatx(path)) return Result<bool>::success(*flag);
    posix::FileDescriptor fd = openForFlags(path);
    if (!fd.valid()) return Result<bool>::failure(Status::fromErrno(errno, path));
    int flags = 0;
    if (::ioctl(fd.get(), FS_IOC_GETFLAGS, &flags) != 0)
        return Result<bool>::failure(Status::fromErrno(errno, path));
    return Result<bool>::success((flags & FS_IMMUTABLE_FL) != 0);
}

Status setImmutableAttribute(const QString& path, bool immutable) {
    posix::FileDescriptor fd = openForFlags(path);
    if (!fd.valid()) return Status::fromErrno(errno, path);
    int flags = 0;
    if (::ioctl(fd.get(), FS_IOC_GETFLAGS, &flags) != 0) return Status::fromErrno(errno, path);
    const int wanted = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    if (wanted == flags) return Status::success();
    if (::ioctl(fd.get(), FS_IOC_SETFLAGS, &wanted) != 0) return Status::fromErrno(errno, path);
    return Status::success();
}

Result<bool> isLocked(const QString& path) {
    int error = 0;
    const auto st = posix::linkStatus(path, &error);
    if (!st) return Result<bool>::failure(Status::fromErrno(error, path));
    if (S_ISLNK(st->st_mode)) return Result<bool>::success(false);
    if (posix::writeBitsOff(st->st_mode)) return Result<bool>::success(true);
    const auto immutable = hasImmutableAttribute(path);
    return Result<bool>::success(immutable.ok() && *immutable);
}

Status setLocked(const QString& path, bool locked) {
    int error = 0;
    const auto st = posix::linkStatus(path, &error);
    if (!st) return Status::fromErrno(error, path);
    if (S_ISLNK(st->st_mode)) return Status::fromErrno(EINVAL, path);
    const QByteArray native = posix::nativePath(path);
    if (locked) {
        const auto immutable = hasImmutableAttribute(path);
        if (immutable.ok() && *immutable) return Status::success(); // already locked harder
        if (::chmod(native.constData(), st->st_mode & 07777 & ~(S_IWUSR | S_IWGRP | S_IWOTH)) != 0)
            return Status::fromErrno(errno, path);
        return Status::success();
    }
    const auto immutable = hasImmutableAttribute(path);
    if (immutable.ok() && *immutable) {
        if (Status cleared = setImmutableAttribute(path, false); !cleared) return cleared;
    }
    if (::chmod(native.constData(), (st->st_mode & 07777) | S_IWUSR) != 0)
        return Status::fromErrno(errno, path);
    return Status::success();
}

Status refuseIfLocked(const QString& path) {
    const auto st = posix::linkStatus(path);
    if (!st) return Status::success();
    const auto locked = isLocked(path);
    if (locked.ok() && *locked) return Status::fromErrno(EPERM, path);
    QByteArray inside;
    if (S_ISDIR(st->st_mode) && lockedInside(posix::nativePath(path), inside))
        return Status::fromErrno(EPERM, QFile::decodeName(inside));
    return Status::success();
}

} // namespace quillet::platform
