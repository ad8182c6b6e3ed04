#include "platform/PosixFiles.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/xattr.h>

namespace quillet::platform::posix {
namespace {

// getxattrat (Linux 6.13) reads an attribute relative to an open folder: one name to look up
// instead of the whole path, which is most of the cost of a read on a deep tree. The C library
// has no wrapper yet; its number is the same on every architecture with the common table.
#if defined(SYS_getxattrat)
constexpr long kGetxattratCall = SYS_getxattrat;
#elif defined(__x86_64__) || defined(__aarch64__)
constexpr long kGetxattratCall = 464;
#else
constexpr long kGetxattratCall = -1;
#endif

struct AttributeArguments { // the kernel's struct xattr_args
    std::uint64_t value;
    std::uint32_t size;
    std::uint32_t flags;
};

std::atomic<bool> relativeReadsWork{kGetxattratCall >= 0};

// Errors that the item itself gives, whichever way it is reached.
bool isItemAnswer(ssize_t got) {
    return got >= 0 || errno == ENODATA || errno == ERANGE || errno == ENOTSUP || errno == ENOENT ||
           errno == EACCES;
}

} // namespace

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

ssize_t getAttributeAt(int folderFd, const char* name, const QString& path, const char* attribute,
                       void* buffer, std::size_t size) {
    if (relativeReadsWork.load(std::memory_order_relaxed)) {
        AttributeArguments arguments{reinterpret_cast<std::uintptr_t>(buffer), std::uint32_t(size), 0};
        const ssize_t got =
            ::syscall(kGetxattratCall, folderFd, name, 0, attribute, &arguments, sizeof arguments);
        if (isItemAnswer(got)) return got;
        // An old kernel (ENOSYS), or a system-call filter that refuses the call: the path
        // answers instead, and once it has answered where the relative read did not, later
        // reads go straight to it.
        const int relativeError = errno;
        const ssize_t byPath = ::getxattr(nativePath(path).constData(), attribute, buffer, size);
        if (relativeError == ENOSYS || byPath >= 0 || errno != relativeError)
            relativeReadsWork.store(false, std::memory_order_relaxed);
        return byPath;
    }
    return ::getxattr(nativePath(path).constData(), attribute, buffer, size);
}

bool setRelativeAttributeReads(bool enabled) {
    return relativeReadsWork.exchange(enabled && kGetxattratCall >= 0);
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
