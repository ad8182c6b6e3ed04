#include "browser/view/NoteTreeModel.h"

#include "browser/view/DateConvert.h"
#include "browser/view/FileIcons.h"

#include <QCoreApplication>
#include <QPoint>
#include <QSize>
#include <algorithm>
#include <cstddef>
#include <unordered_set>

namespace quillet {

namespace {

constexpr int kDefaultRowHeight = 34;

// The chain of records from a top down to `target`, by the records' "children".
bool findChain(const FileRep& from, const FileRepresentation* target, std::vector<FileRep>& chain) {
    chain.push_back(from);
    if (from.get() == target) return true;
    if (from->children)
        for (const FileRep& child : *from->children)
            if (child && findChain(child, target, chain)) return true;
    chain.pop_back();
    return false;
}

QString entryName(const FileRepresentation& record) {
    const QString name = record.displayName.value_or(QString());
    return name.isEmpty() ? record.filename.value_or(QString()) : name;
}

} // namespace

NoteTreeModel::NoteTreeModel(NoteTree& tree, QObject* parent) : QAbstractItemModel(parent), tree_(tree) {
    rows_.emplace(nullptr, Row{});
}

void NoteTreeModel::setSearchResultsRequest(std::function<void(const FileRep&)> request) {
    searchResultsRequest_ = std::move(request);
}

bool NoteTreeModel::outlineMode() const {
    return tree_.folderMode() == QStringLiteral("outline");
}

bool NoteTreeModel::searching() const {
    return !tree_.searchTarget().isEmpty();
}

int NoteTreeModel::rowHeight() const {
    const int height = static_cast<int>(tree_.rowHeight());
    return height > 0 ? height : kDefaultRowHeight;
}

NoteTreeModel::Row* NoteTreeModel::rowOf(const QModelIndex& index) const {
    const auto found = rows_.find(index.isValid() ? index.internalPointer() : nullptr);
    return found == rows_.end() ? nullptr : &found->second;
}

std::vector<RowItem> NoteTreeModel::shapeOf(const Row& row) const {
    std::vector<RowItem> items;
    const auto addRecords = [&](const FileRepList& records) {
        for (const FileRep& record : records)
            if (record) items.push_back(RowItem::forRecord(record));
    };
    const auto addHeaders = [&](const std::vector<OutlineNodeRef>& nodes) {
        for (const OutlineNodeRef& node : nodes)
            if (node) items.push_back(RowItem::forHeader(node));
    };
    const RowItem& item = row.item;
    switch (item.kind) {
    case RowKind::none:
        addRecords(tree_.roots());
        break;
    case RowKind::top:
    case RowKind::entry:
        if (const OutlineNodeRef outline = item.record->outline(); outline && outlineMode()) {
            addHeaders(outline->children);
        } else if (auto results = item.record->searchResults(); results && searching() && !outlineMode()) {
            for (std::size_t i = 0; i < results->size(); ++i)
                items.push_back(RowItem::forSearchResult(results, i));
        } else if (item.record->children) {
            addRecords(*item.record->children);
        }
        break;
    case RowKind::header:
        if (outlineMode()) addHeaders(item.header->children);
        break;
    case RowKind::searchResult:
        break;
    }
    return items;
}

std::vector<RowItem> NoteTreeModel::unshownChildren(const Row& row) const {
    // An object shown twice would give one index two parents: the first place wins.
    std::vector<RowItem> items;
    std::vector<const void*> keys;
    for (RowItem& item : shapeOf(row)) {
        const void* key = item.key();
        if (rows_.contains(key) || std::find(keys.begin(), keys.end(), key) != keys.end()) continue;
        keys.push_back(key);
        items.push_back(std::move(item));
    }
    return items;
}

void NoteTreeModel::adoptChildren(Row& row, std::vector<RowItem> items) const {
    const void* parentKey = row.item.key();
    std::vector<const void*> keys;
    for (RowItem& item : items) {
        const void* key = item.key();
        rows_.emplace(key, Row{std::move(item), parentKey, static_cast<int>(keys.size()), std::nullopt});
        keys.push_back(key);
    }
    // The map's nodes stay in place when it grows, so `row` is still valid.
    row.children = std::move(keys);
}

const std::vector<const void*>& NoteTreeModel::childrenOf(Row& row) const {
    if (!row.children) adoptChildren(row, unshownChildren(row));
    return *row.children;
}

QModelIndex NoteTreeModel::index(int row, int column, const QModelIndex& parent) const {
    Row* parentRow = rowOf(parent);
    if (!parentRow || column != 0 || row < 0) return {};
    const auto& children = childrenOf(*parentRow);
    if (row >= static_cast<int>(children.size())) return {};
    return createIndex(row, 0, const_cast<void*>(children[static_cast<std::size_t>(row)]));
}

QModelIndex NoteTreeModel::parent(const QModelIndex& child) const {
    const Row* row = rowOf(child);
    if (!child.isValid() || !row || !row->parentKey) return {};
    return indexOfKey(row->parentKey);
}

int NoteTreeModel::rowCount(const QModelIndex& parent) const {
    Row* row = rowOf(parent);
    if (!row || (parent.isValid() && parent.column() != 0)) return 0;
    return static_cast<int>(childrenOf(*row).size());
}

int NoteTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool NoteTreeModel::isExpandable(const RowItem& item) const {
    switch (item.kind) {
    case RowKind::none:
        return true;
    case RowKind::top:
    case RowKind::entry: {
        const FileRep& record = item.record;
        if (record->hasChildren()) return true;
        if (const OutlineNodeRef outline = record->outline();
            outlineMode() && outline && !outline->children.empty())
            return true;
        if (!searching() || record->directory || !record->hasSearchTarget()) return false;
        if (!record->searchResults() && searchResultsRequest_) searchResultsRequest_(record);
        return true;
    }
    case RowKind::header:
        return outlineMode() && !item.header->children.empty();
    case RowKind::searchResult:
        return false;
    }
    return false;
}

bool NoteTreeModel::hasChildren(const QModelIndex& parent) const {
    const Row* row = rowOf(parent);
    return row && isExpandable(row->item);
}

QVariant NoteTreeModel::data(const QModelIndex& index, int role) const {
    const Row* row = rowOf(index);
    if (!index.isValid() || !row) return {};
    const RowItem& item = row->item;
    if (role == RowKindRole) return static_cast<int>(item.kind);
    if (role == SearchTargetRole) return tree_.searchTarget();
    switch (item.kind) {
    case RowKind::top:
    case RowKind::entry:
        return recordData(*item.record, item.kind, role);
    case RowKind::header:
        return headerData(*item.header, role);
    case RowKind::searchResult:
        return searchResultData(*item.searchResult(), role);
    case RowKind::none:
        break;
    }
    return {};
}

namespace {

// The library's top keeps its English name (the icons go by it); only the row translates it.
QString topName(const FileRepresentation& top) {
    const QString name = top.displayName.value_or(QString());
    static const char* const kLocalTopName = QT_TRANSLATE_NOOP("FolderViewController", "On This Computer");
    if (name == QLatin1String(kLocalTopName))
        return QCoreApplication::translate("FolderViewController", kLocalTopName);
    return name;
}

} // namespace

QVariant NoteTreeModel::recordData(const FileRepresentation& record, RowKind kind, int role) const {
    switch (role) {
    case Qt::DisplayRole:
        return kind == RowKind::top ? topName(record) : entryName(record);
    case Qt::ToolTipRole:
        return kind == RowKind::top ? QVariant(record.path()) : QVariant();
    case Qt::DecorationRole:
        return kind == RowKind::top ? topIcon(record) : entryIcon(record);
    case IconSizeRole:
        return iconSide(record);
    case Qt::SizeHintRole:
        return QSize(-1, rowHeight());
    case DetailTextRole:
        if (kind != RowKind::entry || !record.lastModified) return {};
        if (record.downloaded != true)
            return QCoreApplication::translate("FolderViewController", "Downloading...");
        return dateConvert(*record.lastModified);
    default:
        return {};
    }
}

QVariant NoteTreeModel::headerData(const OutlineNode& node, int role) const {
    if (role == Qt::DisplayRole) return node.headerString;
    if (role == Qt::SizeHintRole) return QSize(-1, rowHeight() / 2);
    return {};
}

QVariant NoteTreeModel::searchResultData(const SearchResult& result, int role) const {
    switch (role) {
    case Qt::DisplayRole:
        return result.fragment;
    case Qt::SizeHintRole:
        return QSize(-1, rowHeight() / 2);
    case OccurrenceRole: {
        // From the occurrence to the fragment's end, when the occurrence starts inside it.
        const auto start =
            static_cast<qint64>(result.range.location) - static_cast<qint64>(result.fragmentRange.location);
        const auto length =
            static_cast<qint64>(result.fragmentRange.end()) - static_cast<qint64>(result.range.location);
        if (start < 0 || start >= result.fragment.size() || length <= 0) return {};
        return QPoint(static_cast<int>(start),
                      static_cast<int>(std::min<qint64>(length, result.fragment.size() - start)));
    }
    default:
        return {};
    }
}

Qt::ItemFlags NoteTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const RowItem item = itemAt(index);
    if (item.isRecord()) flags |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
    if (item.isRecord() && item.record->directory) flags |= Qt::ItemIsDropEnabled;
    return flags;
}

