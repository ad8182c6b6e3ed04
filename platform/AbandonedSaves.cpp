#include "platform/AbandonedSaves.h"

#include "platform/PosixFiles.h"
#include "platform/SaveFileNames.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <utility>
#include <vector>

namespace quillet::platform {
namespace {

using posix::FileDescriptor;
using save_files::Stage;
using save_files::TemporaryName;

std::vector<std::pair<QByteArray, TemporaryName>> temporaryFiles(int folder) {
    std::vector<std::pair<QByteArray, TemporaryName>> found;
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr; // closedir closes `listing`
    if (!dir) {
        if (listing >= 0) ::close(listing);
        return found;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (auto temporary = save_files::parse(name)) found.emplace_back(name, std::move(*temporary));
    }
    ::closedir(dir);
    return found;
}

std::optional<struct stat> regularFileAt(int folder, const QByteArray& name) {
    struct stat st {};
    if (::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return st;
}

bool isLater(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

bool sameBytes(int folder, const QByteArray& one, const QByteArray& other) {
    FileDescriptor a(::openat(folder, one.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    FileDescriptor b(::openat(folder, other.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!a.valid() || !b.valid()) return false;
    char bufferA[1 << 15], bufferB[1 << 15];
    for (;;) {
        // Short reads come only at the end of a regular file.
        const ssize_t gotA = ::read(a.get(), bufferA, sizeof bufferA);
        const ssize_t gotB = ::read(b.get(), bufferB, sizeof bufferB);
        if (gotA < 0 || gotA != gotB || std::memcmp(bufferA, bufferB, gotA) != 0) return false;
        if (gotA == 0) return true;
    }
}

// "NAME (recovered).md", then "NAME (recovered) 2.md" and on, for the note "NAME.md".
QByteArray recoveredName(const QByteArray& note, int number) {
    QByteArray mark = " (recovered)";
    if (number > 1) mark += ' ' + QByteArray::number(number);
    return save_files::markedName(note, mark);
}

// Renames `from` to `to` unless `to` exists (errno EEXIST then).
bool renameWithoutReplacing(int folder, const QByteArray& from, const QByteArray& to) {
    if (::renameat2(folder, from.constData(), folder, to.constData(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP && errno != EOPNOTSUPP) return false;
    // The file system cannot refuse to replace: a new link never replaces anything.
    if (::linkat(folder, from.constData(), folder, to.constData(), 0) != 0) return false;
    ::unlinkat(folder, from.constData(), 0);
    return true;
}

std::optional<QByteArray> keepAsNote(int folder, const QByteArray& name, const QByteArray& note) {
    for (int number = 1; number <= 1000; ++number) {
        const QByteArray recovered = recoveredName(note, number);
        if (renameWithoutReplacing(folder, name, recovered)) return recovered;
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

// The file open and locked, or -1 when a running save holds it: a save keeps its temporary file
// locked until it is done with it.
int lockIfAbandoned(int folder, const QByteArray& name) {
    const int fd = ::openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A file of this version's saves; the name of the note made of it, if one was.
std::optional<QByteArray> clearAway(int folder, const QByteArray& name, const TemporaryName& temporary) {
    FileDescriptor lock(lockIfAbandoned(folder, name));
    if (!lock.valid()) return std::nullopt;
    const auto file = regularFileAt(folder, name);
    if (!file) return std::nullopt;
    const auto note = regularFileAt(folder, temporary.note);
    const bool superseded =
        note && (!isLater(file->st_mtim, note->st_mtim) ||
                 (file->st_size == note->st_size && sameBytes(folder, name, temporary.note)));
    if (temporary.stage == Stage::writing || superseded) {
        ::unlinkat(folder, name.constData(), 0);
        return std::nullopt;
    }
    return keepAsNote(folder, name, temporary.note);
}

// A file of an earlier version's saves, whole or not, or another program's of the same shape: it
// goes once its note has changed after it, in its text and in any other way. A program still at
// work on it would have changed it later than that.
void clearAwayEarlier(int folder, const QByteArray& name, const QByteArray& noteName) {
    const auto file = regularFileAt(folder, name);
    const auto note = regularFileAt(folder, noteName);
    if (!file || !note || isLater(file->st_mtim, note->st_mtim) || isLater(file->st_ctim, note->st_ctim))
        return;
    ::unlinkat(folder, name.constData(), 0);
}

} // namespace

Result<QStringList> recoverAbandonedSaves(const QString& folder) {
    FileDescriptor folderFd(
        ::open(posix::nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd.valid()) return Result<QStringList>::failure(Status::fromErrno(errno, folder));
    QStringList recovered;
    for (const auto& [name, temporary] : temporaryFiles(folderFd.get())) {
        if (temporary.stage == Stage::earlier) {
            clearAwayEarlier(folderFd.get(), name, temporary.note);
        } else if (const auto note = clearAway(folderFd.get(), name, temporary)) {
            recovered.append(folder + u'/' + QFile::decodeName(*note));
        }
    }
    return Result<QStringList>::success(recovered);
}

} // namespace quillet::platform
