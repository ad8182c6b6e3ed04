// Deleting notes and folders. Everything deleted goes to the desktop's trash, where the file
// manager restores it; only where the file system has no trash is the user asked whether to
// delete it for good.

#include "browser/view/FolderViewController.h"
#include "documents/NoteTreeEdits.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "platform/FileOperations.h"
#include "platform/FreeNames.h"
#include "platform/Trash.h"

#include <QFileInfo>
#include <cerrno>

namespace quillet {

namespace {

QString shownName(const FileRepresentation& item) {
    if (item.displayName && !item.displayName->isEmpty()) return *item.displayName;
    return QFileInfo(item.path()).completeBaseName();
}

// Moves the item to the trash (or, agreed, deletes it for good); the failure, none on success.
// ECANCELED: the user kept it.
std::optional<platform::Status> removeToTrash(const QString& path, const std::function<bool()>& confirm) {
    const auto trashed = platform::moveItemToTrash(path);
    if (trashed) return std::nullopt;
    if (trashed.status.errorCode != ENOTSUP) return trashed.status;
    if (!confirm()) return platform::Status::failure(QString(), ECANCELED);
    if (platform::Status removed = platform::removeItem(path); !removed) return removed;
    return std::nullopt;
}

} // namespace

void ViewController::deleteNote() {
    if (const FileRep open = d->session->note()) deleteNote(open);
}

void ViewController::deleteNote(const FileRep& item) {
    if (d->deletingNote || !item) return;
    d->deletingNote = true;
    const QString name = item == d->session->note() ? d->session->displayName() : shownName(*item);
    const int answer = d->alerts->ask(tr("Delete Note: %1").arg(name.isEmpty() ? shownName(*item) : name),
                                      tr("Filename is '%1'.").arg(QFileInfo(item->path()).fileName()),
                                      {tr("OK"), tr("Cancel")});
    if (answer == 0) deleteNoteInFileRep(item);
    d->deletingNote = false;
}

bool ViewController::confirmPermanentDeletion(const FileRep& item) {
    const int answer = d->alerts->ask(tr("\u201c%1\u201d can't be moved to the Trash.").arg(shownName(*item)),
                                      tr("Its file system has no Trash. Delete it permanently? This can't be undone."),
                                      {tr("Delete"), tr("Cancel")});
    return answer == 0;
}

void ViewController::deleteNoteInFileRep(const FileRep& item) {
    if (!item) return;
    moveToTrash(item, item->directory ? tr("Couldn't delete the Folder.") : tr("Couldn't delete the Note."));
}

void ViewController::deleteFolder(const FileRep& folder) {
    moveToTrash(folder, tr("Couldn't delete the folder."));
}

// A note open anywhere inside the item (or the item itself) is closed first: its file goes with
// it, and the row beside the item is opened afterwards. On failure the closed note is opened again.
void ViewController::moveToTrash(const FileRep& item, const QString& failureMessage) {
    if (!item || item->top) return;
    const FileRep parent = parentOf(item);
    FileRep sibling, closed;
    if (holdsOpenNote(item)) {
        sibling = noteTree().findSiblingFileRep(item->fileURL());
        closed = closeForOperation();
    }
    const auto failure = removeToTrash(item->path(), [this, item] { return confirmPermanentDeletion(item); });
    if (failure) {
        if (failure->errorCode != ECANCELED) showAlert(failureMessage, failure->description);
        selectAndOpen(closed);
        return;
    }
    {
        std::lock_guard lock(tree_edits::topLock(noteTree(), parent ? parent : item));
        tree_edits::remove(parent, item);
    }
    d->folderViewController->updateTable();
    if (sibling) selectAndOpen(sibling);
}

} // namespace quillet