RowItem NoteTreeModel::itemAt(const QModelIndex& index) const {
    const Row* row = rowOf(index);
    return index.isValid() && row ? row->item : RowItem{};
}

FileRep NoteTreeModel::recordAt(const QModelIndex& index) const {
    const RowItem item = itemAt(index);
    return item.isRecord() ? item.record : nullptr;
}

QModelIndex NoteTreeModel::indexOfKey(const void* key) const {
    const auto found = rows_.find(key);
    if (!key || found == rows_.end()) return {};
    return createIndex(found->second.row, 0, const_cast<void*>(key));
}

QModelIndex NoteTreeModel::indexOfRecord(const FileRep& record) const {
    if (!record) return {};
    if (QModelIndex known = indexOfKey(record.get()); known.isValid()) return known;
    std::vector<FileRep> chain;
    for (const FileRep& top : tree_.roots())
        if (findChain(top, record.get(), chain)) break;
    // Read the rows along the way; a step the view does not show ends the search.
    QModelIndex at;
    for (const FileRep& step : chain) {
        rowCount(at);
        at = indexOfKey(step.get());
        if (!at.isValid()) return {};
    }
    return at;
}

QModelIndex NoteTreeModel::indexOfItem(const RowItem& item) const {
    return item.isRecord() ? indexOfRecord(item.record) : indexOfKey(item.key());
}

