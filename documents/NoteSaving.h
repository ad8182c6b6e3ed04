#pragma once
// Writing a local note: the text goes to disk atomically as UTF-8 (the old text stays whole
// until the new one is safely written), then the note's changed metadata, its modification date
// and, when asked, its lock.

#include "browser/FileRepresentation.h"
#include "documents/NoteMetadata.h"
#include "platform/Status.h"

#include <QString>

namespace quillet {

// Nothing but the text is touched when the write fails. With `lockOption` the file is then
// locked or unlocked after the note's "isImmutable"; that result is the one reported.
platform::Status saveLocalNote(FileRepresentation& note, const QString& text, const NoteMetadata& metadata,
                               bool lockOption);

} // namespace quillet
