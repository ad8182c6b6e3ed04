#include "documents/NoteFiles.h"

#include "documents/NoteMetadata.h"
#include "documents/Outline.h"
#include "platform/FileOperations.h"
#include "platform/ItemLock.h"
#include "platform/TextFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>

namespace quillet {

std::optional<DiskStamp> DiskStamp::of(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return std::nullopt;
    return DiskStamp{std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::int64_t(st.st_size),
                     std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

NoteReading readNote(const QString& path, bool readMetadata) {
    NoteReading reading;
    reading.stamp = DiskStamp::of(path);
    if (!reading.stamp) {
        reading.missing = !platform::itemExists(path);
        if (!reading.missing) reading.error = platform::Status::failure(QObject::tr("Note isn't readable."));
        return reading;
    }
    if (QFileInfo(path).isDir()) {
        reading.error = platform::Status::fromErrno(EISDIR, path);
        return reading;
    }
    platform::TextReadResult read = platform::readUtf8File(path);
    reading.text = std::move(read.text);
    reading.error = read.status;
    if (!reading.text) return reading;
    // The stamp of the version read: a change during the read shows as a later change.
    if (const auto after = DiskStamp::of(path); after && *after != *reading.stamp) reading.stamp = DiskStamp{};
    if (const auto locked = platform::isLocked(path)) reading.locked = *locked;
    if (readMetadata && !reading.text->isEmpty()) {
        reading.storedSelection = readNoteAttribute(path, note_metadata::kSelectedRange);
        reading.storedDisplayName = readNoteAttribute(path, note_metadata::kDisplayName);
    }
    return reading;
}

void writeNoteMetadata(const QString& path, const std::optional<QString>& selection,
                       const std::optional<QString>& displayName) {
    writeNoteAttribute(path, note_metadata::kSelectedRange, selection);
    writeNoteAttribute(path, note_metadata::kDisplayName, displayName);
}

NoteWriteResult writeNote(const NoteWrite& write) {
    NoteWriteResult result;
    const auto current = DiskStamp::of(write.path);
    if (!current) {
        result.outcome = NoteWriteResult::Outcome::missing;
        return result;
    }
    if (*current != write.basedOn) {
        result.outcome = NoteWriteResult::Outcome::changedOnDisk;
        result.stamp = current;
        return result;
    }
    // Looked at again as the new text goes in: a version that landed during the write stays.
    const DiskStamp basedOn = write.basedOn;
    result.error = platform::replaceFileIfUnchanged(write.path, write.text.toUtf8(), [basedOn](const QString& path) {
        return DiskStamp::of(path) == basedOn;
    });
    if (!result.error) {
        if (result.error.errorCode == ESTALE) result.outcome = NoteWriteResult::Outcome::changedOnDisk;
        if (result.error.errorCode == ENOENT) result.outcome = NoteWriteResult::Outcome::missing;
        return result;
    }
    writeNoteMetadata(write.path, write.selection, write.displayName);
    if (write.lock) result.error = platform::setLocked(write.path, *write.lock);
    result.outcome = NoteWriteResult::Outcome::written;
    result.stamp = DiskStamp::of(write.path);
    if (write.markdown) result.outline = createOutline(write.text);
    return result;
}

std::optional<QString> findMovedNote(const QString& folder, const DiskStamp& stamp) {
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        const auto found = DiskStamp::of(path);
        if (found && found->device == stamp.device && found->inode == stamp.inode) return path;
    }
    return std::nullopt;
}

QString freePathBeside(const QString& path, const QString& suffix) {
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    const QString extension = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString base = info.completeBaseName() + QStringLiteral(" (") + suffix + QLatin1Char(')');
    for (int number = 1;; ++number) {
        const QString name = number == 1 ? base : base + QLatin1Char(' ') + QString::number(number);
        const QString candidate = folder + QLatin1Char('/') + name + extension;
        if (!platform::itemExists(candidate)) return candidate;
    }
}

} // namespace quillet