void NoteTreeModel::reset() {
    beginResetModel();
    retired_ = std::move(rows_);
    rows_.clear();
    rows_.emplace(nullptr, Row{});
    endResetModel();
}

void NoteTreeModel::forgetChildren(Row& row) {
    if (!row.children) return;
    for (const void* key : *row.children)
        retire(key);
    row.children.reset();
}

void NoteTreeModel::retire(const void* key) {
    const auto found = rows_.find(key);
    if (found == rows_.end()) return;
    forgetChildren(found->second);
    retired_.insert(rows_.extract(found));
}

void NoteTreeModel::renumber(const std::vector<const void*>& keys, std::size_t from) {
    for (std::size_t i = from; i < keys.size(); ++i)
        if (const auto found = rows_.find(keys[i]); found != rows_.end()) found->second.row = static_cast<int>(i);
}

// Removes, moves and inserts single runs of rows until the row's children are its fresh shape,
// so that rows of objects that stay keep their children, expansion and selection.
void NoteTreeModel::syncChildren(const QModelIndex& parent, Row& row) {
    const void* parentKey = row.item.key();
    std::vector<RowItem> fresh;
    std::unordered_set<const void*> freshKeys;
    for (RowItem& item : shapeOf(row)) {
        const void* key = item.key();
        // An object shown under another row stays there.
        if (const auto shown = rows_.find(key); shown != rows_.end() && shown->second.parentKey != parentKey)
            continue;
        if (freshKeys.insert(key).second) fresh.push_back(std::move(item));
    }

    std::vector<const void*>& current = *row.children;
    for (int end = static_cast<int>(current.size()) - 1; end >= 0;) {
        if (freshKeys.contains(current[static_cast<std::size_t>(end)])) {
            --end;
            continue;
        }
        int start = end;
        while (start > 0 && !freshKeys.contains(current[static_cast<std::size_t>(start - 1)]))
            --start;
        beginRemoveRows(parent, start, end);
        for (int i = start; i <= end; ++i)
            retire(current[static_cast<std::size_t>(i)]);
        current.erase(current.begin() + start, current.begin() + end + 1);
        renumber(current, static_cast<std::size_t>(start));
        endRemoveRows();
        end = start - 1;
    }

    for (std::size_t i = 0; i < fresh.size(); ++i) {
        const void* key = fresh[i].key();
        if (i < current.size() && current[i] == key) continue;
        if (rows_.contains(key)) {
            const auto at = std::find(current.begin() + static_cast<std::ptrdiff_t>(i), current.end(), key);
            const int from = static_cast<int>(at - current.begin());
            beginMoveRows(parent, from, from, parent, static_cast<int>(i));
            std::rotate(current.begin() + static_cast<std::ptrdiff_t>(i), at, at + 1);
            renumber(current, i);
            endMoveRows();
            continue;
        }
        std::size_t last = i;
        while (last + 1 < fresh.size() && !rows_.contains(fresh[last + 1].key()))
            ++last;
        beginInsertRows(parent, static_cast<int>(i), static_cast<int>(last));
        std::vector<const void*> inserted;
        for (std::size_t k = i; k <= last; ++k) {
            const void* newKey = fresh[k].key();
            rows_.emplace(newKey, Row{std::move(fresh[k]), parentKey, static_cast<int>(k), std::nullopt});
            inserted.push_back(newKey);
        }
        current.insert(current.begin() + static_cast<std::ptrdiff_t>(i), inserted.begin(), inserted.end());
        renumber(current, i);
        endInsertRows();
        i = last;
    }
}

void NoteTreeModel::refreshRow(const QModelIndex& index) {
    Row* row = rowOf(index);
    if (!index.isValid() || !row) return;
    emit dataChanged(index, index);
    if (row->children) syncChildren(index, *row);
}

void NoteTreeModel::refreshRowAndChildren(const QModelIndex& index) {
    refreshRow(index);
    // Children not read yet are read fresh when asked for.
    const Row* row = rowOf(index);
    if (!index.isValid() || !row || !row->children || row->children->empty()) return;
    const int last = static_cast<int>(row->children->size()) - 1;
    emit dataChanged(this->index(0, 0, index), this->index(last, 0, index));
}

} // namespace quillet
