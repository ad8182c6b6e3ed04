#pragma once
// The note tree as an item model with one column. The rows are the tree's own objects: the
// internal pointer of an index is the record, header node or search result behind the row.
//
// Shape: the tops under the root; a record's "children"; in outline mode a note's header nodes
// instead, and header nodes under header nodes; while a search string is set (folder mode) a
// note's search results instead. A row's children are read from the tree the first time the
// view asks for them and kept until the row is refreshed or the model is reset, so the model
// never contradicts what the view was told; the tree may change meanwhile.
//
// Drag and drop go to a NoteDragDrop: notes are dragged, folders, tops and the root take drops.
//
// Main thread only.

#include "browser/NoteTree.h"
#include "browser/view/RowItem.h"

#include <QAbstractItemModel>
#include <cstddef>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

namespace quillet {

class NoteDragDrop;

class NoteTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    enum Role {
        RowKindRole = Qt::UserRole + 1, // int(RowKind)
        DetailTextRole,                 // entries: the date line, or "Downloading..."
        IconSizeRole,                   // tops and entries: the icon's side in pixels
        SearchTargetRole,               // every row: the search string, empty without a search
        OccurrenceRole,                 // search results: QPoint(start, length) in the fragment
    };

    explicit NoteTreeModel(NoteTree& tree, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Drag and drop: a drop moves (MoveAction) or copies (CopyAction) a note of the tree; what
    // comes from outside is always copied. Other applications are offered copies only.
    void setDragDrop(NoteDragDrop* dragDrop) { dragDrop_ = dragDrop; }
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;

    // Asked when the view finds a note marked as holding the search string that has no search
    // results yet.
    void setSearchResultsRequest(std::function<void(const FileRep&)> request);

    RowItem itemAt(const QModelIndex& index) const;
    FileRep recordAt(const QModelIndex& index) const;
    // The index of an item: records are looked up in the tree (reading rows as needed); header
    // nodes and search results only among the rows read so far. Invalid when not found.
    QModelIndex indexOfItem(const RowItem& item) const;
    QModelIndex indexOfRecord(const FileRep& record) const;
    QModelIndex indexOfKey(const void* key) const;

    // Reads everything afresh from the tree.
    void reset();
    // The row's data changed; its children are read again. Rows of objects that stay are kept
    // (their children, expansion and selection with them) and moved into the new order; the
    // others are removed or inserted.
    void refreshRow(const QModelIndex& index);
    // The same, and the data of each child row changed too.
    void refreshRowAndChildren(const QModelIndex& index);

private:
    struct Row {
        RowItem item;
        const void* parentKey = nullptr;
        int row = 0;
        std::optional<std::vector<const void*>> children;
    };

    Row* rowOf(const QModelIndex& index) const;
    const std::vector<const void*>& childrenOf(Row& row) const;
    std::vector<RowItem> unshownChildren(const Row& row) const;
    void adoptChildren(Row& row, std::vector<RowItem> items) const;
    std::vector<RowItem> shapeOf(const Row& row) const;
    bool isExpandable(const RowItem& item) const;
    void forgetChildren(Row& row);
    void retire(const void* key);
    void renumber(const std::vector<const void*>& keys, std::size_t from);
    void syncChildren(const QModelIndex& parent, Row& row);
    bool outlineMode() const;
    bool searching() const;
    QVariant recordData(const FileRepresentation& record, RowKind kind, int role) const;
    QVariant headerData(const OutlineNode& node, int role) const;
    QVariant searchResultData(const SearchResult& result, int role) const;
    int rowHeight() const;

    NoteTree& tree_;
    NoteDragDrop* dragDrop_ = nullptr;
    std::function<void(const FileRep&)> searchResultsRequest_;
    // Keyed by the row's object; the root is the entry under nullptr.
    mutable std::unordered_map<const void*, Row> rows_;
    // The rows before the last reset, kept alive so their keys cannot be reused meanwhile.
    std::unordered_map<const void*, Row> retired_;
};

} // namespace quillet
