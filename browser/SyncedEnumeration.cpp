#include "browser/SyncedEnumeration.h"

#include "browser/PathComponents.h"
#include "browser/SortDescriptor.h"
#include "platform/TypeIdentifiers.h"

#include <QFileInfo>
#include <QHash>

namespace quillet {
namespace {

using platform::SyncItem;

QString typeOfResult(const SyncItem& item) {
    if (!item.typeIdentifier.isEmpty()) return item.typeIdentifier;
    const bool markdown = pathExtension(lastPathComponent(item.path)) == QLatin1String("md");
    return QString::fromLatin1(markdown ? platform::kMarkdownTypeIdentifier
                                        : platform::kPlainTextTypeIdentifier);
}

bool isNoteType(const QString& type) {
    return type == QLatin1String(platform::kMarkdownTypeIdentifier) ||
           type == QLatin1String(platform::kPlainTextTypeIdentifier);
}

bool isAcceptedFileType(const QString& type) {
    return isNoteType(type) || type == QLatin1String(platform::kCssTypeIdentifier) ||
           type == QLatin1String(platform::kPythonScriptTypeIdentifier);
}

// The folder's children by path, for the lookups of one pass over it.
class ChildIndex {
public:
    explicit ChildIndex(FileRepList& children) : children_(children) {
        for (const FileRep& child : children)
            if (child) byPath_.insert(child->path(), child);
    }
    FileRep find(const QString& path) const { return byPath_.value(path); }
    void insertFirst(const FileRep& record) {
        children_.insert(children_.begin(), record);
        byPath_.insert(record->path(), record);
    }

private:
    FileRepList& children_;
    QHash<QString, FileRep> byPath_;
};

} // namespace

FileRep makeSyncedTop(const QString& documentsPath, const QString& title) {
    FileRep top = FileRepresentation::forPath(documentsPath);
    top->iCloud = true;
    top->displayName = title;
    top->top = true;
    top->directory = true;
    return top; // no "children" yet: the first pass sorts them
}

FileRep SyncedEnumeration::folderRecord(const SyncItem& item, const QString& name,
                                        const QString& relativePath) const {
    FileRep folder = FileRepresentation::forPath(item.isDirectory ? item.path : QString());
    folder->filename = name;
    folder->displayName = name;
    folder->iCloud = true;
    folder->directory = true;
    folder->downloaded = true;
    folder->relativePath = relativePath;
    folder->children.emplace();
    return folder;
}

FileRep SyncedEnumeration::fileRecord(const SyncItem& item, const QString& name, const QString& type) const {
    FileRep file = FileRepresentation::forPath(item.path);
    file->filename = lastComponentWithoutExtension(name);
    file->displayName = isNoteType(type) ? *file->filename : name;
    file->iCloud = true;
    file->updated = true;
    file->UTI = type;
    return file;
}

bool SyncedEnumeration::updateFile(FileRepresentation& file, const SyncItem& item) {
    bool changed = false;
    if (!item.tagNames.isEmpty() || !file.tagNames().isEmpty()) file.setTagNames(item.tagNames);
    if (item.contentDate && file.lastModified != item.contentDate) {
        file.lastModified = item.contentDate;
        file.updated = true;
        changed = true;
    }
    if (file.downloaded != item.downloaded) changed = true;
    file.downloaded = item.downloaded;
    if (!item.downloaded) file.updated = true; // its name is fetched again once it has landed
    // A lock set on another machine arrives through the store before the file's bits do.
    const bool locked =
        item.isImmutable || (lockedInStore && file.relativePath && lockedInStore(*file.relativePath));
    if (locked != file.isImmutable) {
        file.isImmutableChanged = true;
        changed = true;
    }
    file.isImmutable = locked;
    return changed;
}

int SyncedEnumeration::enumerateMetadataItems(double mark, int index, const FileRep& folder) {
    const bool hadChildren = folder->children.has_value();
    FileRepList& children = folder->ensureChildren();
    ChildIndex byPath(children);
    const double passed = folder->seqNum.value_or(mark);
    const QString base = folder->relativePath.value_or(QString());
    const QString folderPath = folder->path();
    bool changed = false;
    int i = index;
    for (; i < int(results_.size()); ++i) {
        const SyncItem& item = results_[std::size_t(i)];
        const auto components = deltaPath(item.path, folderPath);
        if (!components) {
            --i; // the caller goes on with this result
            break;
        }
        if (components->isEmpty()) continue;
        const QString& name = components->first();
        const QString relative = base.isEmpty() ? name : base + QLatin1Char('/') + name;
        const QString childPath = folderPath + QLatin1Char('/') + name;
        FileRep record = byPath.find(childPath);
        if (components->size() >= 2 || item.isDirectory) {
            if (!record) {
                SyncItem folderItem = item;
                folderItem.path = childPath;
                folderItem.isDirectory = true;
                record = folderRecord(folderItem, name, relative);
                byPath.insertFirst(record);
                changed = true;
            }
            if (!record->directory) continue; // a file where the path needs a folder: seen next pass
            if (item.contentDate && components->size() == 1) record->lastModified = item.contentDate;
            record->relativePath = relative;
            record->seqNum = passed;
            record->ensureChildren();
            if (components->size() >= 2) i = enumerateMetadataItems(mark, i, record);
            continue;
        }
        const QString type = typeOfResult(item);
        if (!isAcceptedFileType(type)) continue;
        if (!record) {
            record = fileRecord(item, name, type);
            byPath.insertFirst(record);
            changed = true;
        }
        record->relativePath = relative;
        record->seqNum = passed;
        if (updateFile(*record, item)) changed = true;
    }
    if (changed && folder->hasChildren()) {
        if (readDisplayNameInChildren) readDisplayNameInChildren(children);
        if (updateRowForFileRep) updateRowForFileRep(folder);
    }
    if (!hadChildren) sortRecords(children, enumerationSortDescriptors(sortMode_));
    changed_ = changed_ || changed;
    return i;
}

bool SyncedEnumeration::deleteUnusedChild(double mark, const FileRep& folder) {
    if (!folder->children) return false;
    FileRepList& children = *folder->children;
    bool changed = false;
    for (auto it = children.end(); it != children.begin();) {
        --it;
        const FileRep& child = *it;
        if (!child) continue;
        if (child->directory) {
            if (deleteUnusedChild(mark, child)) changed = true;
        } else if (child->updated) {
            child->updated = false;
            changed = true;
        }
        if (child->seqNum == mark) continue;
        if (!child->seqNum && QFileInfo::exists(child->path())) continue; // added here after the scan
        it = children.erase(it);
        changed = true;
    }
    return changed;
}

} // namespace quillet
