#pragma once
// The file manager: copy, move, remove and create folders. Every operation that would change a
// locked item (ItemLock.h) fails with EPERM before touching the disk: removing or moving a
// locked item or a folder that holds one, and putting an item into or taking it out of a locked
// folder. A note's attribute side file goes along with it. Symbolic links are never followed
// into folders: a link is copied, moved or removed as a link.

#include "platform/Status.h"

#include <QString>

namespace quillet::platform {

// Copies a file or, recursively, a folder to `to`, which must not exist (EEXIST). Permission
// bits and extended attributes are copied too, so the copy of a locked note is locked.
Status copyItem(const QString& from, const QString& to);

// Moves (renames) an item to `to`, which must not exist (EEXIST); across file systems the item
// is copied and the original removed.
Status moveItem(const QString& from, const QString& to);

// Removes a file, a link or a folder with everything in it.
Status removeItem(const QString& path);

// Creates a folder; with `intermediates` the missing parents too and an existing folder is fine,
// without them an existing item fails with EEXIST.
Status createFolder(const QString& path, bool intermediates);

// True when something (a dangling link included) is at the path.
bool itemExists(const QString& path);

} // namespace quillet::platform
