// The folder the preview's HTML refers to for copied images: one per user under the system's
// temporary folder, made private to that user. A folder of that name that is not a real folder
// owned by this user (a link, someone else's) is never used, so that cleaning it can only remove
// this application's own files.

#include "documents/ViewControllerPrivate.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::documents_detail {

QString previewTemporaryFolder() {
    const QString path = QDir::tempPath() + QStringLiteral("/quillet-%1").arg(::geteuid());
    const QByteArray native = QFile::encodeName(path);
    ::mkdir(native.constData(), 0700); // fails harmlessly when it exists
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) return {};
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return {};
    if ((st.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0) return {};
    return path;
}

void cleanTemporaryFolder(const QString& folder) {
    if (folder.isEmpty()) return;
    QDirIterator entries(folder, QDir::Files | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext())
        QFile::remove(entries.next()); // errors are of no consequence
}

} // namespace quillet::documents_detail
