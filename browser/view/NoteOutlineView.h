#pragma once
// The browser's tree view. The user's clicks and arrow keys select a row only when the browser
// agrees (asking may open a note), and the arrow keys pass over rows that can never be selected.
// Programmatic selections go to the selection model and ask nothing.
//
// A drag takes the pressed row alone (not the selection), and offers other applications a copy
// only: a file manager that moved a dragged note would take it out of the library. Within the
// view a drop moves, or copies with the desktop's copy modifier (Ctrl).

#include <QPersistentModelIndex>
#include <QTreeView>
#include <functional>

namespace quillet {

class NoteOutlineView : public QTreeView {
    Q_OBJECT

public:
    using IndexTest = std::function<bool(const QModelIndex&)>;

    explicit NoteOutlineView(QWidget* parent = nullptr);

    // `shouldSelect` decides a selection by the user and may act on it; `canSelect` only tells
    // whether a row could ever be selected; `actsAgain` whether pressing the selected row asks
    // again.
    void setSelectionRules(IndexTest shouldSelect, IndexTest canSelect, IndexTest actsAgain);

    void keyboardSearch(const QString& search) override;

    // Keys the browser handles before the tree view: true when handled.
    void setKeyHandler(std::function<bool(QKeyEvent*)> handler);

    // What a drop does: within this view a move, or a copy with the copy modifier; from
    // elsewhere always a copy.
    static Qt::DropAction dropActionFor(bool fromThisView, Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    QModelIndex nextSelectable(QModelIndex from, bool downwards) const;

    IndexTest shouldSelect_;
    IndexTest canSelect_;
    IndexTest actsAgain_;
    std::function<bool(QKeyEvent*)> keyHandler_;
    QPersistentModelIndex pressed_;
};

} // namespace quillet
