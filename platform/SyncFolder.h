#pragma once
// The folder a sync engine keeps in step with the user's other machines, and who "this
// computer" is in the engine's conflict copies. Both come from the user defaults:
// "QuilletSyncFolder" (the folder) and "QuilletSyncDeviceID" (this machine's Syncthing device
// ID, whole or its first seven characters).

#include "platform/ConflictCopies.h"

#include <QString>
#include <optional>

namespace quillet::platform {

// The folder --sync-folder named for this run, else the stored one; empty when neither is set.
QString syncFolderPath();
// Replaces what the defaults say (none: the defaults answer again).
void overrideSyncFolderPath(std::optional<QString> path);

// Whether `path` lies in the synced folder.
bool isSyncedItem(const QString& path);

// Whether the copy holds a change this machine saved: the engine names this machine's device
// or host, or names none (the desktop clients that do so copy the local file they could not
// upload).
bool savedByThisComputer(const ConflictCopyName& copy);
void overrideThisDeviceID(std::optional<QString> id);

} // namespace quillet::platform
