#include "browser/view/NoteDragDrop.h"

#include "browser/NoteTree.h"
#include "platform/TypeIdentifiers.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>

namespace quillet {

namespace {

const QString kUriList = QStringLiteral("text/uri-list");
const QString kPlainText = QStringLiteral("text/plain");

bool isFile(const FileRep& record) {
    return record && record->hasFileURL() && !record->directory;
}

QStringList localFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

} // namespace

NoteDragMimeData::NoteDragMimeData(FileRep note) : note_(std::move(note)) {
    setUrls({QUrl::fromLocalFile(note_->path())});
}

QStringList NoteDragMimeData::formats() const {
    QStringList formats = QMimeData::formats();
    if (!formats.contains(kPlainText)) formats << kPlainText;
    return formats;
}

QVariant NoteDragMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
    if (mimeType != kPlainText) return QMimeData::retrieveData(mimeType, type);
    QFile file(note_->path());
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

QMimeData* NoteDragDrop::startDrag(const FileRepList& records) {
    tree_.setDraggingSourceItems({});
    const auto first = std::find_if(records.begin(), records.end(), isFile);
    if (first == records.end()) return nullptr;
    tree_.setDraggingSourceItems(records);
    return new NoteDragMimeData(*first);
}

bool NoteDragDrop::fromBrowser(const QMimeData* data) const {
    return qobject_cast<const NoteDragMimeData*>(data) != nullptr;
}

bool NoteDragDrop::isAcceptedOutsideFile(const QString& path) {
    if (!QFileInfo(path).isFile()) return false;
    const QString type = platform::typeIdentifierForFile(path);
    for (const char* accepted : {platform::kPlainTextTypeIdentifier, platform::kMarkdownTypeIdentifier,
                                 platform::kCssTypeIdentifier, platform::kPythonScriptTypeIdentifier})
        if (type == QLatin1String(accepted)) return true;
    return false;
}

// Between the tops nothing but "On This Computer" can take a file.
FileRep NoteDragDrop::dropTarget(const FileRep& target) const {
    return target ? target : tree_.localTop();
}

FileRep NoteDragDrop::draggedRecord() const {
    const FileRepList& sources = tree_.draggingSourceItems();
    return sources.empty() ? nullptr : sources.front();
}

bool NoteDragDrop::canDrop(const QMimeData* data, const FileRep& target, bool copying) const {
    if (target && !target->directory) return false;
    if (fromBrowser(data)) {
        const FileRep source = draggedRecord();
        const FileRep into = dropTarget(target);
        return copying || !source || !into || QFileInfo(source->path()).path() != into->path();
    }
    const QStringList files = localFiles(data);
    return std::any_of(files.begin(), files.end(), isAcceptedOutsideFile);
}

bool NoteDragDrop::drop(const QMimeData* data, const FileRep& target, int index, bool copying) {
    if (!commands_ || !canDrop(data, target, copying)) return false;
    const FileRep into = dropTarget(target);
    if (!into) return false;
    if (fromBrowser(data)) {
        const FileRep source = draggedRecord();
        if (!source || !source->hasFileURL()) {
            tree_.setDraggingSourceItems({});
            return false;
        }
        const int at = index < 0 || !target ? 0 : index;
        if (copying)
            commands_->copyFile(source->path(), into, at, true);
        else
            commands_->moveFileRep(source, into, at, true);
        return true;
    }
    const QStringList files = localFiles(data);
    const auto first = std::find_if(files.begin(), files.end(), isAcceptedOutsideFile);
    return first != files.end() && commands_->copyFile(*first, into, target ? index : 0, true);
}

} // namespace quillet
