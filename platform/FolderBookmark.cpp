#include "platform/FolderBookmark.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace quillet::platform {

namespace {

// Bumped when the stored form changes; older data then no longer resolves.
constexpr quint32 kBookmarkMagic = 0x51424b31; // "QBK1"

std::optional<struct stat> statFolder(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
    if (!S_ISDIR(info.st_mode)) return std::nullopt;
    return info;
}

} // namespace

std::optional<FolderBookmark> FolderBookmark::make(const QString& path) {
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    const std::optional<struct stat> info = statFolder(clean);
    if (!info) return std::nullopt;
    return FolderBookmark{clean, quint64(info->st_dev), quint64(info->st_ino)};
}

QByteArray FolderBookmark::toData() const {
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << kBookmarkMagic << path << device << inode;
    return data;
}

std::optional<FolderBookmark> FolderBookmark::fromData(const QByteArray& data) {
    QDataStream in(data);
    quint32 magic = 0;
    FolderBookmark bookmark;
    in >> magic >> bookmark.path >> bookmark.device >> bookmark.inode;
    if (in.status() != QDataStream::Ok || magic != kBookmarkMagic || bookmark.path.isEmpty())
        return std::nullopt;
    return bookmark;
}

std::optional<ResolvedFolder> resolveFolderBookmark(const QByteArray& data) {
    const std::optional<FolderBookmark> bookmark = FolderBookmark::fromData(data);
    if (!bookmark) return std::nullopt;
    const std::optional<struct stat> info = statFolder(bookmark->path);
    if (!info) return std::nullopt;
    const bool same = quint64(info->st_dev) == bookmark->device && quint64(info->st_ino) == bookmark->inode;
    return ResolvedFolder{bookmark->path, !same};
}

bool isExistingFolder(const QString& path) {
    return statFolder(path).has_value();
}

} // namespace quillet::platform
