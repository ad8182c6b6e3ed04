#pragma once
// One pass of the synced library's query over the note tree: the query's flat, depth-first list
// of items becomes the subtree of the "Synced" top. Records are found by path and changed in
// place, so a row keeps its record from pass to pass; every record the pass sees gets the pass's
// mark, and those it did not see leave the tree (deleteUnusedChild).
//
// Runs on the main thread, holding the synced top's lock.

#include "browser/FileRepresentation.h"
#include "platform/SyncFolderScan.h"

#include <QString>
#include <functional>
#include <vector>

namespace quillet {

// The top shown as "Synced": the synchronised folder's documents.
FileRep makeSyncedTop(const QString& documentsPath, const QString& title);

class SyncedEnumeration {
public:
    SyncedEnumeration(const std::vector<platform::SyncItem>& results, QString sortMode)
        : results_(results), sortMode_(std::move(sortMode)) {}

    // Fetches the display names of the children marked "updated" (the key-value store's).
    std::function<void(FileRepList& children)> readDisplayNameInChildren;
    // The folder's row shows new values.
    std::function<void(const FileRep& folder)> updateRowForFileRep;
    // Whether the key-value store holds the note at this relative path locked.
    std::function<bool(const QString& relativePath)> lockedInStore;

    // Visits the results from `index` on while they lie inside `folder` (one recursion level per
    // folder); returns the index of the last result handled.
    int enumerateMetadataItems(double mark, int index, const FileRep& folder);
    // Removes the records below `folder` not seen by the pass of `mark`, and clears "updated";
    // true when anything changed. A record an operation of this app added after the scan
    // (it carries no mark yet) stays while its file exists.
    bool deleteUnusedChild(double mark, const FileRep& folder);

    // Something was added or changed by enumerateMetadataItems.
    bool changed() const { return changed_; }

private:
    FileRep folderRecord(const platform::SyncItem& item, const QString& name,
                         const QString& relativePath) const;
    FileRep fileRecord(const platform::SyncItem& item, const QString& name, const QString& type) const;
    bool updateFile(FileRepresentation& file, const platform::SyncItem& item);

    const std::vector<platform::SyncItem>& results_;
    QString sortMode_;
    bool changed_ = false;
};

} // namespace quillet
