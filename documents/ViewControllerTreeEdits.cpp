// The steps the note operations share: finding a record's folder, closing the open note before its
// file changes, putting records into and out of the tree, and showing the note that takes the
// place of one that went.

#include "browser/view/FolderViewController.h"
#include "documents/NoteTreeEdits.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"

#include <algorithm>

namespace quillet {

namespace tree_edits {

bool holds(const FileRepresentation& folder, const FileRep& item) {
    if (!folder.children) return false;
    return std::find(folder.children->begin(), folder.children->end(), item) != folder.children->end();
}

bool isInside(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

FileRep insert(const FileRep& folder, const FileRep& item, int index) {
    FileRepList& children = folder->ensureChildren();
    for (const FileRep& child : children)
        if (child && child->path() == item->path()) return child;
    const auto at = index < 0 || std::size_t(index) >= children.size() ? children.end() : children.begin() + index;
    children.insert(at, item);
    return item;
}

void remove(const FileRep& folder, const FileRep& item) {
    if (!folder || !folder->children) return;
    FileRepList& children = *folder->children;
    children.erase(std::remove(children.begin(), children.end(), item), children.end());
}

} // namespace tree_edits

NoteTree& ViewController::noteTree() const {
    return d->folderViewController->noteTree();
}

// The folder whose "children" hold this very record.
FileRep ViewController::parentOf(const FileRep& item) const {
    if (!item) return nullptr;
    NoteTree& tree = noteTree();
    if (FileRep parent = tree.findParentFileRep(item->fileURL()); parent && tree_edits::holds(*parent, item))
        return parent;
    for (const FileRep& root : tree.roots()) {
        if (!root) continue;
        if (tree_edits::holds(*root, item)) return root;
        if (FileRep found = NoteTree::findItem(item, root)) return found;
    }
    return nullptr;
}

bool ViewController::holdsOpenNote(const FileRep& item) const {
    const FileRep open = d->session->note();
    return open && item && (open == item || tree_edits::isInside(open->path(), item->path()));
}

// The open note's pending edits are on disk before its file is moved or removed. The note that
// was open: it is opened again when the operation fails.
FileRep ViewController::closeForOperation() {
    const FileRep open = d->session->note();
    closeDocument();
    d->session->waitForWrites();
    return open;
}

void ViewController::selectAndOpen(const FileRep& item, std::optional<Range> caret) {
    if (!item) return;
    NoteTree& tree = noteTree();
    tree.setUpdateTableWithoutSelection(true);
    d->folderViewController->selectRowWithFileRep(item);
    tree.setUpdateTableWithoutSelection(false);
    if (caret)
        openDocument(item, *caret);
    else
        openDocument(item);
}

void ViewController::addCreatedNote(const FileRep& folder, const FileRep& note, std::optional<Range> caret) {
    FileRep added;
    {
        std::lock_guard lock(tree_edits::topLock(noteTree(), folder));
        added = tree_edits::insert(folder, note, 0);
    }
    d->folderViewController->updateTable();
    selectAndOpen(added, caret);
}

} // namespace quillet
