#include "platform/FreeNames.h"

#include "platform/FileOperations.h"
#include "platform/ItemLock.h"
#include "platform/PosixFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace quillet::platform {

namespace {

// Past this many taken names something else is wrong (a folder that refuses every name).
constexpr int kMostNumbers = 10000;

Status writeAll(int fd, const QByteArray& bytes, const QString& path) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return Status::fromErrno(errno, path);
        done += put;
    }
    if (::fsync(fd) != 0 && errno != EINVAL) return Status::fromErrno(errno, path);
    return Status::success();
}

// Tries the numbered names in turn while `take` answers EEXIST.
Result<QString> firstFree(const QString& folder, const QString& fileName,
                          const std::function<Status(const QString& path)>& take) {
    Status last = Status::fromErrno(EEXIST, fileName);
    for (int number = 1; number <= kMostNumbers; ++number) {
        const QString path = folder + QLatin1Char('/') + numberedName(fileName, number);
        last = take(path);
        if (last) return Result<QString>::success(path);
        if (last.errorCode != EEXIST) break;
    }
    return Result<QString>::failure(last);
}

} // namespace

QString numberedName(const QString& fileName, int number) {
    if (number <= 1) return fileName;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString suffix = QStringLiteral(" %1").arg(number);
    if (dot <= 0) return fileName + suffix;
    return fileName.left(dot) + suffix + fileName.mid(dot);
}

Result<QString> createFileWithFreeName(const QString& folder, const QString& fileName, const QByteArray& bytes) {
    if (const auto locked = isLocked(folder); locked.ok() && *locked)
        return Result<QString>::failure(Status::fromErrno(EPERM, folder));
    return firstFree(folder, fileName, [&bytes](const QString& path) {
        const QByteArray native = posix::nativePath(path);
        posix::FileDescriptor fd(::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd.valid()) return Status::fromErrno(errno, path);
        Status written = writeAll(fd.get(), bytes, path);
        if (!written) ::unlink(native.constData()); // ours alone: nobody else's text is in it
        return written;
    });
}

Result<QString> copyItemToFreeName(const QString& from, const QString& folder, const QString& fileName) {
    return firstFree(folder, fileName, [&from](const QString& path) { return copyItem(from, path); });
}

Result<QString> moveItemToFreeName(const QString& from, const QString& folder, const QString& fileName) {
    return firstFree(folder, fileName, [&from](const QString& path) { return moveItem(from, path); });
}

} // namespace quillet::platform
