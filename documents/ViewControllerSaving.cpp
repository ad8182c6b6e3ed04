// Edits, autosave and the lock from the edit button, handed to the document session.

#include "browser/view/FolderViewController.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"

namespace quillet {

void ViewController::textDidChange() {
    d->session->textEdited();
    schedulePreviewRefresh();
}

void ViewController::firstLineNameDidChange(const QString& name) {
    d->session->setDisplayName(name);
}

void ViewController::autosaveFile() {
    d->session->autosave();
}

void ViewController::changeEditState(int state) {
    if (!d->session->note()) return;
    d->session->setLocked(state == 0);
    storeSyncedMetadata(d->session->note());
    d->folderViewController->updateTable();
}

} // namespace quillet
