#include "platform/ExtendedAttributes.h"

#include "platform/AttributeSideFile.h"
#include "platform/PosixFiles.h"

#include <cerrno>
#include <sys/xattr.h>
#include <vector>

namespace quillet::platform {
namespace {

constexpr char kUserPrefix[] = "user.";

QByteArray systemName(const QString& name) {
    return QByteArray(kUserPrefix) + name.toUtf8();
}

bool lacksAttributeSupport(int error) {
    return error == ENOTSUP || error == EOPNOTSUPP;
}

// The raw names list of the file ("user.a\0trusted.b\0"); the errno on failure.
std::optional<QByteArray> rawNames(const QByteArray& path, int& error) {
    for (;;) {
        const ssize_t size = ::listxattr(path.constData(), nullptr, 0);
        if (size < 0) break;
        QByteArray buffer(size, Qt::Uninitialized);
        const ssize_t got = size == 0 ? 0 : ::listxattr(path.constData(), buffer.data(), buffer.size());
        if (got >= 0) return buffer.left(got);
        if (errno != ERANGE) break; // grown meanwhile: ask again
    }
    error = errno;
    return std::nullopt;
}

QStringList userNames(const QByteArray& raw) {
    QStringList names;
    for (const QByteArray& name : raw.split('\0')) {
        if (name.startsWith(kUserPrefix) && name.size() > int(sizeof kUserPrefix - 1))
            names.append(QString::fromUtf8(name.mid(sizeof kUserPrefix - 1)));
    }
    return names;
}

std::optional<QByteArray> readFullValue(const QByteArray& path, const QByteArray& name, int& error) {
    for (;;) {
        const ssize_t size = ::getxattr(path.constData(), name.constData(), nullptr, 0);
        if (size < 0) break;
        QByteArray buffer(size, Qt::Uninitialized);
        const ssize_t got =
            size == 0 ? 0 : ::getxattr(path.constData(), name.constData(), buffer.data(), size);
        if (got >= 0) return buffer.left(got);
        if (errno != ERANGE) break;
    }
    error = errno;
    return std::nullopt;
}

} // namespace

QString attributeSideFilePath(const QString& path) {
    return posix::parentPath(path) + QStringLiteral("/.") + posix::lastComponent(path) +
           QStringLiteral(".attributes");
}

Result<QStringList> listAttributes(const QString& path, AttributeStorage storage) {
    if (storage == AttributeStorage::automatic) {
        int error = 0;
        if (auto raw = rawNames(posix::nativePath(path), error))
            return Result<QStringList>::success(userNames(*raw));
        if (!lacksAttributeSupport(error))
            return Result<QStringList>::failure(Status::fromErrno(error, path));
    }
    auto values = side_file::load(path);
    if (!values) return Result<QStringList>::failure(values.status);
    return Result<QStringList>::success(values->keys());
}

Result<QByteArray> readAttribute(const QString& path, const QString& name, std::size_t bufferSize,
                                 AttributeStorage storage) {
    if (storage == AttributeStorage::automatic) {
        // Reading into a buffer of the given size is what makes a longer value fail (ERANGE).
        QByteArray buffer(static_cast<qsizetype>(std::max<std::size_t>(bufferSize, 1)), Qt::Uninitialized);
        const ssize_t got = ::getxattr(posix::nativePath(path).constData(), systemName(name).constData(),
                                       buffer.data(), bufferSize);
        if (got >= 0 && std::size_t(got) <= bufferSize) {
            buffer.truncate(got);
            return Result<QByteArray>::success(buffer);
        }
        // With a zero-sized buffer the kernel reports the size instead of reading.
        const int error = got >= 0 ? ERANGE : errno;
        if (!lacksAttributeSupport(error)) return Result<QByteArray>::failure(Status::fromErrno(error, path));
    }
    auto values = side_file::load(path);
    if (!values) return Result<QByteArray>::failure(values.status);
    if (!values->contains(name)) return Result<QByteArray>::failure(Status::fromErrno(ENODATA, path));
    QByteArray value = values->value(name);
    if (std::size_t(value.size()) > bufferSize)
        return Result<QByteArray>::failure(Status::fromErrno(ERANGE, path));
    return Result<QByteArray>::success(value);
}

Status writeAttribute(const QString& path, const QString& name, const QByteArray& value,
                      AttributeStorage storage) {
    if (name.isEmpty()) return Status::fromErrno(EINVAL, path);
    if (storage == AttributeStorage::automatic) {
        if (::setxattr(posix::nativePath(path).constData(), systemName(name).constData(), value.constData(),
                       value.size(), 0) == 0)
            return Status::success();
        if (!lacksAttributeSupport(errno)) return Status::fromErrno(errno, path);
    }
    auto values = side_file::load(path);
    if (!values) return values.status;
    values->insert(name, value);
    return side_file::store(path, *values);
}

Status removeAttribute(const QString& path, const QString& name, AttributeStorage storage) {
    if (storage == AttributeStorage::automatic) {
        if (::removexattr(posix::nativePath(path).constData(), systemName(name).constData()) == 0)
            return Status::success();
        if (!lacksAttributeSupport(errno)) return Status::fromErrno(errno, path);
    }
    auto values = side_file::load(path);
    if (!values) return values.status;
    if (values->remove(name) == 0) return Status::fromErrno(ENODATA, path);
    return side_file::store(path, *values);
}

Status copyAttributes(const QString& from, const QString& to) {
    const QByteArray source = posix::nativePath(from);
    int error = 0;
    if (auto raw = rawNames(source, error)) {
        for (const QString& name : userNames(*raw)) {
            auto value = readFullValue(source, systemName(name), error);
            if (!value) return Status::fromErrno(error, from);
            if (Status written = writeAttribute(to, name, *value); !written) return written;
        }
    } else if (!lacksAttributeSupport(error)) {
        return Status::fromErrno(error, from);
    }
    return side_file::copy(from, to);
}

} // namespace quillet::platform
