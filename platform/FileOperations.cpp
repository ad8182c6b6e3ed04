#include "platform/FileOperations.h"

#include "platform/AttributeSideFile.h"
#include "platform/ExtendedAttributes.h"
#include "platform/ItemLock.h"
#include "platform/PosixFiles.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <vector>

namespace quillet::platform {
namespace {

using posix::FileDescriptor;

Status errnoStatus(int error, const QByteArray& nativePath) {
    return Status::fromErrno(error, QFile::decodeName(nativePath));
}

// Entry names of a folder, "." and ".." left out; none when it cannot be opened.
std::optional<std::vector<QByteArray>> entryNames(const QByteArray& folder) {
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return std::nullopt;
    std::vector<QByteArray> names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

Status copyBytes(int in, int out, const QByteArray& from) {
    for (;;) {
        const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (copied == 0) return Status::success();
        if (copied > 0) continue;
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            return errnoStatus(errno, from);
        break; // copy by hand below
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0) return Status::success();
        if (got < 0) {
            if (errno == EINTR) continue;
            return errnoStatus(errno, from);
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer + done, got - done);
            if (put < 0 && errno != EINTR) return errnoStatus(errno, from);
            if (put > 0) done += put;
        }
    }
}

// Whether a copy is flushed to the disk before it is reported done: a move across file systems
// removes its source only once the copy would survive a crash.
enum class Sync { no, yes };

Status syncDescriptor(int fd, const QByteArray& path) {
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) return errnoStatus(errno, path);
    return Status::success();
}

Status syncFolder(const QByteArray& folder) {
    FileDescriptor fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) return errnoStatus(errno, folder);
    return syncDescriptor(fd.get(), folder);
}

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

Status copyFile(const QByteArray& from, const QByteArray& to, const struct stat& st, Sync sync) {
    FileDescriptor in(::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!in.valid()) return errnoStatus(errno, from);
    FileDescriptor out(::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!out.valid()) return errnoStatus(errno, to);
    if (Status copied = copyBytes(in.get(), out.get(), from); !copied) return copied;
    if (Status attributes = posix::copyUserAttributes(from, to); !attributes) return attributes;
    // A note locked by the immutable attribute gives a copy locked by its permission bits.
    mode_t mode = st.st_mode & 07777;
    if (posix::hasImmutableFlag(from)) mode &= ~(S_IWUSR | S_IWGRP | S_IWOTH);
    if (::fchmod(out.get(), mode) != 0) return errnoStatus(errno, to);
    if (sync == Sync::yes) return syncDescriptor(out.get(), to);
    return Status::success();
}

Status copyNative(const QByteArray& from, const QByteArray& to, Sync sync = Sync::no);

Status copyFolder(const QByteArray& from, const QByteArray& to, const struct stat& st, Sync sync) {
    if (::mkdir(to.constData(), 0700) != 0) return errnoStatus(errno, to);
    const auto names = entryNames(from);
    if (!names) return errnoStatus(errno, from);
    for (const QByteArray& name : *names) {
        if (Status copied = copyNative(from + '/' + name, to + '/' + name, sync); !copied) return copied;
    }
    if (Status attributes = posix::copyUserAttributes(from, to); !attributes) return attributes;
    // The folder's own mode last: a locked folder would refuse its entries.
    if (::chmod(to.constData(), st.st_mode & 07777) != 0) return errnoStatus(errno, to);
    if (sync == Sync::yes) return syncFolder(to);
    return Status::success();
}

Status copyNative(const QByteArray& from, const QByteArray& to, Sync sync) {
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0) return errnoStatus(errno, from);
    if (S_ISREG(st.st_mode)) return copyFile(from, to, st, sync);
    if (S_ISDIR(st.st_mode)) return copyFolder(from, to, st, sync);
    if (S_ISLNK(st.st_mode)) {
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(from.constData(), target.data(), target.size());
        if (length < 0) return errnoStatus(errno, from);
        target.truncate(length);
        if (::symlink(target.constData(), to.constData()) != 0) return errnoStatus(errno, to);
        return Status::success();
    }
    return errnoStatus(EOPNOTSUPP, from); // devices, FIFOs and sockets are not copied
}

