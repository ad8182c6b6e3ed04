#pragma once
// What lets a chosen folder be found again at a later launch: its path, and the device and inode
// it had, so that a folder that was moved away, replaced or removed since is noticed rather than
// silently taken for the one the user chose.

#include <QByteArray>
#include <QString>
#include <optional>

namespace quillet::platform {

struct FolderBookmark {
    QString path;
    quint64 device = 0;
    quint64 inode = 0;

    // The folder at the path as it is now; none when the path is not a folder.
    static std::optional<FolderBookmark> make(const QString& path);

    // The stored form, and back (none for data that is not a bookmark).
    QByteArray toData() const;
    static std::optional<FolderBookmark> fromData(const QByteArray& data);
};

struct ResolvedFolder {
    QString path;
    // The path is a folder, but not the one bookmarked (moved away and replaced).
    bool stale = false;
};

// The bookmarked folder; none when nothing that is a folder is at its path any more.
std::optional<ResolvedFolder> resolveFolderBookmark(const QByteArray& data);

// Whether a folder is at the path (following symbolic links).
bool isExistingFolder(const QString& path);

} // namespace quillet::platform
