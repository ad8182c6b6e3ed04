#pragma once
// What the open note's owner does on disk when the note lies in the synced folder and another
// machine changed it: finding the note again after the engine moved it, and resolving the
// conflict copies the engine left beside it. Off the main thread.

#include "documents/NoteFiles.h"
#include "platform/Status.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace quillet {

// The note after another machine renamed or moved it: the engine writes the moved note as a new
// file, so it is the file in the synced folder with the same size and modification time as the
// version last read (its own folder looked at first). None when there is none.
std::optional<QString> findMovedSyncedNote(const QString& syncFolder, const QString& oldPath,
                                           const DiskStamp& stamp);

struct ConflictResolution {
    // The oldest copy was saved by another computer: only the user is told (its device).
    std::optional<QString> otherComputer;
    // The copies that were looked at (the oldest first).
    QStringList copies;
    // The oldest copy was this computer's: the device it names, and the new note its text went to.
    QString savedBy;
    QString newNotePath;
    // Copies whose text is found nowhere else: kept as notes of their own, at these paths.
    QStringList kept;
    platform::Status error; // nothing was removed when it fails
};

// Looks for conflict copies of the note and, when the oldest was saved by this computer, puts
// its text into a new note named `newNoteName` (its first line becomes the title, unless that
// line is not the note's own, which is kept under the title) and removes the copies whose text
// is now found elsewhere; a copy with text found nowhere else becomes a note of its own. Copies
// in `skip` (already told about) are left alone.
ConflictResolution resolveConflictCopies(const QString& notePath, const QString& newNoteName,
                                         const QStringList& skip);

} // namespace quillet
