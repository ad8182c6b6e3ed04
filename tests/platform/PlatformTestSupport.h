#pragma once
// Helpers of the platform tests: a temporary folder that can be removed even when a test left
// an immutable file in it, file writing, and a child process running as an unprivileged user.

#include "platform/FolderListing.h"
#include "platform/ItemLock.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <ostream>
#include <sys/wait.h>
#include <unistd.h>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quillet::platform::testing {

class TempFolder {
public:
    ~TempFolder() {
        // Immutable items would stop QTemporaryDir from removing the folder.
        QDirIterator it(dir_.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            setImmutableAttribute(it.next(), false);
        setImmutableAttribute(dir_.path(), false);
    }
    QString path() const { return dir_.path(); }
    QString file(const QString& relative) const { return dir_.path() + u'/' + relative; }
    QByteArray native(const QString& relative) const { return QFile::encodeName(file(relative)); }

private:
    QTemporaryDir dir_;
};

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The folder's entries, none when it cannot be listed; a value, so that it can be looped over.
inline std::vector<FolderEntry> entriesOf(const QString& folder, ListingOptions options = {}) {
    return listFolder(folder, std::move(options)).value.value_or(std::vector<FolderEntry>());
}

// Creates an empty file at a native path, which may hold bytes that are not UTF-8.
inline bool createRaw(const QByteArray& nativePath, int mode = 0644) {
    const int fd = ::open(nativePath.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, mode);
    return fd >= 0 && ::close(fd) == 0;
}

// Whether this process may set the immutable attribute in `folder` (root with
// CAP_LINUX_IMMUTABLE on a file system that has the flag).
inline bool immutableAttributeWorks(const QString& folder) {
    const QString probe = folder + QStringLiteral("/immutable-probe");
    if (!writeBytes(probe, "x")) return false;
    const bool works = setImmutableAttribute(probe, true).ok;
    setImmutableAttribute(probe, false);
    QFile::remove(probe);
    return works;
}

// Runs `body` in a child process that has dropped to the user "nobody"; the child's exit code
// (body's result), or -1 when the child could not be started or could not drop privileges.
inline int runAsUnprivilegedUser(const std::function<int()>& body) {
    constexpr uid_t kNobody = 65534;
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(255);
        ::_exit(body() & 0xff);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    const int code = WEXITSTATUS(status);
    return code == 255 ? -1 : code;
}

} // namespace quillet::platform::testing

#define QUILLET_SKIP_WITHOUT_IMMUTABLE(folder)                                                               \
    if (!::quillet::platform::testing::immutableAttributeWorks(folder))                                      \
    GTEST_SKIP() << "the immutable attribute cannot be set here (needs root with CAP_LINUX_IMMUTABLE)"
