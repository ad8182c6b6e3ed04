// Showing changes made on the disk and to a note's outline without rebuilding every row: the
// rows that stay keep their expansion and selection.

#include "browser/view/FolderViewPrivate.h"

#include <QSet>

namespace quillet {

namespace {

// A header row's place by titles: the note's top-level header down to it, one per line.
QString headerPath(const NoteTreeModel& model, QModelIndex index) {
    QStringList titles;
    for (RowItem item = model.itemAt(index); item.kind == RowKind::header; item = model.itemAt(index)) {
        titles.prepend(item.header->headerString);
        index = index.parent();
    }
    return titles.join(QLatin1Char('\n'));
}

// The note row above a header row; invalid for other rows.
QModelIndex noteOfHeader(const NoteTreeModel& model, QModelIndex index) {
    if (model.itemAt(index).kind != RowKind::header) return {};
    while (model.itemAt(index).kind == RowKind::header)
        index = index.parent();
    return index;
}

} // namespace

void FolderViewController::Private::updateWatches() {
    watcher.watch(tree.foldersToWatch(watcher.limit()));
}

void FolderViewController::Private::foldersDidChange(const QStringList& folders) {
    for (const QString& path : folders)
        for (const FileRep& folder : tree.localFoldersAt(path))
            tree.refreshFolder(folder);
}

void FolderViewController::Private::folderDidExpand(const FileRep& folder) {
    const bool watched = watcher.isWatching(folder->path());
    updateWatches();
    if (!watched) tree.refreshFolder(folder);
}

void FolderViewController::reloadFolder(const FileRep& folder, const FileRepList& added) {
    const QModelIndex index = d->model.indexOfKey(folder.get());
    if (index.isValid()) d->model.refreshRowAndChildren(index);
    if (d->searching() && d->host)
        for (const FileRep& note : added)
            if (!note->directory) d->host->findString(d->tree.searchTarget(), note);
    d->updateWatches();
    // A folder that arrived was listed before it was watched: what landed in it in between shows
    // after one more listing.
    for (const FileRep& entry : added)
        if (entry->directory && d->watcher.isWatching(entry->path())) d->tree.refreshFolder(entry);
}

void FolderViewController::setFolderWatchLimit(std::size_t limit) {
    d->watcher.setLimit(limit);
    d->updateWatches();
}

QStringList FolderViewController::watchedFolders() const {
    return d->watcher.watchedFolders();
}

void FolderViewController::noteOutlineDidChange(const FileRep& note) {
    if (!note || !d->outlineMode()) return;
    const QModelIndex row = d->model.indexOfKey(note.get());
    if (!row.isValid()) return;
    const QModelIndexList selection = d->view->selectionModel()->selectedRows();
    const QModelIndex selected = selection.isEmpty() ? QModelIndex() : selection.front();
    const QString selectedHeader =
        noteOfHeader(d->model, selected) == row ? headerPath(d->model, selected) : QString();
    // The expanded header rows by their titles.
    QSet<QString> expanded;
    std::vector<QModelIndex> pending{row};
    while (!pending.empty()) {
        const QModelIndex at = pending.back();
        pending.pop_back();
        if (!d->view->isExpanded(at)) continue;
        for (int i = 0, count = d->model.rowCount(at); i < count; ++i) {
            const QModelIndex child = d->model.index(i, 0, at);
            if (!d->view->isExpanded(child)) continue;
            expanded.insert(headerPath(d->model, child));
            pending.push_back(child);
        }
    }

    d->model.refreshRow(row);
    if (!d->view->isExpanded(row)) return;
    d->restoringRows = true;
    QModelIndex reselect;
    pending.assign(1, row);
    while (!pending.empty()) {
        const QModelIndex at = pending.back();
        pending.pop_back();
        for (int i = 0, count = d->model.rowCount(at); i < count; ++i) {
            const QModelIndex child = d->model.index(i, 0, at);
            const QString path = headerPath(d->model, child);
            if (!selectedHeader.isEmpty() && path == selectedHeader) reselect = child;
            if (!expanded.contains(path)) continue;
            d->view->expand(child);
            pending.push_back(child);
        }
    }
    d->restoringRows = false;
    if (reselect.isValid() && d->isShown(reselect)) {
        d->tree.setUpdateTableWithoutSelection(true);
        d->selectIndex(reselect, false);
        d->tree.setUpdateTableWithoutSelection(false);
    }
}

} // namespace quillet
