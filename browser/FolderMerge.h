#pragma once
// Bringing one listed folder up to date with the disk without replacing its records: a record
// whose file is still there stays the same object (the open note, the selected row and the
// expanded folders hold it) and takes the dates, lock, type and tags read again; files that
// appeared get new records, records of files that went away are dropped.
//
// The listing reads the disk, so it runs on a worker; the merge changes the tree, so it runs on
// the main thread, holding the lock of the top above the folder.

#include "browser/FileRepresentation.h"
#include "browser/SortDescriptor.h"

#include <QSet>
#include <QString>

namespace quillet {

struct FolderListing {
    QString path;
    bool ok = false;     // false: the folder could not be listed (gone or unreadable)
    FileRepList entries; // fresh records in listing order
};

// Lists the folder. A sub-folder that is not among `listedFolders` (the sub-folders that already
// have records) comes with its whole tree, each folder sorted by `order`: a folder renamed or
// moved in from outside arrives with its contents. The others get no "children": the tree's
// records keep theirs.
FolderListing listFolderAgain(const QString& path, const QSet<QString>& listedFolders,
                              const SortDescriptors& order);

// The paths of the folder's sub-folders that have records: what listFolderAgain needs to know.
QSet<QString> listedSubfolders(const FileRepresentation& folder);

struct FolderMerge {
    bool changed = false;  // records added, removed or reordered, or values read anew that differ
    FileRepList added;
    FileRepList removed;
    FileRepList unlisted;  // added folders the listing did not descend into: to be listed next
};

// Merges a listing of `folder` into its "children", then sorts them by `order` (none: the kept
// records in their order, the new ones after them). The listing may be older than the disk: a
// record the listing misses is kept while its file exists, and a new entry is added only while
// its file exists. A failed listing changes nothing.
FolderMerge mergeFolderListing(FileRepresentation& folder, FolderListing listing, const SortDescriptors& order);

} // namespace quillet
