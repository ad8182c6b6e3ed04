#pragma once
// Helpers of the platform tests: a temporary folder that can be removed even when a test left
// an immutable file in it, file writing, and a child process running as an unprivileged user.

#include "platform/ItemLock.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quillet::platform::testing {

class TempFolder {
public:
    TempFolder() = default;
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
    bool isValid() const { return dir_.isValid(); }

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

// Whether this process may set the immutable attribute in `folder` (root with
// CAP_LINUX_IMMUTABLE on a file system that has the flag).
bool immutableAttributeWorks(const QString& folder);

// Runs `body` in a child process that has dropped to the user "nobody"; the child's exit code
// (body's result), or -1 when the child could not be started or could not drop privileges.
int runAsUnprivilegedUser(const std::function<int()>& body);

} // namespace quillet::platform::testing

#define QUILLET_SKIP_WITHOUT_IMMUTABLE(folder)                                                               \
    if (!::quillet::platform::testing::immutableAttributeWorks(folder))                                      \
    GTEST_SKIP() << "the immutable attribute cannot be set here (needs root with CAP_LINUX_IMMUTABLE)"
