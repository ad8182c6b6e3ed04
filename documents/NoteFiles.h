#pragma once
// What the open note's owner reads from and writes to disk, off the main thread. A read takes
// the note's text, lock and metadata into plain values (never into the shared record, which the
// browser paints from the main thread). A write refuses a file that changed since the owner last
// saw it, and never recreates a note another program deleted.

#include "browser/OutlineNode.h"
#include "platform/Status.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace quillet {

// Which version of a file is on disk: another program's write changes at least one of these.
struct DiskStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;

    bool operator==(const DiskStamp&) const = default;
    // None when there is no file at the path (links followed).
    static std::optional<DiskStamp> of(const QString& path);
};

struct NoteReading {
    bool missing = false;
    std::optional<QString> text; // none when the read failed
    platform::Status error;
    std::optional<DiskStamp> stamp;
    std::optional<bool> locked;  // none when the lock could not be examined
    std::optional<QString> storedSelection;
    std::optional<QString> storedDisplayName;
};

// Reads the note as UTF-8 with its stamp, lock and (for a note with text) its stored metadata.
NoteReading readNote(const QString& path, bool readMetadata);

struct NoteWrite {
    QString path;
    QString text;
    // The version the text was based on; the write is refused when the file is not that version.
    DiskStamp basedOn;
    bool markdown = false;
    // Metadata to store with it (written only when set).
    std::optional<QString> selection;
    std::optional<QString> displayName;
    // Sets the file's lock after the text is written.
    std::optional<bool> lock;
};

struct NoteWriteResult {
    enum class Outcome { written, changedOnDisk, missing, failed };
    Outcome outcome = Outcome::failed;
    platform::Status error;
    std::optional<DiskStamp> stamp; // after the write
    OutlineNodeRef outline;         // of the written text (Markdown notes)
};

NoteWriteResult writeNote(const NoteWrite& write);

// Stores selection and display name on the file (only those set); failures are ignored.
void writeNoteMetadata(const QString& path, const std::optional<QString>& selection,
                       const std::optional<QString>& displayName);

// Looks in `folder` for the file with the stamp's device and inode (the note renamed in place);
// none when there is none.
std::optional<QString> findMovedNote(const QString& folder, const DiskStamp& stamp);

// A path beside `path` that names no existing item: "Name (suffix).md", "Name (suffix) 2.md", …
QString freePathBeside(const QString& path, const QString& suffix);

} // namespace quillet
