#pragma once
// The browser's tree view. The user's clicks and arrow keys select a row only when the browser
// agrees (asking may open a note), and the arrow keys pass over rows that can never be selected.
// Programmatic selections go to the selection model and ask nothing.

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

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    QModelIndex nextSelectable(QModelIndex from, bool downwards) const;

    IndexTest shouldSelect_;
    IndexTest canSelect_;
    IndexTest actsAgain_;
};

} // namespace quillet
