// Keeping the local tops up to date with the disk, one folder at a time.

#include "browser/FolderMerge.h"
#include "browser/LocalRecords.h"
#include "browser/NoteTree.h"
#include "browser/PathComponents.h"

#include <deque>
#include <memory>
#include <utility>

namespace quillet {

namespace {

// Down from `top` by the path's components, through folders only.
FileRep folderAt(const QString& path, const FileRep& top) {
    if (!top || !isPathInside(path, top->path())) return nullptr;
    FileRep at = top;
    while (at->path() != path) {
        FileRep next;
        if (at->children)
            for (const FileRep& child : *at->children)
                if (child && child->directory && isPathInside(path, child->path())) {
                    next = child;
                    break;
                }
        if (!next) return nullptr;
        at = std::move(next);
    }
    return at;
}

} // namespace

SortDescriptors NoteTree::folderSortDescriptors() const {
    SortDescriptors descriptors = pickedSortDescriptors(sortMode_);
    return descriptors.empty() ? enumerationSortDescriptors(sortMode_) : descriptors;
}

FileRepList NoteTree::localFoldersAt(const QString& path) const {
    FileRepList folders;
    for (const FileRep& top : {localFolderTop_, localTop_})
        if (FileRep folder = folderAt(path, top); folder && folder->directory) folders.push_back(folder);
    return folders;
}

FileRep NoteTree::localTopHolding(const FileRep& folder) const {
    for (const FileRep& top : {localFolderTop_, localTop_})
        if (folder && folderAt(folder->path(), top) == folder) return top;
    return nullptr;
}

void NoteTree::refreshFolder(const FileRep& folder) {
    const FileRep top = localTopHolding(folder);
    if (!top) return;
    if (refreshing_.contains(folder)) {
        refreshAgain_.insert(folder);
        return;
    }
    refreshing_.insert(folder);
    QSet<QString> listed;
    {
        std::lock_guard lock(top->lock());
        listed = listedSubfolders(*folder);
    }
    platform::Dispatcher& dispatcher = dispatcher_;
    std::weak_ptr<bool> alive = alive_;
    dispatcher_.onWorker([this, &dispatcher, alive, folder, path = folder->path(), listed = std::move(listed),
                          order = folderSortDescriptors()] {
        auto listing = std::make_shared<FolderListing>(listFolderAgain(path, listed, order));
        // `this` is used only while the tree lives.
        dispatcher.onMain([this, alive, folder, listing] {
            if (const auto flag = alive.lock(); flag && *flag) applyRefresh(folder, std::move(*listing));
        });
    });
}

void NoteTree::applyRefresh(const FileRep& folder, FolderListing listing) {
    refreshing_.erase(folder);
    const bool again = refreshAgain_.erase(folder) > 0;
    // A folder renamed or dropped meanwhile is listed by its parent's refresh.
    const FileRep top = localTopHolding(folder);
    if (!top || folder->path() != listing.path) return;
    FolderMerge merge;
    {
        std::lock_guard lock(top->lock());
        merge = mergeFolderListing(*folder, std::move(listing), folderSortDescriptors());
    }
    for (const FileRep& unlisted : merge.unlisted)
        refreshFolder(unlisted);
    if (merge.changed && view_) view_->reloadFolder(folder, merge.added);
    if (again) refreshFolder(folder);
}

QStringList NoteTree::foldersToWatch(std::size_t limit) const {
    QStringList open;   // the tops and the expanded folders shown below them
    QStringList closed; // the other folders shown, and those directly in a top
    std::deque<std::pair<FileRep, bool>> pending; // a folder, and whether it is a top
    for (const FileRep& top : {localFolderTop_, localTop_})
        if (top) pending.emplace_back(top, true);
    while (!pending.empty() && std::size_t(open.size()) < limit) {
        const auto [folder, isTop] = pending.front();
        pending.pop_front();
        const bool expanded = isTop || folder->expanded;
        (expanded ? open : closed).append(folder->path());
        if (!expanded || !folder->children) continue;
        for (const FileRep& child : *folder->children)
            if (child && child->directory && !isApplicationBundle(child->path())) pending.emplace_back(child, false);
    }
    open.append(closed);
    if (std::size_t(open.size()) > limit) open.resize(qsizetype(limit));
    return open;
}

} // namespace quillet
