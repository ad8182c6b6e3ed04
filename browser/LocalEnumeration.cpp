#include "browser/LocalTreeBuilder.h"
#include "browser/NoteTree.h"
#include "browser/PathComponents.h"

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
}

void NoteTree::queryLocalTop(const SortDescriptors& /*descriptors: the sort mode decides*/) {
    localTop_ = makeLocalTop(localContainer_, QStringLiteral("On This Computer"));
    const FileRep top = localTop_;
    enumerateTop(top);
    if (top->hasChildren() && view_) view_->updateTable();
}

void NoteTree::setLocalFolderURL(const std::optional<QUrl>& url, bool openFirstNote) {
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
    if (!openFirstNote) {
        if (view_) view_->expandItem(top);
        return;
    }
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

void NoteTree::enumerateLocalFile(const FileRep& folder, int /*depth: the whole tree is listed*/) {
    if (!folder) return;
    // With a row selected, the row is selected again afterwards.
    const FileRep selected = view_ ? view_->selectedItem() : nullptr;
    const bool reselect = selected && selected->hasFileURL();
    LocalTreeOptions options;
    options.threads = localTreeThreads();
    options.sortEachFolder = folderSortDescriptors();
    const std::size_t listed = buildLocalTree(folder, options);
    if (!reselect) return;
    for (std::size_t i = 0; i < listed; ++i) {
        onMain([this, selected] {
            if (view_) view_->selectRowWithFileRep(selected);
        });
    }
}

} // namespace quillet
