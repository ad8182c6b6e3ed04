#include "platform/LibraryMove.h"

#include "platform/Containers.h"
#include "platform/FileOperations.h"
#include "platform/PosixFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace quillet::platform {
namespace {

using posix::nativePath;

// Marked for lupdate, translated when made.
const char* const kMovedMessage =
    QT_TRANSLATE_NOOP("LibraryMove", "Your notes are now in “%1”, where the file manager shows them.");
const char* const kTargetExistsMessage =
    QT_TRANSLATE_NOOP("LibraryMove", "Your notes stay in “%1”, because “%2” already exists. To have them "
                                     "moved there, rename or remove “%2” and start Quillet again.");
const char* const kFailedMessage =
    QT_TRANSLATE_NOOP("LibraryMove", "Your notes stay in “%1”: they could not be moved to “%2”. %3");

QString text(const char* source) {
    return QCoreApplication::translate("LibraryMove", source);
}

LibraryMove moved(const QString& to) {
    return {LibraryMove::Outcome::moved, to, text(kMovedMessage).arg(to)};
}

LibraryMove kept(LibraryMove::Outcome outcome, const QString& from, const QString& to,
                 const QString& reason) {
    const QString message = outcome == LibraryMove::Outcome::targetExists
                                ? text(kTargetExistsMessage).arg(from, to)
                                : text(kFailedMessage).arg(from, to, reason);
    return {outcome, from, message};
}

// Renames without ever replacing: EEXIST when something is at `to`. A file system that lacks
// RENAME_NOREPLACE gets a check before a plain rename.
int renameNoReplace(const QString& from, const QString& to) {
    const QByteArray source = nativePath(from);
    const QByteArray target = nativePath(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL) return errno;
    if (itemExists(to)) return EEXIST;
    return ::rename(source.constData(), target.constData()) == 0 ? 0 : errno;
}

// A free name beside `path`, hidden, for a copy on its way there or an original on its way out.
QString hiddenSibling(const QString& path, const char* purpose) {
    const QFileInfo info(path);
    for (int attempt = 0;; ++attempt) {
        const QString name =
            QStringLiteral(".%1.%2-%3").arg(info.fileName(), QLatin1String(purpose)).arg(attempt);
        const QString candidate = info.dir().filePath(name);
        if (!itemExists(candidate)) return candidate;
    }
}

// Removes a tree whatever its permission bits, since the user's locked notes and folders go
// too once their copy is in place. Best effort: what cannot go stays.
void removeTree(const QByteArray& path) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) return;
    if (!S_ISDIR(st.st_mode)) {
        ::unlink(path.constData());
        return;
    }
    ::chmod(path.constData(), (st.st_mode & 07777) | S_IRWXU);
    if (DIR* dir = ::opendir(path.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..") removeTree(path + '/' + name);
        }
        ::closedir(dir);
    }
    ::rmdir(path.constData());
}

// The copy keeps content, modes and attributes; the browser sorts by modification date, so the
// dates are carried over here.
void copyModificationTimes(const QByteArray& from, const QByteArray& to) {
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0) return;
    if (S_ISDIR(st.st_mode)) {
        if (DIR* dir = ::opendir(from.constData())) {
            while (const dirent* entry = ::readdir(dir)) {
                const QByteArray name(entry->d_name);
                if (name != "." && name != "..") copyModificationTimes(from + '/' + name, to + '/' + name);
            }
            ::closedir(dir);
        }
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, to.constData(), times, AT_SYMLINK_NOFOLLOW);
}

LibraryMove copyAcross(const QString& from, const QString& to) {
    const QString staging = hiddenSibling(to, "moving");
    if (const Status copied = copyItem(from, staging); !copied) {
        removeTree(nativePath(staging));
        return kept(LibraryMove::Outcome::failed, from, to, copied.description);
    }
    copyModificationTimes(nativePath(from), nativePath(staging));
    if (const int error = renameNoReplace(staging, to); error != 0) {
        removeTree(nativePath(staging));
        const auto outcome =
            error == EEXIST ? LibraryMove::Outcome::targetExists : LibraryMove::Outcome::failed;
        return kept(outcome, from, to, Status::fromErrno(error, to).description);
    }
    // Out of the way first, so that a removal that stops halfway never leaves a part of the
    // library where it would be taken for the whole.
    const QString leaving = hiddenSibling(from, "moved");
    if (renameNoReplace(from, leaving) == 0)
        removeTree(nativePath(leaving));
    else
        removeTree(nativePath(from));
    return moved(to);
}

} // namespace

LibraryMove moveLibrary(const QString& from, const QString& to) {
    if (!QFileInfo(from).isDir() || QDir::cleanPath(from) == QDir::cleanPath(to))
        return {LibraryMove::Outcome::nothingToMove, to, {}};
    if (itemExists(to)) return kept(LibraryMove::Outcome::targetExists, from, to, {});
    if (const Status parent = createFolder(QFileInfo(to).path(), true); !parent)
        return kept(LibraryMove::Outcome::failed, from, to, parent.description);
    const int error = renameNoReplace(from, to);
    if (error == 0) return moved(to);
    if (error == EXDEV) return copyAcross(from, to);
    const auto outcome = error == EEXIST ? LibraryMove::Outcome::targetExists : LibraryMove::Outcome::failed;
    return kept(outcome, from, to, Status::fromErrno(error, error == EEXIST ? to : from).description);
}

LibraryMove moveFormerLocalContainer() {
    return moveLibrary(formerLocalContainerPath(), documentsLibraryPath());
}

} // namespace quillet::platform
