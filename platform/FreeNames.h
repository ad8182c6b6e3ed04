#pragma once
// Items the application names itself (new notes, duplicates, copies, moved and dropped files)
// never replace an existing one: the first free name of "Name.md", "Name 2.md", "Name 3.md", …
// is taken, and taking it is atomic (an exclusive create, or a rename that refuses an existing
// destination), so another program creating the same name meanwhile loses nothing.

#include "platform/Status.h"

#include <QByteArray>
#include <QString>

namespace quillet::platform {

// "Name.md" numbered: 1 gives the name itself, 2 "Name 2.md"; a name without an extension (a
// folder) or with only a leading dot is numbered at its end.
QString numberedName(const QString& fileName, int number);

// Creates a new file in `folder` under the first free numbered `fileName` holding `bytes`, flushed
// to disk. A file that could not be written whole is removed again. The new file's path.
Result<QString> createFileWithFreeName(const QString& folder, const QString& fileName, const QByteArray& bytes);

// Copies or moves the item (FileOperations.h) into `folder` under the first free numbered
// `fileName`. The destination's path.
Result<QString> copyItemToFreeName(const QString& from, const QString& folder, const QString& fileName);
Result<QString> moveItemToFreeName(const QString& from, const QString& folder, const QString& fileName);

} // namespace quillet::platform
