// The tree model's side of drag and drop: rows to records, and on to NoteDragDrop.

#include "browser/view/NoteDragDrop.h"
#include "browser/view/NoteTreeModel.h"

#include <QMimeData>

namespace quillet {

QStringList NoteTreeModel::mimeTypes() const {
    return {QStringLiteral("text/uri-list")};
}

QMimeData* NoteTreeModel::mimeData(const QModelIndexList& indexes) const {
    if (!dragDrop_) return nullptr;
    FileRepList records;
    for (const QModelIndex& index : indexes)
        if (FileRep record = recordAt(index)) records.push_back(std::move(record));
    return dragDrop_->startDrag(records);
}

bool NoteTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                    const QModelIndex& parent) const {
    if (!dragDrop_ || !(action & supportedDropActions())) return false;
    if (parent.isValid() && !itemAt(parent).isRecord()) return false;
    return dragDrop_->canDrop(data, recordAt(parent), action == Qt::CopyAction);
}

bool NoteTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                 const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent)) return false;
    return dragDrop_->drop(data, recordAt(parent), row, action == Qt::CopyAction);
}

Qt::DropActions NoteTreeModel::supportedDropActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions NoteTreeModel::supportedDragActions() const {
    return Qt::CopyAction;
}

} // namespace quillet
