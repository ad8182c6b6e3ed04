// Marking the notes that contain the search string.

#include "browser/view/FolderViewPrivate.h"

namespace quillet {

void FolderViewController::setSearchTarget(const QString& target) {
    d->tree.setSearchTargetValue(target);
    d->resultsRequested.clear();
    for (const FileRep& top : {d->tree.iCloudTop(), d->tree.localTop(), d->tree.localFolderTop()}) {
        if (!top) continue;
        std::lock_guard lock(top->lock());
        resetHasSearchTarget(top);
        // An empty string ends the search: it would mark every note.
        if (!target.isEmpty()) findString(target, top);
    }
    d->searchRefreshCall.schedule(platform::seconds(0.5), [this] { updateTable(); });
}

QString FolderViewController::searchTarget() const {
    return d->tree.searchTarget();
}

void FolderViewController::resetHasSearchTarget(const FileRep& folder) {
    if (!folder || !folder->children) return;
    for (const FileRep& child : *folder->children) {
        if (!child) continue;
        if (child->directory) {
            resetHasSearchTarget(child);
        } else {
            child->setHasSearchTarget(false);
            child->setSearchResults(nullptr);
        }
    }
}

// A note: its search results. A folder: its notes are marked; its sub-folders are searched only
// below an expanded folder that is not a top.
void FolderViewController::findString(const QString& searchString, const FileRep& item) {
    if (!item || !d->host) return;
    if (!item->directory) {
        d->host->searchResults(searchString, item);
        return;
    }
    if (!item->children) return;
    const bool descend = !item->top && item->expanded;
    // The host may add to the list while it is walked.
    const FileRepList children = *item->children;
    for (const FileRep& child : children) {
        if (!child) continue;
        if (!child->directory)
            d->host->findString(searchString, child);
        else if (descend)
            findString(searchString, child);
    }
}

} // namespace quillet
