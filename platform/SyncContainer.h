#pragma once
// The synchronised folder that stands in for the cloud container: a folder the user keeps in
// step between machines with a sync engine of their own (Syncthing, the Nextcloud client, …).
// Quillet starts no engine; it only reads and writes the folder.
//
// Layout below the folder the user names (ROOT):
//   ROOT/Documents              the notes: the top shown as "Synced"
//   ROOT/Documents/CSS, Script  the library's style sheets and scripts
//   ROOT/quillet-metadata.json  the key-value store (selections, display names, locks);
//                               outside Documents, so it never shows as a note

#include "platform/Status.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace quillet::platform {

class UserDefaults;

namespace sync_folder {
// The user default that names ROOT (Preferences).
inline constexpr char kSettingsKey[] = "QuilletSyncFolder";
inline constexpr char kDocumentsName[] = "Documents";
inline constexpr char kKeyValueFileName[] = "quillet-metadata.json";
} // namespace sync_folder

QString syncDocumentsPath(const QString& root);
QString syncKeyValueStorePath(const QString& root);

// ROOT as chosen: the launch's folder (--sync-folder) wins over the stored one; none when
// neither names a folder.
std::optional<QString> chosenSyncFolder(const UserDefaults& defaults,
                                        const std::optional<QString>& launchFolder);

// The folder --sync-folder named for this run; none by default.
std::optional<QString> launchSyncFolder();
void setLaunchSyncFolder(std::optional<QString> folder);

// Creates Documents, Documents/CSS and Documents/Script where missing (ROOT itself must exist:
// a folder the sync engine does not know would never be shared).
Status prepareSyncFolder(const QString& root);

// The final name of a file a sync engine is still writing ("Note.md" for Syncthing's
// ".syncthing.Note.md.tmp", Nextcloud's ".Note.md.~1a2b" or "Note.md.part"); none for other names.
std::optional<QString> syncTemporaryTarget(QStringView name);
// The engines' own files and folders, never notes: their markers, databases, logs, versions
// and temporaries.
bool isSyncEngineFile(QStringView name);

} // namespace quillet::platform
