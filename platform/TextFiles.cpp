#include "platform/TextFiles.h"

#include "platform/ItemLock.h"
#include "platform/PosixFiles.h"
#include "platform/SaveFileNames.h"

#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/xattr.h>

namespace quillet::platform {
namespace {

using posix::FileDescriptor;

constexpr unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};

Result<QByteArray> readAll(const QString& path) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
    FileDescriptor fd(::open(posix::nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) return Result<QByteArray>::failure(Status::fromErrno(errno, path));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return Result<QByteArray>::failure(Status::fromErrno(errno, path));
    if (S_ISDIR(st.st_mode)) return Result<QByteArray>::failure(Status::fromErrno(EISDIR, path));
    if (!S_ISREG(st.st_mode)) return Result<QByteArray>::failure(Status::fromErrno(EINVAL, path));
    QByteArray bytes;
    bytes.reserve(st.st_size + 1);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            return Result<QByteArray>::failure(Status::fromErrno(errno, path));
        }
        bytes.append(buffer, got);
    }
    return Result<QByteArray>::success(std::move(bytes));
}

// The file a write to `path` lands on: a link's final target.
QString writeTarget(const QString& path) {
    QString target = path;
    for (int hops = 0; hops < 40; ++hops) {
        const auto st = posix::linkStatus(target);
        if (!st || !S_ISLNK(st->st_mode)) break;
        target = QFileInfo(target).symLinkTarget();
    }
    return target;
}

Status writeAll(int fd, const QByteArray& bytes, const QString& path) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            return Status::fromErrno(errno, path);
        }
        done += put;
    }
    if (::fsync(fd) != 0) return Status::fromErrno(errno, path);
    return Status::success();
}

bool lacksAttributeSupport(int error) {
    return error == ENOTSUP || error == EOPNOTSUPP;
}

// The whole value of an extended attribute of the file, or none with errno set.
std::optional<QByteArray> attributeValue(const QByteArray& path, const char* name) {
    for (;;) {
        const ssize_t size = ::getxattr(path.constData(), name, nullptr, 0);
        if (size < 0) return std::nullopt;
        QByteArray value(size, Qt::Uninitialized);
        const ssize_t got = ::getxattr(path.constData(), name, value.data(), value.size());
        if (got >= 0) return value.left(got);
        if (errno != ERANGE) return std::nullopt; // else grown meanwhile: ask again
    }
}

// Gives the new file the old one's access ACL, or none when it had none (the temporary file may
// have inherited one from the folder's default ACL). Set after the mode, so that the list lands
// exactly as read: a chmod rewrites an ACL's owner, mask and other entries, and setting the list
// sets the mode's group bits to its mask.
Status carryAccessList(int fd, const QString& target) {
    constexpr char kAccessList[] = "system.posix_acl_access";
    if (const auto value = attributeValue(posix::nativePath(target), kAccessList)) {
        if (::fsetxattr(fd, kAccessList, value->constData(), value->size(), 0) != 0)
            return Status::fromErrno(errno, target);
        return Status::success();
    }
    if (lacksAttributeSupport(errno)) return Status::success();
    if (errno != ENODATA) return Status::fromErrno(errno, target);
    if (::fremovexattr(fd, kAccessList) != 0 && errno != ENODATA && !lacksAttributeSupport(errno))
        return Status::fromErrno(errno, target);
    return Status::success();
}

// Gives the new file what the old one had: owner, permission bits, ACL, extended attributes. A
// new note keeps what the temporary file was created with.
Status carryOver(int fd, const QString& temporary, const QString& target,
                 const std::optional<struct stat>& old) {
    if (!old) return Status::success();
    // Before the mode: a change of owner may clear the set-user-ID and set-group-ID bits.
    [[maybe_unused]] const int owned = ::fchown(fd, old->st_uid, old->st_gid); // only root may
    if (::fchmod(fd, old->st_mode & 07777) != 0) return Status::fromErrno(errno, target);
    if (Status acl = carryAccessList(fd, target); !acl) return acl;
    return posix::copyUserAttributes(posix::nativePath(target), posix::nativePath(temporary));
}

// Creates the temporary file of a save of `note` in `folder` and sets `path` to it. The file stays
// locked while it is open: the clean-up of abandoned saves leaves a locked file alone, its save
// still running. A new note is created with 0666, so that it gets what any new file in its folder
// gets (the creation mask, or the folder's default ACL); a replaced one gets its old note's mode
// later, and nobody else may read it before.
int createTemporary(const QByteArray& folder, const QByteArray& note, bool replacing, QByteArray& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = folder + '/' + save_files::writingName(note);
        const int fd =
            ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX); // where the file system has no locks, saving still works
            return fd;
        }
        if (errno != EEXIST) break;
    }
    return -1;
}

