#include "documents/NoteSaving.h"

#include "platform/ItemLock.h"
#include "platform/TextFiles.h"

#include <QDateTime>

namespace quillet {

platform::Status saveLocalNote(FileRepresentation& note, const QString& text, const NoteMetadata& metadata,
                               bool lockOption) {
    const QString path = note.path();
    platform::Status status = platform::writeUtf8FileAtomically(path, text);
    if (!status) return status;
    metadata.writeEAToURL(note);
    note.lastModified = QDateTime::currentDateTime();
    if (lockOption) status = platform::setLocked(path, note.isImmutable);
    return status;
}

} // namespace quillet
