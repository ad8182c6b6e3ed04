#include "browser/FolderMerge.h"

#include "browser/LocalRecords.h"
#include "browser/LocalTreeBuilder.h"
#include "platform/FileOperations.h"
#include "platform/FolderListing.h"

#include <QHash>

namespace quillet {

namespace {

// Same path and same kind: a note replaced by a folder of the same name is a new record.
bool sameItem(const FileRepresentation& a, const FileRepresentation& b) {
    return a.directory == b.directory && a.path() == b.path();
}

// Takes the values a listing reads from the disk; the names stay, the app may have set them.
bool takeDiskValues(FileRepresentation& kept, const FileRepresentation& fresh) {
    const bool differs = kept.lastModified != fresh.lastModified || kept.creationDate != fresh.creationDate ||
                         kept.isImmutable != fresh.isImmutable || kept.UTI != fresh.UTI;
    kept.lastModified = fresh.lastModified;
    kept.creationDate = fresh.creationDate;
    kept.isImmutable = fresh.isImmutable;
    kept.UTI = fresh.UTI;
    kept.setTagNames(fresh.tagNames());
    return differs;
}

} // namespace

QSet<QString> listedSubfolders(const FileRepresentation& folder) {
    QSet<QString> paths;
    if (folder.children)
        for (const FileRep& child : *folder.children)
            if (child && child->directory) paths.insert(child->path());
    return paths;
}

FolderListing listFolderAgain(const QString& path, const QSet<QString>& listedFolders,
                              const SortDescriptors& order) {
    FolderListing listing{path, false, {}};
    if (isApplicationBundle(path)) return listing; // never opened
    platform::ListingOptions options;
    options.keep = [](const platform::FolderEntry& entry) { return isBrowsableEntry(entry); };
    options.names = false; // the records take their names from the paths
    auto entries = platform::listFolder(path, options);
    if (!entries.ok()) return listing;
    listing.ok = true;
    listing.entries.reserve(entries->size());
    LocalTreeOptions subtree;
    subtree.sortEachFolder = order;
    for (platform::FolderEntry& entry : *entries) {
        FileRep rep = recordForFolderEntry(std::move(entry));
        if (rep->directory && !listedFolders.contains(rep->path())) buildLocalTree(rep, subtree);
        listing.entries.push_back(std::move(rep));
    }
    return listing;
}

FolderMerge mergeFolderListing(FileRepresentation& folder, FolderListing listing, const SortDescriptors& order) {
    FolderMerge merge;
    if (!listing.ok) return merge;
    FileRepList& children = folder.ensureChildren();
    QHash<QString, FileRep> fresh;
    fresh.reserve(qsizetype(listing.entries.size()));
    for (FileRep& entry : listing.entries)
        if (entry) fresh.insert(entry->path(), entry);

    FileRepList merged;
    merged.reserve(listing.entries.size());
    for (const FileRep& child : children) {
        if (!child) continue;
        const auto found = fresh.constFind(child->path());
        if (found != fresh.cend() && sameItem(*child, **found)) {
            merge.changed |= takeDiskValues(*child, **found);
            fresh.erase(found);
            merged.push_back(child);
        } else if (found == fresh.cend() && platform::itemExists(child->path())) {
            merged.push_back(child); // the listing is older than the file
        } else {
            merge.removed.push_back(child);
        }
    }
    for (FileRep& entry : listing.entries) {
        if (!entry || !fresh.contains(entry->path()) || !platform::itemExists(entry->path())) continue;
        if (entry->directory && !entry->children) {
            entry->children.emplace();
            merge.unlisted.push_back(entry);
        }
        merged.push_back(entry);
        merge.added.push_back(entry);
    }
    sortRecords(merged, order);
    merge.changed |= merged != children;
    children = std::move(merged);
    return merge;
}

} // namespace quillet
