#include "browser/view/NoteOutlineView.h"

#include <QEvent>

namespace quillet {

NoteOutlineView::NoteOutlineView(QWidget* parent) : QTreeView(parent) {
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(false);
    setAnimated(false);
}

void NoteOutlineView::setSelectionRules(IndexTest shouldSelect, IndexTest canSelect, IndexTest actsAgain) {
    shouldSelect_ = std::move(shouldSelect);
    canSelect_ = std::move(canSelect);
    actsAgain_ = std::move(actsAgain);
}

// Typing would select rows past the selection rules.
void NoteOutlineView::keyboardSearch(const QString&) {}

QItemSelectionModel::SelectionFlags NoteOutlineView::selectionCommand(const QModelIndex& index,
                                                                      const QEvent* event) const {
    if (!index.isValid() || !event) return QItemSelectionModel::NoUpdate;
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::KeyPress)
        return QItemSelectionModel::NoUpdate;
    // Pressing the selected row again (also where a drag begins) does not open its note again;
    // only rows that select text in the editor act again.
    const bool alreadySelected = selectionModel() && selectionModel()->isSelected(index);
    if (alreadySelected && !(actsAgain_ && actsAgain_(index))) return QItemSelectionModel::NoUpdate;
    if (!shouldSelect_ || !shouldSelect_(index)) return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

QModelIndex NoteOutlineView::nextSelectable(QModelIndex from, bool downwards) const {
    while (from.isValid() && canSelect_ && !canSelect_(from))
        from = downwards ? indexBelow(from) : indexAbove(from);
    return from;
}

QModelIndex NoteOutlineView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex moved = QTreeView::moveCursor(action, modifiers);
    bool downwards = true;
    switch (action) {
    case MoveUp:
    case MovePageUp:
    case MoveEnd:
    case MovePrevious:
        downwards = false;
        break;
    case MoveDown:
    case MovePageDown:
    case MoveHome:
    case MoveNext:
        break;
    default:
        return moved;
    }
    const QModelIndex found = nextSelectable(moved, downwards);
    return found.isValid() ? found : currentIndex();
}

} // namespace quillet
