#include "documents/SyncedNoteChanges.h"

#include "documents/NewNoteNames.h"
#include "platform/ConflictCopies.h"
#include "platform/FileOperations.h"
#include "platform/SyncFolder.h"
#include "platform/TextFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <cstdio>

namespace quillet {
namespace {

// The synced container holds notes two folders deep at most.
constexpr int kMovedNoteSearchDepth = 3;

bool sameVersion(const QString& path, const DiskStamp& stamp) {
    const auto found = DiskStamp::of(path);
    // The engine keeps modification times to the second on every file system it syncs to.
    return found && found->size == stamp.size &&
           found->modifiedNs / 1'000'000'000 == stamp.modifiedNs / 1'000'000'000;
}

bool isCandidate(const QFileInfo& file) {
    return file.isFile() && !file.fileName().startsWith(QLatin1Char('.')) &&
           !platform::isConflictCopyName(file.fileName());
}

QString firstLine(const QString& text) {
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    return end < 0 ? text : text.left(end);
}

// The text of the new note: the copy's text under the new title, its first line dropped only
// when it is the note's own title line (found in the note itself).
QString titledCopy(const QString& copyText, const QString& noteText, const QString& name) {
    if (copyText.isEmpty()) return copyText;
    if (firstLine(copyText) == firstLine(noteText)) return textWithTitle(copyText, name);
    return newNoteText(name) + copyText;
}

std::optional<QString> readText(const QString& path) {
    return platform::readUtf8File(path).text;
}

} // namespace

std::optional<QString> findMovedSyncedNote(const QString& syncFolder, const QString& oldPath,
                                           const DiskStamp& stamp) {
    const QString folder = QFileInfo(oldPath).absolutePath();
    if (const auto inPlace = findMovedNote(folder, stamp)) return inPlace;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) {
        if (isCandidate(file) && sameVersion(file.filePath(), stamp)) return file.filePath();
    }
    if (syncFolder.isEmpty()) return std::nullopt;
    const QString root = QDir::cleanPath(syncFolder);
    const int rootDepth = int(root.count(QLatin1Char('/')));
    QDirIterator files(root, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QFileInfo file(files.next());
        if (int(file.filePath().count(QLatin1Char('/'))) - rootDepth > kMovedNoteSearchDepth) continue;
        if (isCandidate(file) && sameVersion(file.filePath(), stamp)) return file.filePath();
    }
    return std::nullopt;
}

ConflictResolution resolveConflictCopies(const QString& notePath, const QString& newNoteName,
                                         const QStringList& skip) {
    ConflictResolution resolution;
    std::vector<platform::ConflictCopy> copies;
    for (platform::ConflictCopy& copy : platform::conflictCopiesOf(notePath)) {
        if (!skip.contains(copy.path)) copies.push_back(std::move(copy));
    }
    if (copies.empty()) return resolution;
    for (const auto& copy : copies)
        resolution.copies << copy.path;
    const platform::ConflictCopy& oldest = copies.front();
    if (!platform::savedByThisComputer(oldest.name)) {
        resolution.otherComputer = oldest.name.device;
        return resolution;
    }
    resolution.savedBy = oldest.name.device;

    const auto noteText = readText(notePath);
    const auto copyText = readText(oldest.path);
    if (!copyText) {
        resolution.error = platform::Status::failure(QObject::tr("Note isn't readable."));
        return resolution;
    }
    const QFileInfo note(notePath);
    const QString extension = note.suffix().isEmpty() ? QString() : QLatin1Char('.') + note.suffix();
    QString newPath = note.absolutePath() + QLatin1Char('/') + newNoteName + extension;
    if (platform::itemExists(newPath)) newPath = freePathBeside(newPath, QObject::tr("conflict"));
    const QString newText = titledCopy(*copyText, noteText.value_or(QString()), newNoteName);
    resolution.error = platform::writeUtf8FileAtomically(newPath, newText);
    // A copy is removed only once its text is read back from where it went.
    if (resolution.error && readText(newPath) != newText)
        resolution.error = platform::Status::failure(QObject::tr("Couldn't save the Note."));
    if (!resolution.error) return resolution;
    resolution.newNotePath = newPath;

    QStringList texts{*copyText};
    if (noteText) texts << *noteText;
    for (std::size_t index = 0; index < copies.size(); ++index) {
        const QString& path = copies[index].path;
        const auto text = index == 0 ? copyText : readText(path);
        if (!text) continue; // unreadable: left as it is
        if (texts.contains(*text)) {
            platform::removeItem(path);
            continue;
        }
        const QString keptPath = freePathBeside(notePath, QObject::tr("conflict"));
        if (platform::moveItem(path, keptPath)) {
            resolution.kept << keptPath;
            texts << *text;
        }
    }
    return resolution;
}

} // namespace quillet
