#pragma once
// Listing one folder with the resource values the note browser asks for, without descending.
// Hidden entries (names beginning with ".") are skipped, and so are entries whose names are not
// valid UTF-8: no QString path can address them again. A symbolic link is never followed into
// a folder; a link to a file reports the file's dates, type and regular-file flag.

#include "platform/Status.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace quillet::platform {

struct FolderEntry {
    QString path;                                     // the folder's path + "/" + name
    QString name;                                     // last path component, extension included
    std::optional<QDateTime> creationDate;            // where the file system records it
    std::optional<QDateTime> contentModificationDate; // UTC
    bool isRegularFile = false;
    bool isDirectory = false; // a real folder, never a link to one
    bool isSymbolicLink = false;
    QString typeIdentifier;          // TypeIdentifiers.h; empty when none could be found
    QStringList tagNames;            // Tags.h
    std::optional<bool> isImmutable; // ItemLock.h's isLocked, when it could be read
};

struct ListingOptions {
    bool typeIdentifiers = true; // compute typeIdentifier (may read the start of unknown files)
    bool tags = true;            // read tagNames (of the entries kept)
    // When set, only the entries it accepts are kept, judged before their tags are read.
    std::function<bool(const FolderEntry&)> keep;
    // Fill each entry's `name`. Without it `name` stays empty and entryName() finds the name at the
    // end of `path`: one string fewer per entry, for listings that keep thousands of entries.
    bool names = true;
};

// The entry's name: `name`, or the last component of `path` where the listing left `name` empty.
QStringView entryName(const FolderEntry& entry);

// The folder's entries in the order the file system gives them. Fails (with the errno of
// opening the folder) when the folder cannot be listed; an entry that vanishes while it is
// examined is left out.
Result<std::vector<FolderEntry>> listFolder(const QString& folderPath, ListingOptions options = {});

// The resource values of one item, as a listing would give them (hidden names included).
Result<FolderEntry> entryForPath(const QString& path, ListingOptions options = {});

} // namespace quillet::platform
