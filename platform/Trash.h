#pragma once
// The desktop's trash (the FreeDesktop.org trash that file managers show and restore from): an
// item on the home's file system goes to the home trash ($XDG_DATA_HOME/Trash); an item on
// another file system to that file system's own trash at its top (".Trash/UID" when the
// administrator made one, else ".Trash-UID"). Each trashed item gets an info file with its
// original path and the time, so that it can be put back.

#include "platform/Status.h"

#include <QString>

namespace quillet::platform {

// Moves the item to the trash. A locked item, a folder holding one, or an item in a locked folder
// is refused with EPERM; ENOTSUP when no trash can be used for the item's file system. The item's
// path in the trash.
Result<QString> moveItemToTrash(const QString& path);

// The trash folder (holding "files" and "info") for an item at `path`; empty when there is none.
QString trashFolderFor(const QString& path);

} // namespace quillet::platform
