#pragma once
// The copies a sync engine leaves beside a file when two machines changed it at once:
//   Syncthing                  NAME.sync-conflict-YYYYMMDD-HHMMSS-DEVICE.EXT
//   Nextcloud                  NAME (conflicted copy [WHO ]YYYY-MM-DD HHMMSS).EXT
//   ownCloud (older clients)   NAME_conflict-YYYYMMDD-HHMMSS.EXT
// Each names the original, when the engine made the copy and, for Syncthing, the short ID of
// the device whose change lost (the computer that saved the copy's text).

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace quillet::platform {

struct ConflictCopyName {
    QString originalName; // "Diary.md"
    QDateTime date;       // local time, to the second
    QString device;       // empty when the engine does not name it
};

struct ConflictCopy {
    QString path;
    ConflictCopyName name;
};

std::optional<ConflictCopyName> parseConflictCopyName(const QString& fileName);
inline bool isConflictCopyName(const QString& fileName) {
    return parseConflictCopyName(fileName).has_value();
}

// The conflict copies of `path` in its folder, oldest first.
std::vector<ConflictCopy> conflictCopiesOf(const QString& path);

} // namespace quillet::platform
