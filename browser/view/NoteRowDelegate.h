#pragma once
// Paints the browser's rows from the note tree model's roles: tops (picture and name), entries
// (picture, name and date line; while searching the name is grey but for the first occurrence
// of the search string), header rows, and search results (the fragment, the occurrence to the
// fragment's end on orange). The pictures are the model's; those drawn for notes show the day
// (today in orange), so the view is repainted when a new day begins.

#include <QColor>
#include <QStyledItemDelegate>
#include <QTimer>

namespace quillet {

class NoteRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // A view as parent is repainted at each midnight.
    explicit NoteRowDelegate(QObject* parent = nullptr);

    static inline const QColor kOccurrenceBackground{255, 165, 0};
    static inline const QColor kSearchDimmedText{Qt::lightGray};

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void repaintAtNextMidnight();
    void paintTop(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paintEntry(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paintLine(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    QTimer midnight_;
};

} // namespace quillet