Status renameItem(const QByteArray& from, const QByteArray& to, const QString& target) {
    if (::rename(from.constData(), to.constData()) != 0) return Status::fromErrno(errno, target);
    return Status::success();
}

// Puts the whole new file in place of the note. With a check, the two are swapped in one step
// and the version taken out is looked at only then, so that no other program's write can land
// unseen between the look and the swap: a version not expected is swapped back in.
Status putInPlace(const QByteArray& complete, const QString& target, const VersionCheck* check) {
    const QByteArray native = posix::nativePath(target);
    if (!check) return renameItem(complete, native, target);
    if (::renameat2(AT_FDCWD, complete.constData(), AT_FDCWD, native.constData(), RENAME_EXCHANGE) != 0) {
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return Status::fromErrno(errno, target);
        // A file system that cannot swap: the narrowest window it allows.
        if (!(*check)(target)) return Status::fromErrno(ESTALE, target);
        return renameItem(complete, native, target);
    }
    const QString takenOut = QFile::decodeName(complete);
    if ((*check)(takenOut)) {
        ::unlink(complete.constData());
        return Status::success();
    }
    ::renameat2(AT_FDCWD, complete.constData(), AT_FDCWD, native.constData(), RENAME_EXCHANGE);
    return Status::fromErrno(ESTALE, target);
}

// Removes what is at `path` only when it is the file open as `fd`: after a swap back it may be
// a third program's version.
void unlinkIfOurs(const QByteArray& path, int fd) {
    struct stat mine {}, found {};
    if (::fstat(fd, &mine) == 0 && ::lstat(path.constData(), &found) == 0 && mine.st_ino == found.st_ino &&
        mine.st_dev == found.st_dev)
        ::unlink(path.constData());
}

Status writeAtomically(const QString& path, const QByteArray& bytes, const VersionCheck* check) {
    const QString target = writeTarget(path);
    if (const auto locked = isLocked(target); locked.ok() && *locked) return Status::fromErrno(EPERM, target);
    const QString folder = posix::parentPath(target);
    if (const auto locked = isLocked(folder); locked.ok() && *locked) return Status::fromErrno(EPERM, folder);

    // Hidden, so that a listing never shows the half-written file.
    const auto old = posix::linkStatus(target);
    QByteArray writing;
    FileDescriptor fd(createTemporary(posix::nativePath(folder),
                                      posix::nativePath(posix::lastComponent(target)), old.has_value(),
                                      writing));
    if (!fd.valid()) return Status::fromErrno(errno, target);
    Status status = writeAll(fd.get(), bytes, target);
    if (status) status = carryOver(fd.get(), QFile::decodeName(writing), target, old);
    // Renamed once whole, so that a save killed before the last rename leaves a text that can be
    // told from a part of one.
    const QByteArray complete = save_files::completeName(writing);
    if (status) status = renameItem(writing, complete, target);
    const QByteArray& left = status ? complete : writing;
    if (status) status = putInPlace(complete, target, check);
    if (!status) {
        unlinkIfOurs(left, fd.get());
        return status;
    }
    FileDescriptor folderFd(
        ::open(posix::nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.valid()) ::fsync(folderFd.get()); // makes the rename itself durable
    return Status::success();
}

} // namespace

TextReadResult readUtf8File(const QString& path) {
    auto bytes = readAll(path);
    if (!bytes) return {std::nullopt, bytes.status, std::nullopt};
    const std::string_view view(bytes->constData(), std::size_t(bytes->size()));
    if (const auto offset = firstInvalidUtf8Offset(view)) {
        const QString description = QStringLiteral("“%1” isn't valid UTF-8 text (invalid byte at offset %2).")
                                        .arg(posix::lastComponent(path))
                                        .arg(qulonglong(*offset));
        return {std::nullopt, Status::failure(description, EILSEQ), *offset};
    }
    const bool marked = view.size() >= 3 && std::memcmp(view.data(), kByteOrderMark, 3) == 0;
    const QByteArrayView body = QByteArrayView(*bytes).sliced(marked ? 3 : 0);
    return {QString::fromUtf8(body), Status::success(), std::nullopt};
}

Status writeUtf8FileAtomically(const QString& path, const QString& text) {
    return writeFileAtomically(path, text.toUtf8());
}

Status writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return writeAtomically(path, bytes, nullptr);
}

Status replaceFileIfUnchanged(const QString& path, const QByteArray& bytes, const VersionCheck& isExpected) {
    return writeAtomically(path, bytes, &isExpected);
}

} // namespace quillet::platform
