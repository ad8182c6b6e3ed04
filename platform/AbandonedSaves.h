#pragma once
// What a killed save leaves behind. A save writes its text to a hidden temporary file beside the
// note and renames it over the note (TextFiles.h); killed before that rename, it leaves the file,
// as big as the note, which no listing shows and nothing else would ever remove.

#include "platform/Status.h"

#include <QString>
#include <QStringList>

namespace quillet::platform {

// Clears the temporary files of killed saves out of `folder` (not its subfolders): a part of a
// text goes, and so does a whole text older than its note or the same as it (the note is always
// whole, the rename being atomic). A whole text that is newer than its note and differs from it,
// or has no note, becomes a note of its own beside it, "NAME (recovered).md" (then
// "NAME (recovered) 2.md", ...), never replacing anything; their paths are returned so that the
// user can be told. The files of earlier versions, which cannot be told whole, go only once their
// note has changed after them. A save still running, in this process or another, is left alone,
// and so is every other hidden file. Fails only when the folder cannot be read. Reads the whole
// folder: call it on a worker.
Result<QStringList> recoverAbandonedSaves(const QString& folder);

} // namespace quillet::platform
