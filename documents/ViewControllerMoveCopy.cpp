// Moving and copying notes and folders within the tree, copying files in, copying a note out to
// a chosen place, and renaming. Nothing replaces an existing file: what the app names itself gets
// a free name, a name the user chose that is taken is refused.

#include "browser/PathComponents.h"
#include "browser/view/FolderViewController.h"
#include "documents/NoteTreeEdits.h"
#include "documents/ShellHost.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "platform/FileOperations.h"
#include "platform/FreeNames.h"
#include "platform/TextFiles.h"

#include <QDateTime>
#include <QFileInfo>
#include <cerrno>

namespace quillet {

namespace {

QString moveFailureMessage(bool deletingAfter) {
    return deletingAfter ? ViewController::tr("Couldn't move the File.") : ViewController::tr("Couldn't copy the File.");
}

} // namespace

void ViewController::moveTo() {
    const FileRep open = d->session->note();
    if (!open || !hasSyncedContainer()) return;
    NoteTree& tree = noteTree();
    moveFileRep(open, open->iCloud ? tree.localTop() : tree.iCloudTop(), 0, true);
}

void ViewController::moveFileRep(const FileRep& item, const FileRep& target, int index, bool deletingAfter) {
    if (!item || !target || item->top) return;
    moveLocally(item, target, index, deletingAfter);
}

void ViewController::moveLocally(const FileRep& item, const FileRep& target, int index, bool deletingAfter) {
    const QString source = item->path();
    if (tree_edits::isInside(target->path(), source)) {
        showAlert(moveFailureMessage(deletingAfter), platform::Status::fromErrno(EINVAL, source).description);
        return;
    }
    const FileRep parent = parentOf(item);
    if (deletingAfter && parent == target) return; // already there
    const FileRep closed = deletingAfter && holdsOpenNote(item) ? closeForOperation() : nullptr;
    if (!deletingAfter && holdsOpenNote(item)) {
        d->session->autosave(); // the copy holds the edits too
        d->session->waitForWrites();
    }
    const QString openPath = closed ? closed->path() : QString();
    const QString fileName = QFileInfo(source).fileName();
    const auto moved = deletingAfter ? platform::moveItemToFreeName(source, target->path(), fileName)
                                     : platform::copyItemToFreeName(source, target->path(), fileName);
    if (!moved) {
        showAlert(moveFailureMessage(deletingAfter), moved.status.description);
        selectAndOpen(closed);
        return;
    }
    FileRep record = recordForPath(*moved);
    if (!record) return;
    {
        std::lock_guard lock(tree_edits::topLock(noteTree(), target));
        if (record->directory) noteTree().enumerateLocalFile(record, 0);
        settleInLibrary(record, item, target);
        record = tree_edits::insert(target, record, index);
        if (deletingAfter) tree_edits::remove(parent, item);
    }
    d->folderViewController->updateTable();
    if (!closed) return;
    // The open note itself, or the same note inside the moved folder.
    const QString newOpenPath = *moved + openPath.mid(source.size());
    selectAndOpen(NoteTree::findFileRep(QUrl::fromLocalFile(newOpenPath), record));
}

bool ViewController::copyFile(const QString& sourcePath, const FileRep& target, int index, bool needsToOpen) {
    if (sourcePath.isEmpty() || !target) return false;
    const auto copied = platform::copyItemToFreeName(sourcePath, target->path(), QFileInfo(sourcePath).fileName());
    FileRep record = copied ? recordForPath(*copied) : nullptr;
    if (!record) {
        showAlert(tr("Couldn't copy the file."), copied.status.description);
        return false;
    }
    {
        std::lock_guard lock(tree_edits::topLock(noteTree(), target));
        if (record->directory) noteTree().enumerateLocalFile(record, 0);
        settleInLibrary(record, nullptr, target);
        record = tree_edits::insert(target, record, index);
    }
    d->folderViewController->updateTable();
    if (needsToOpen) {
        closeDocument();
        selectAndOpen(record);
    }
    return true;
}

void ViewController::copyOpenNote() {
    if (const FileRep open = d->session->note()) copyToFileRep(open);
}

void ViewController::copyToFileRep(const FileRep& item) {
    if (d->isExporting || !item || !d->shell) return;
    if (item == d->session->note()) d->session->autosave(); // the copy holds the edits too
    d->isExporting = true;
    const QString proposed = item->filename.value_or(QFileInfo(item->path()).completeBaseName()) + QStringLiteral(".md");
    const std::optional<QString> chosen = d->shell->chooseCopyDestination(QFileInfo(item->path()).absolutePath(), proposed);
    d->isExporting = false;
    if (!chosen) return;
    d->session->waitForWrites();
    platform::Dispatcher* main = &d->dispatcher;
    coordinateReadURL(item->fileURL(), [this, main, destination = *chosen, token = std::weak_ptr<bool>(d->alive)](
                                           std::optional<QString> text, const platform::Status& error) {
        // On the worker: the chosen place is the user's own, so it may be replaced (the dialog asked).
        const platform::Status written = text ? platform::writeUtf8FileAtomically(destination, *text) : error;
        if (written) return;
        main->onMain([this, token, written] {
            if (token.lock()) showAlert(tr("Couldn't copy the Note."), written.description);
        });
    });
}

void ViewController::filenameDidChange(const FileRep& renamed) {
    if (!renamed || !renamed->filename || renamed->filename->isEmpty()) return;
    const FileRep item = noteTree().findFileRep(renamed->fileURL());
    if (!item) return;
    const QString source = item->path();
    const QString destination = QFileInfo(source).absolutePath() + QLatin1Char('/') + *renamed->filename;
    if (destination == source) return;
    const FileRep closed = holdsOpenNote(item) ? closeForOperation() : nullptr;
    const QString openPath = closed ? closed->path() : QString();
    if (const platform::Status moved = platform::moveItem(source, destination); !moved) {
        showAlert(tr("Couldn't change the filename."), moved.description);
        selectAndOpen(closed);
        return;
    }
    const QString oldName = item->filename.value_or(QString());
    item->setFileURL(QUrl::fromLocalFile(destination));
    item->lastModified = QDateTime::currentDateTime();
    item->filename = lastComponentWithoutExtension(destination);
    if (item->directory || item->displayName == oldName) item->displayName = item->filename;
    if (item->directory) {
        std::lock_guard lock(tree_edits::topLock(noteTree(), item));
        noteTree().enumerateLocalFile(item, 0);
        settleInLibrary(item, nullptr, item);
    }
    d->folderViewController->updateTable();
    if (closed)
        selectAndOpen(NoteTree::findFileRep(QUrl::fromLocalFile(destination + openPath.mid(source.size())), item));
}

} // namespace quillet
