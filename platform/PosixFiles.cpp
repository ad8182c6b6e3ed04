#include "platform/PosixFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>

namespace quillet::platform::posix {

std::optional<struct stat> linkStatus(const QString& path, int* error) {
    struct stat st {};
    if (::lstat(nativePath(path).constData(), &st) == 0) return st;
    if (error) *error = errno;
    return std::nullopt;
}

std::optional<struct stat> targetStatus(const QString& path, int* error) {
    struct stat st {};
    if (::stat(nativePath(path).constData(), &st) == 0) return st;
    if (error) *error = errno;
    return std::nullopt;
}

bool hasImmutableFlag(const QByteArray& nativePath) {
    // statx answers without opening the item where the file system reports the attribute.
    struct statx sx {};
    if (::statx(AT_FDCWD, nativePath.constData(), AT_SYMLINK_NOFOLLOW, STATX_MODE, &sx) == 0 &&
        (sx.stx_attributes_mask & STATX_ATTR_IMMUTABLE))
        return (sx.stx_attributes & STATX_ATTR_IMMUTABLE) != 0;
    FileDescriptor fd(::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    int flags = 0;
    return fd.valid() && ::ioctl(fd.get(), FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_IMMUTABLE_FL);
}

// Copies the "user." attributes of one item onto another; both native paths, links not followed.
Status copyUserAttributes(const QByteArray& from, const QByteArray& to) {
    const ssize_t size = ::llistxattr(from.constData(), nullptr, 0);
    if (size <= 0) return Status::success(); // none, or a file system without them
    QByteArray names(size, Qt::Uninitialized);
    const ssize_t got = ::llistxattr(from.constData(), names.data(), names.size());
    if (got < 0) return Status::fromErrno(errno, QFile::decodeName(from));
    for (const QByteArray& name : names.left(got).split('\0')) {
        if (!name.startsWith("user.")) continue;
        const ssize_t valueSize = ::lgetxattr(from.constData(), name.constData(), nullptr, 0);
        if (valueSize < 0) return Status::fromErrno(errno, QFile::decodeName(from));
        QByteArray value(valueSize, Qt::Uninitialized);
        const ssize_t read = ::lgetxattr(from.constData(), name.constData(), value.data(), value.size());
        if (read < 0) return Status::fromErrno(errno, QFile::decodeName(from));
        if (::lsetxattr(to.constData(), name.constData(), value.constData(), read, 0) != 0 &&
            errno != ENOTSUP)
            return Status::fromErrno(errno, QFile::decodeName(to));
    }
    return Status::success();
}

QString parentPath(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(u'/'))
        trimmed.chop(1);
    const auto slash = trimmed.lastIndexOf(u'/');
    if (slash < 0) return QStringLiteral(".");
    if (slash == 0) return QStringLiteral("/");
    return trimmed.left(slash);
}

QString lastComponent(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(u'/'))
        trimmed.chop(1);
    return trimmed.mid(trimmed.lastIndexOf(u'/') + 1);
}

} // namespace quillet::platform::posix
