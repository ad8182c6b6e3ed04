#include "browser/LocalRecords.h"
#include "browser/NoteTree.h"
#include "browser/PathComponents.h"
#include "platform/FolderListing.h"

#include <QDir>

namespace quillet {

FileRep NoteTree::makeLocalTop(const QUrl& url, const QString& displayName) const {
    FileRep top = FileRepresentation::forPath(QDir::cleanPath(url.toLocalFile()));
    top->iCloud = false;
    top->downloaded = true;
    top->displayName = displayName;
    top->top = true;
    top->directory = true;
    return top;
}

void NoteTree::enumerateTop(const FileRep& top) {
    std::lock_guard lock(top->lock());
    enumerateLocalFile(top, 0);
    sortRecords(*top->children, enumerationSortDescriptors(sortMode_));
}

void NoteTree::queryLocalTop(const SortDescriptors& /*descriptors: the sort mode decides*/) {
    localTop_ = makeLocalTop(localContainer_, QStringLiteral("On My Mac"));
    const FileRep top = localTop_;
    enumerateTop(top);
    if (top->hasChildren() && view_) view_->updateTable();
}

void NoteTree::setLocalFolderURL(const std::optional<QUrl>& url) {
    openFolderCall_.cancel();
    if (!url || url->isEmpty()) {
        localFolderURL_.reset();
        localFolderTop_.reset();
        if (view_) view_->reloadData();
        return;
    }
    localFolderURL_ = *url;
    localFolderTop_ = makeLocalTop(*url, lastPathComponent(QDir::cleanPath(url->toLocalFile())));
    const FileRep top = localFolderTop_;
    enumerateTop(top);
    if (view_) view_->reloadData();
    openFolderCall_.schedule(platform::seconds(0.5), [this, top] {
        if (!top->hasChildren() || !view_) return;
        const FileRep first = top->children->front();
        view_->expandItem(top);
        view_->selectRowWithFileRep(first);
        onMain([this, first] {
            if (view_) view_->openDocument(first);
        });
    });
}

void NoteTree::enumerateLocalFile(const FileRep& folder, int depth) {
    if (!folder) return;
    FileRepList& children = folder->children.emplace();
    if (isApplicationBundle(folder->path())) return;
    platform::ListingOptions options;
    options.keep = [](const platform::FolderEntry& entry) { return isBrowsableEntry(entry); };
    const auto listing = platform::listFolder(folder->path(), options);
    if (listing.ok()) {
        children.reserve(listing->size());
        for (const platform::FolderEntry& entry : *listing) {
            FileRep rep = recordForFolderEntry(entry);
            children.push_back(rep);
            if (entry.isDirectory) enumerateLocalFile(rep, depth + 1);
        }
    }
    const FileRep selected = view_ ? view_->selectedItem() : nullptr;
    if (selected && selected->hasFileURL()) {
        sortRecords(children, enumerationSortDescriptors(sortMode_));
        onMain([this, selected] {
            if (view_) view_->selectRowWithFileRep(selected);
        });
    }
}

} // namespace quillet
