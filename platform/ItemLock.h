#pragma once
// The lock of a note. An item is locked when its write permission bits are all off or the file
// system's immutable attribute is set (chattr +i). Root ignores permission bits, so the
// platform's own writes, removes, moves and renames check the lock themselves and refuse a
// locked item with EPERM, as the kernel does for an immutable one.

#include "platform/Status.h"

#include <QString>

namespace quillet::platform {

// Whether the item is locked; fails when the item cannot be examined (missing, no permission).
// A symbolic link is examined itself, not its target.
Result<bool> isLocked(const QString& path);

// Locking clears every write permission bit. Unlocking restores the owner's write bit and clears
// the immutable attribute; without the capability to clear it the call fails (EPERM) and the
// permission bits are left as they were.
Status setLocked(const QString& path, bool locked);

// The file system's immutable attribute alone (FS_IMMUTABLE_FL). Reading fails where the file
// system has no such flag; setting needs CAP_LINUX_IMMUTABLE.
Result<bool> hasImmutableAttribute(const QString& path);
Status setImmutableAttribute(const QString& path, bool immutable);

// EPERM when the item, or anything inside it when it is a folder (links not followed), is
// locked; success otherwise, also when the item does not exist (the caller's own call reports
// that).
Status refuseIfLocked(const QString& path);

} // namespace quillet::platform
