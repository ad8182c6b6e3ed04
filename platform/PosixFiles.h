#pragma once
// Small helpers shared by the platform's file code: native (byte) paths and stat calls that
// report errno as a Status. Internal to platform/.

#include "platform/Status.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::platform::posix {

inline QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

// lstat / stat of the path; the errno on failure.
std::optional<struct stat> linkStatus(const QString& path, int* error = nullptr);
std::optional<struct stat> targetStatus(const QString& path, int* error = nullptr);

// The folder holding the path ("/a/b/c.md" -> "/a/b"); "/" for items at the root.
QString parentPath(const QString& path);
// The last path component.
QString lastComponent(const QString& path);

// Owns a file descriptor; closes it at the end of its scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// Whether the file system's immutable attribute is set on the item (links not followed); false
// when it cannot be read.
bool hasImmutableFlag(const QByteArray& nativePath);

// The value of the extended attribute `attribute` (its full name, "user.xdg.tags") of the item
// `name` inside the folder open as `folderFd`, links followed, read into `buffer`: the value's
// size, or -1 with errno set (ENODATA: none; ERANGE: longer than `size`). The item is reached
// relative to the folder where the kernel can (getxattrat), else through `path`, the item's
// whole path.
ssize_t getAttributeAt(int folderFd, const char* name, const QString& path, const char* attribute,
                       void* buffer, std::size_t size);
// Turns the relative reads of getAttributeAt on or off (tests compare both ways); they stay off
// on a kernel without them. Returns whether they were on.
bool setRelativeAttributeReads(bool enabled);

// Copies the "user." extended attributes of one item onto another (native paths, links not
// followed); nothing to copy where the file system has none.
Status copyUserAttributes(const QByteArray& from, const QByteArray& to);

// Whether the mode has every write bit off.
inline bool writeBitsOff(mode_t mode) {
    return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

} // namespace quillet::platform::posix
