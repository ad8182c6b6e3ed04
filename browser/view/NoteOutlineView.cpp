#include "browser/view/NoteOutlineView.h"

#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace quillet {

NoteOutlineView::NoteOutlineView(QWidget* parent) : QTreeView(parent) {
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(false);
    setAnimated(false);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

void NoteOutlineView::setKeyHandler(std::function<bool(QKeyEvent*)> handler) {
    keyHandler_ = std::move(handler);
}

bool NoteOutlineView::event(QEvent* event) {
    // F2 and Delete act on the browser's rows while it has the focus, before the window's
    // menu shortcuts for the open note see them.
    if (event->type() == QEvent::ShortcutOverride && keyHandler_) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier) ||
            key->matches(QKeySequence::Delete)) {
            event->accept();
            return true;
        }
    }
    return QTreeView::event(event);
}

void NoteOutlineView::keyPressEvent(QKeyEvent* event) {
    if (keyHandler_ && keyHandler_(event)) {
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

Qt::DropAction NoteOutlineView::dropActionFor(bool fromThisView, Qt::KeyboardModifiers modifiers) {
    if (!fromThisView) return Qt::CopyAction;
    return modifiers.testFlag(Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction;
}

void NoteOutlineView::mousePressEvent(QMouseEvent* event) {
    pressed_ = indexAt(event->position().toPoint());
    QTreeView::mousePressEvent(event);
}

void NoteOutlineView::startDrag(Qt::DropActions supportedActions) {
    const QModelIndex row = pressed_.isValid() ? QModelIndex(pressed_) : currentIndex();
    if (!row.isValid() || !model()) return;
    QMimeData* data = model()->mimeData({row});
    if (!data) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    const QRect rect = visualRect(row);
    drag->setPixmap(viewport()->grab(rect));
    drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - rect.topLeft());
    drag->exec(supportedActions, Qt::CopyAction);
}

// The model judges a drop by our action. A drag leaves this view offering a copy only, so that the file
// manager never moves a note out of the library; a drop back here may still be a move. A drop event cannot
// take an action it was not offered, so the view and the model are shown the drop as one that offers both,
// and the drag itself ends as a copy.
void NoteOutlineView::dragMoveEvent(QDragMoveEvent* event) {
    const bool internal = event->source() == this;
    const Qt::DropAction action = dropActionFor(internal, event->modifiers());
    QDragMoveEvent judged(event->position().toPoint(),
                          internal ? Qt::CopyAction | Qt::MoveAction : event->possibleActions(),
                          event->mimeData(), event->buttons(), event->modifiers());
    judged.setDropAction(action);
    QTreeView::dragMoveEvent(&judged);
    if (!judged.isAccepted()) {
        event->ignore();
        return;
    }
    event->setDropAction(internal ? Qt::CopyAction : action);
    event->accept();
}

void NoteOutlineView::dropEvent(QDropEvent* event) {
    const bool internal = event->source() == this;
    QDropEvent judged(event->position(),
                      internal ? Qt::CopyAction | Qt::MoveAction : event->possibleActions(),
                      event->mimeData(), event->buttons(), event->modifiers());
    judged.setDropAction(dropActionFor(internal, event->modifiers()));
    QTreeView::dropEvent(&judged);
    if (!judged.isAccepted()) {
        event->ignore();
        return;
    }
    event->setDropAction(internal ? Qt::CopyAction : judged.dropAction());
    event->accept();
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
