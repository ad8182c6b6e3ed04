#include "app/MarkdownStyleSheets.h"

#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quillet {

QStringList bundledStyleSheetNames(const QString& resourceFolder) {
    return QDir(resourceFolder).entryList({QStringLiteral("*.css")}, QDir::Files, QDir::Name);
}

namespace {

// A copy takes the read-only permissions of a resource; the user edits these files, and a file
// without write bits counts as a locked note.
void copyStyleSheet(const QString& source, const QString& destination) {
    if (!QFile::copy(source, destination)) return;
    QFile::setPermissions(destination, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

} // namespace

int initMarkdownStyleSheet(const QString& documentsPath, platform::UserDefaults& defaults,
                           const QString& resourceFolder) {
    const QStringList names = bundledStyleSheetNames(resourceFolder);
    const QString cssFolder = QDir(documentsPath).filePath(QStringLiteral("CSS"));
    if (!QDir().mkpath(cssFolder)) return 0;

    int missing = 0;
    for (const QString& name : names) {
        const QString destination = QDir(cssFolder).filePath(name);
        if (QFileInfo::exists(destination) || QFileInfo(destination).isSymLink()) continue;
        copyStyleSheet(QDir(resourceFolder).filePath(name), destination);
        ++missing;
    }
    if (!names.isEmpty() && missing == names.size()) {
        namespace keys = platform::defaults_keys;
        defaults.setObject(QString::fromLatin1(keys::kMarkdownStyleCreateDate), QDateTime::currentDateTime());
        defaults.setObject(QString::fromLatin1(keys::kMarkdownStyleVersion), QStringLiteral("1.0"));
    }
    return missing;
}

} // namespace quillet
