// Locking and unlocking any note, and the note-info sheet.

#include "browser/view/FolderViewController.h"
#include "documents/NoteInfo.h"
#include "documents/ShellHost.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/MarkdownViewController.h"
#include "platform/ItemLock.h"

namespace quillet {

void ViewController::changeEditState(int state, const FileRep& item) {
    if (!item || item->directory) return;
    if (item == d->session->note()) return changeEditState(state);
    const bool locked = state == 0;
    if (const platform::Status set = platform::setLocked(item->path(), locked); !set) {
        showAlert(tr("Couldn't save the Note."), set.description);
        return;
    }
    item->isImmutableChanged = item->isImmutable != locked;
    item->isImmutable = locked;
    storeSyncedMetadata(item);
    d->folderViewController->updateTable();
}

void ViewController::showNoteInfo() {
    if (const FileRep open = d->session->note(); open && !d->isExporting) showNoteInfoForFileRep(open);
}

// The facts are gathered on a worker: the open note's counts from the editor's text (its edits
// included), another note's from its own file.
void ViewController::showNoteInfoForFileRep(const FileRep& item) {
    if (d->isExporting || !item || !d->shell) return;
    d->isExporting = true;
    std::optional<QString> editedText;
    if (item == d->session->note()) editedText = d->markdownViewController->string();
    const QString path = item->path();
    d->onWorker<NoteFacts>(
        [path, editedText] {
            NoteFacts facts = readNoteFacts(path);
            if (editedText) facts.counts = countText(*editedText);
            return facts;
        },
        [this, item](const NoteFacts& facts) {
            d->shell->showNoteInfo(item->fileURL(), noteInfoRecord(*item, facts), [this, token = std::weak_ptr<bool>(d->alive)] {
                if (token.lock()) d->isExporting = false;
            });
        });
}

} // namespace quillet
