#pragma once
// Changes of a folder record's "children" made by the note operations. Callers hold the lock of
// the top above the folder (topLock).

#include "browser/FileRepresentation.h"
#include "browser/NoteTree.h"

#include <QString>
#include <mutex>

namespace quillet::tree_edits {

// Whether the folder's "children" hold this very record.
bool holds(const FileRepresentation& folder, const FileRep& item);
// Whether `path` is `folder` or lies below it.
bool isInside(const QString& path, const QString& folder);

// Inserts the record at `index` (appended at or beyond the end, or for a negative index), unless
// the folder already holds a record of its path (a listing of the folder got there first): the
// tree never shows a file twice. The record the tree holds for the path.
FileRep insert(const FileRep& folder, const FileRep& item, int index);
void remove(const FileRep& folder, const FileRep& item);

// The lock of the top above the record (every record has one; a record outside the tree its own).
inline std::recursive_mutex& topLock(const NoteTree& tree, const FileRep& item) {
    const FileRep top = item && item->top ? item : tree.findTopFromFileURL(item ? item->fileURL() : QUrl());
    return top ? top->lock() : item->lock();
}

} // namespace quillet::tree_edits
