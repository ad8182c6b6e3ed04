#include "browser/NoteTree.h"
#include "browser/PathComponents.h"
#include "platform/Containers.h"

#include <QDir>

namespace quillet {

namespace {

QString cleanPath(const QUrl& url) {
    const QString path = url.toLocalFile();
    return path.isEmpty() ? path : QDir::cleanPath(path);
}

FileRep findByPath(const QString& path, const FileRep& from) {
    if (!from) return nullptr;
    if (from->path() == path) return from;
    if (!from->children) return nullptr;
    for (const FileRep& child : *from->children)
        if (FileRep found = findByPath(path, child)) return found;
    return nullptr;
}

bool isFolder(const FileRep& rep) {
    return rep && rep->directory;
}

} // namespace

FileRep NoteTree::findTopFromFileURL(const QUrl& url) const {
    const QString path = cleanPath(url);
    if (platform::isUbiquitousItem(path)) return iCloudTop_;
    if (isPathInside(path, cleanPath(localContainer_))) return localTop_;
    if (localFolderTop_) return localFolderTop_;
    return localTop_;
}

FileRep NoteTree::findFileRep(const QUrl& url, const FileRep& from) {
    const QString path = cleanPath(url);
    if (path.isEmpty()) return nullptr;
    return findByPath(path, from);
}

FileRep NoteTree::findFileRep(const QUrl& url) const {
    return findFileRep(url, findTopFromFileURL(url));
}

FileRep NoteTree::findParentFileRep(const QUrl& url, const FileRep& top) {
    const QString parentPath = deletingLastPathComponent(cleanPath(url));
    if (parentPath.isEmpty()) return nullptr;
    return findByPath(parentPath, top);
}

FileRep NoteTree::findParentFileRep(const QUrl& url) const {
    return findParentFileRep(url, findTopFromFileURL(url));
}

FileRep NoteTree::findItem(const FileRep& item, const FileRep& parent) {
    if (!item || !parent || !parent->children) return nullptr;
    for (const FileRep& child : *parent->children) {
        if (!child) continue;
        if (child == item || child->sameValueAs(*item)) return parent;
        if (FileRep found = findItem(item, child)) return found;
    }
    return nullptr;
}

FileRep NoteTree::firstNoteOfTop(const FileRep& top, const QString& excludedPath) const {
    if (!top || !top->children) return nullptr;
    for (const FileRep& child : *top->children)
        if (child && !isFolder(child) && child->path() != excludedPath) return child;
    return nullptr;
}

FileRep NoteTree::findSiblingFileRep(const QUrl& url) const {
    const QString path = cleanPath(url);
    if (const FileRep parent = findParentFileRep(url); parent && parent->children) {
        const FileRepList& entries = *parent->children;
        const auto at = std::find_if(entries.begin(), entries.end(),
                                     [&](const FileRep& entry) { return entry && entry->path() == path; });
        if (at != entries.end()) {
            for (auto before = at; before != entries.begin();)
                if (--before, *before && !isFolder(*before)) return *before;
            for (std::size_t i = 1; i < entries.size(); ++i)
                if (entries[i] && !isFolder(entries[i]) && entries[i]->path() != path) return entries[i];
        }
    }
    const bool inCloud = platform::isUbiquitousItem(path);
    const FileRep ownTop = inCloud ? iCloudTop_ : localTop_;
    const FileRep otherTop = inCloud ? localTop_ : iCloudTop_;
    if (FileRep note = firstNoteOfTop(ownTop, path)) return note;
    return firstNoteOfTop(otherTop, path);
}

} // namespace quillet