Status removeNative(const QByteArray& path) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) return errnoStatus(errno, path);
    if (S_ISDIR(st.st_mode)) {
        const auto names = entryNames(path);
        if (!names) return errnoStatus(errno, path);
        for (const QByteArray& name : *names) {
            if (Status removed = removeNative(path + '/' + name); !removed) return removed;
        }
        if (::rmdir(path.constData()) != 0) return errnoStatus(errno, path);
        return Status::success();
    }
    if (::unlink(path.constData()) != 0) return errnoStatus(errno, path);
    return Status::success();
}

// EPERM when the folder that would gain or lose an entry is locked.
Status refuseLockedFolder(const QString& folder) {
    const auto locked = isLocked(folder);
    if (locked.ok() && *locked) return Status::fromErrno(EPERM, folder);
    return Status::success();
}

Status checkSourceAndDestination(const QString& from, const QString& to) {
    int error = 0;
    if (!posix::linkStatus(from, &error)) return Status::fromErrno(error, from);
    if (itemExists(to)) return Status::fromErrno(EEXIST, to);
    return refuseLockedFolder(posix::parentPath(to));
}

void carrySideFile(const QString& from, const QString& to, bool move) {
    const QString sideFrom = attributeSideFilePath(from);
    if (!itemExists(sideFrom)) return;
    if (move)
        ::rename(posix::nativePath(sideFrom).constData(),
                 posix::nativePath(attributeSideFilePath(to)).constData());
    else
        side_file::copy(from, to);
}

} // namespace

bool itemExists(const QString& path) {
    return posix::linkStatus(path).has_value();
}

Status copyItem(const QString& from, const QString& to) {
    if (Status checked = checkSourceAndDestination(from, to); !checked) return checked;
    const QByteArray target = posix::nativePath(to);
    Status copied = copyNative(posix::nativePath(from), target);
    if (!copied) {
        if (copied.errorCode != EEXIST) removeNative(target); // leave no half copy behind
        return copied;
    }
    carrySideFile(from, to, false);
    return Status::success();
}

Status moveItem(const QString& from, const QString& to) {
    if (Status checked = checkSourceAndDestination(from, to); !checked) return checked;
    if (Status locked = refuseIfLocked(from); !locked) return locked;
    if (Status folder = refuseLockedFolder(posix::parentPath(from)); !folder) return folder;
    const QByteArray source = posix::nativePath(from);
    const QByteArray target = posix::nativePath(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) != 0) {
        if (errno == EINVAL && !itemExists(to) && ::rename(source.constData(), target.constData()) == 0) {
            // a file system without RENAME_NOREPLACE; the destination was checked just before
        } else if (errno == EXDEV) {
            // The source goes only once the whole copy and its entry in the folder are on disk;
            // a copy that fails half-way is taken away again and the source stays whole.
            Status copied = copyNative(source, target, Sync::yes);
            if (copied) copied = syncFolder(parentOf(target));
            if (!copied) {
                if (copied.errorCode != EEXIST) removeNative(target);
                return copied;
            }
            if (Status removed = removeNative(source); !removed) return removed;
        } else {
            return errnoStatus(errno, errno == EEXIST ? target : source);
        }
    }
    carrySideFile(from, to, true);
    return Status::success();
}

Status removeItem(const QString& path) {
    int error = 0;
    if (!posix::linkStatus(path, &error)) return Status::fromErrno(error, path);
    if (Status locked = refuseIfLocked(path); !locked) return locked;
    if (Status folder = refuseLockedFolder(posix::parentPath(path)); !folder) return folder;
    if (Status removed = removeNative(posix::nativePath(path)); !removed) return removed;
    const QString side = attributeSideFilePath(path);
    if (itemExists(side)) removeNative(posix::nativePath(side));
    return Status::success();
}

Status createFolder(const QString& path, bool intermediates) {
    if (path.isEmpty()) return Status::fromErrno(ENOENT, path);
    int error = 0;
    if (const auto st = posix::targetStatus(path, &error)) {
        if (intermediates && S_ISDIR(st->st_mode)) return Status::success();
        return Status::fromErrno(EEXIST, path);
    }
    const QString parent = posix::parentPath(path);
    if (intermediates && parent != path && !itemExists(parent)) {
        if (Status made = createFolder(parent, true); !made) return made;
    }
    if (Status folder = refuseLockedFolder(parent); !folder) return folder;
    if (::mkdir(posix::nativePath(path).constData(), 0777) != 0) {
        if (intermediates && errno == EEXIST && posix::targetStatus(path)) return Status::success();
        return Status::fromErrno(errno, path);
    }
    return Status::success();
}

} // namespace quillet::platform
