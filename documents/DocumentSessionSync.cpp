// The open note's owner for notes of the synced folder: conflict copies left by the sync engine
// and moves made on another machine while the note has unsaved edits.

#include "documents/DocumentSession.h"
#include "documents/NewNoteNames.h"
#include "documents/RecoveryFile.h"
#include "documents/SyncedNoteChanges.h"
#include "platform/SyncFolder.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSysInfo>

namespace quillet {

bool DocumentSession::isSyncedNote(const FileRep& note) const {
    return note && note->hasFileURL() && (note->iCloud || platform::isSyncedItem(note->path()));
}

void DocumentSession::checkConflicts() {
    if (!note_ || checkingConflicts_) return;
    checkingConflicts_ = true;
    const std::uint64_t generation = generation_;
    const QString path = note_->path();
    const QString name = newNoteName(QDateTime::currentDateTime());
    const QStringList skip = toldConflicts_;
    writer_.enqueue<ConflictResolution>(
        [path, name, skip] { return resolveConflictCopies(path, name, skip); },
        [this, generation](const ConflictResolution& resolution) {
            checkingConflicts_ = false;
            if (generation == generation_) conflictsLookedAt(resolution);
        });
}

void DocumentSession::conflictsLookedAt(const ConflictResolution& resolution) {
    if (resolution.copies.isEmpty()) return;
    if (resolution.otherComputer) {
        // Left for that computer to resolve; told once.
        toldConflicts_ << resolution.copies.front();
        view_.alert(tr("Conflict is happened."), tr("Conflicting with '%1'").arg(*resolution.otherComputer));
        return;
    }
    if (!resolution.error) {
        toldConflicts_ << resolution.copies.front();
        view_.alert(tr("Conflict is happened."), resolution.error.description);
        return;
    }
    const QString computer = resolution.savedBy.isEmpty() ? QSysInfo::machineHostName() : resolution.savedBy;
    QString text = tr("Conflict with '%1'. Text is saved as '%2'")
                       .arg(computer, QFileInfo(resolution.newNotePath).completeBaseName());
    view_.noteAdded(resolution.newNotePath);
    for (const QString& kept : resolution.kept) {
        view_.noteAdded(kept);
        text += QLatin1Char('\n') + tr("The text is kept in \u201c%1\u201d.").arg(QFileInfo(kept).fileName());
    }
    view_.alert(tr("Conflict is happened."), text);
}

// The other machine moved the note while this one has edits not yet saved: the edits are not
// written into the moved file; the user may copy them into a new note beside the old place.
void DocumentSession::movedWithEdits(const QString& movedTo) {
    autosaveCall_.cancel();
    const FileRep note = note_;
    const QString oldPath = note->path();
    const QString text = view_.editedText();
    const QString type = type_;
    editable_ = false;
    view_.setEditable(false);
    note->setFileURL(QUrl::fromLocalFile(movedTo));
    watcher_.watch(movedTo);
    view_.documentChanged();
    const int answer = view_.ask(tr("Note is moved by other."), tr("Do you want to copy the Note."),
                                 {tr("OK"), tr("Cancel")});
    if (note != note_) return; // closed while the question was up
    dirty_ = false;
    if (answer != 0) {
        // The editor stays read-only; the edits are not thrown away with it.
        const QString kept = keepRecoveryText(oldPath, text);
        view_.alert(tr("Note is moved by other."), tr("The text is kept in \u201c%1\u201d.").arg(kept));
        return;
    }
    const QString name = newNoteName(QDateTime::currentDateTime());
    const QFileInfo old(oldPath);
    const QString extension = old.suffix().isEmpty() ? QString() : QLatin1Char('.') + old.suffix();
    const QString copyPath = old.absolutePath() + QLatin1Char('/') + name + extension;
    // Titled above the edited text rather than over its first line, which may hold an edit.
    writeNewNote(copyPath, tr("copy"), newNoteText(name) + text,
                 [this, type, text](const QString& path, const platform::Status& status) {
                     if (!status) {
                         const QString kept = keepRecoveryText(path, text);
                         view_.alert(tr("Couldn't save the Note."),
                                     status.description + QLatin1Char('\n') +
                                         tr("The text is kept in \u201c%1\u201d.").arg(kept));
                         return;
                     }
                     if (const FileRep added = view_.noteAdded(path)) {
                         open(added, type);
                         storeLastOpened(path);
                     }
                 });
}

} // namespace quillet
