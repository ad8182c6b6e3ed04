#pragma once
// Paints the browser's rows from the note tree model's roles: tops (picture and name), entries
// (picture, name and date line; while searching the name is grey but for the first occurrence
// of the search string), header rows, and search results (the fragment, the occurrence to the
// fragment's end on orange).

#include <QColor>
#include <QStyledItemDelegate>

namespace quillet {

class NoteRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static inline const QColor kOccurrenceBackground{255, 165, 0};
    static inline const QColor kSearchDimmedText{Qt::lightGray};

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintTop(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paintEntry(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paintLine(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
};

} // namespace quillet
