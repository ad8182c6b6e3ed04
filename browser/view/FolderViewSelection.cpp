// What selecting, expanding and collapsing a browser row does, and the selection that follows
// the editor's caret.

#include "browser/view/FolderViewPrivate.h"

namespace quillet {

namespace {

const platform::Duration kOpenDelay = platform::seconds(0.1);
const platform::Duration kFirstHeaderDelay = platform::seconds(0.4);
const platform::Duration kLateResultsDelay = platform::seconds(0.2);

bool isFolderOrTop(const FileRepresentation& record) {
    return record.children.has_value() || record.directory || record.top;
}

Range occurrenceInText(const SearchResult& result) {
    return {result.lineRange.location + result.range.location, result.range.length};
}

} // namespace

bool FolderViewController::Private::canSelect(const QModelIndex& index) const {
    const RowItem item = model.itemAt(index);
    switch (item.kind) {
    case RowKind::top:
    case RowKind::entry:
        return !isFolderOrTop(*item.record);
    case RowKind::header:
        return outlineMode();
    case RowKind::searchResult:
        return searching();
    case RowKind::none:
        break;
    }
    return false;
}

bool FolderViewController::Private::shouldSelect(const QModelIndex& index) {
    if (tree.updateTableWithoutSelection()) return false;
    const RowItem item = model.itemAt(index);
    switch (item.kind) {
    case RowKind::top:
    case RowKind::entry:
        return !isFolderOrTop(*item.record) && shouldSelectNote(item.record);
    case RowKind::header:
        return outlineMode() && shouldSelectHeader(index, item.header);
    case RowKind::searchResult:
        return searching() && shouldSelectSearchResult(index, item);
    case RowKind::none:
        break;
    }
    return false;
}

bool FolderViewController::Private::shouldSelectNote(const FileRep& note) {
    if (host) host->closeDocument();
    // A newer selection replaces an open or a text selection still waiting.
    textSelectionCall.cancel();
    openCall.schedule(kOpenDelay, [this, note] { owner.openDocument(note); });
    if (outlineMode()) outlineRefreshCall.schedule(kOpenDelay, [this] { owner.updateTable(); });
    return true;
}

void FolderViewController::Private::openDirectly(const FileRep& note, Range selection) {
    openCall.cancel();
    host->closeDocument();
    host->openDocument(note, selection);
}

bool FolderViewController::Private::shouldSelectHeader(const QModelIndex& index, const OutlineNodeRef& node) {
    // Up through the enclosing headers to the top-level one; the note is the row above it.
    QModelIndex header = index;
    while (header.isValid() && model.itemAt(header).kind == RowKind::header &&
           model.itemAt(header).header->depth >= 2)
        header = header.parent();
    const FileRep note = model.recordAt(header.parent());
    if (!note || !host) return false;
    const FileRep open = host->lastFileRepresentation();
    const Range headerRange = node->headerRange;
    if (open && open->fileURL() == note->fileURL()) {
        host->setSelectedRange(headerRange);
        return true;
    }
    openDirectly(note, headerRange);
    return true;
}

bool FolderViewController::Private::shouldSelectSearchResult(const QModelIndex& index, const RowItem& item) {
    const FileRep note = model.recordAt(index.parent());
    if (!note || !host) return false;
    const Range occurrence = occurrenceInText(*item.searchResult());
    if (host->lastFileRepresentation() == note) {
        host->setSelectedRange(occurrence);
        return true;
    }
    openDirectly(note, occurrence);
    // The row is chosen once the selection change that asked for it is over.
    textSelectionCall.schedule(platform::Duration(0), [this, item] {
        const QModelIndex row = model.indexOfItem(item);
        if (!isShown(row)) return;
        tree.setUpdateTableWithoutSelection(true);
        selectIndex(row, true);
        tree.setUpdateTableWithoutSelection(false);
    });
    return false;
}

void FolderViewController::Private::didExpand(const QModelIndex& index) {
    if (restoringRows) return;
    const RowItem item = model.itemAt(index);
    if (item.kind == RowKind::header) {
        if (outlineMode()) model.refreshRow(index);
        return;
    }
    if (!item.isRecord()) return;
    const FileRep& record = item.record;
    if (isFolderOrTop(*record)) {
        record->expanded = true;
        folderDidExpand(record);
        if (record->top) return;
        if (searching())
            owner.findString(tree.searchTarget(), record);
        else
            owner.resetHasSearchTarget(record);
        model.refreshRow(index);
        return;
    }
    if (const OutlineNodeRef outline = record->outline();
        outlineMode() && outline && !outline->children.empty()) {
        const RowItem firstHeader = RowItem::forHeader(outline->children.front());
        later(kFirstHeaderDelay, [this, firstHeader] {
            const QModelIndex header = model.indexOfItem(firstHeader);
            if (header.isValid()) view->expand(header);
        });
    }
    if (searching() && record->hasSearchTarget()) model.refreshRow(index);
}

void FolderViewController::Private::didCollapse(const QModelIndex& index) {
    const FileRep folder = model.recordAt(index);
    if (!folder || !isFolderOrTop(*folder)) return;
    folder->expanded = false;
    updateWatches();
    const QModelIndexList selected = view->selectionModel()->selectedRows();
    const FileRep selectedRecord = selected.isEmpty() ? nullptr : model.recordAt(selected.front());
    const FileRep selectedParent = selectedRecord ? tree.findParentFileRep(selectedRecord->fileURL()) : nullptr;
    const int folderRow = rowNumber(index);
    if (selectedParent && selectedParent->fileURL() == folder->fileURL() && folderRow >= 2) {
        const QModelIndex above = view->indexAbove(index);
        if (shouldSelect(above)) {
            selectIndex(above, true);
            return;
        }
    }
    // A row the collapse hid is no longer selected.
    if (!selected.isEmpty() && !isShown(selected.front())) view->selectionModel()->clear();
}

// A note that is not open gets its results from a background read; its row is read again a
// moment later, so that results landing while the note is expanded show up.
void FolderViewController::Private::requestSearchResults(const FileRep& note) {
    if (!host || !resultsRequested.insert(note).second) return;
    if (host->searchResults(tree.searchTarget(), note)) return;
    later(kLateResultsDelay, [this, note] {
        const QModelIndex row = model.indexOfKey(note.get());
        if (isShown(row) && view->isExpanded(row)) model.refreshRow(row);
    });
}

int FolderViewController::Private::findRowInRangeTable(const std::vector<OutlineNodeRef>& nodes,
                                                       Range range) const {
    for (const OutlineNodeRef& node : nodes) {
        if (!node) continue;
        const int nodeRow = rowNumber(model.indexOfKey(node.get()));
        if (node->headerRange.location <= range.location &&
            range.location + range.length < node->headerRange.end())
            return nodeRow;
        if (node->range.location <= range.location && range.location < node->range.end()) {
            const int inside = findRowInRangeTable(node->children, range);
            return inside != -1 ? inside : nodeRow;
        }
    }
    return -1;
}

int FolderViewController::findRowInRangeTable(const std::vector<OutlineNodeRef>& nodes, Range range) const {
    return d->findRowInRangeTable(nodes, range);
}

// Outline mode: the header row around the caret; searching: the last occurrence at or before
// the caret. Where that row is not shown (its note is collapsed), the note's own row. The
// selection only marks the row: nothing opens and the editor's selection stays.
void FolderViewController::Private::followCaret(Range range) {
    const FileRep note = host ? host->lastFileRepresentation() : nullptr;
    if (!note) return;
    QModelIndex target;
    if (outlineMode()) {
        if (const OutlineNodeRef outline = note->outline())
            target = indexAtRowNumber(findRowInRangeTable(outline->children, range));
    } else if (searching()) {
        if (const auto results = note->searchResults()) {
            for (std::size_t i = results->size(); i-- > 0 && !target.isValid();)
                if (occurrenceInText((*results)[i]).location <= range.location)
                    target = model.indexOfItem(RowItem::forSearchResult(results, i));
        }
    } else {
        return;
    }
    if (!isShown(target)) target = model.indexOfRecord(note);
    if (!isShown(target)) return;
    tree.setUpdateTableWithoutSelection(true);
    selectIndex(target, true);
    tree.setUpdateTableWithoutSelection(false);
}

void FolderViewController::textViewDidChangeSelection(Range range) {
    d->followCaret(range);
}

} // namespace quillet
