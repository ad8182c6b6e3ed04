// Autosave, saving the open note, and locking or unlocking it from the edit button.

#include "browser/view/FolderViewController.h"
#include "documents/NoteSaving.h"
#include "documents/Outline.h"
#include "documents/ShellHost.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/MarkdownViewController.h"
#include "platform/Containers.h"
#include "platform/ItemLock.h"
#include "platform/TextFiles.h"

#include <QDateTime>

namespace quillet {

namespace {
constexpr auto kAutosaveDelay = platform::seconds(5.0);
constexpr auto kPreviewDelay = platform::seconds(2.0);
} // namespace

void ViewController::scheduleAutosave() {
    d->autosaveCall.schedule(kAutosaveDelay, [this] { autosaveFile(); });
    d->previewCall.schedule(kPreviewDelay, [this] { updateWebView(); });
}

void ViewController::disableAutosave() {
    d->autosaveCall.cancel();
}

void ViewController::autosaveFile() {
    // The editor lives on the main thread: a call from elsewhere is carried over there.
    if (!d->dispatcher.isMainThread()) {
        d->onMainWhileAlive([this] { autosaveFile(); });
        return;
    }
    const FileRep note = d->lastFileRepresentation;
    if (!note) return;
    MarkdownViewController& editor = *d->markdownViewController;
    const QString text = editor.string();
    const QString selection = QString::fromStdString(editor.selectedRange().toString());
    if (note->textSelectedRange != selection) {
        note->textSelectedRange = selection;
        note->textSelectedRangeChanged = true;
    }
    if (!editor.documentDirty()) {
        if (note->iCloud) touchSynchronizeData();
        writeMetadata(*note);
        return;
    }
    if (note->displayName != editor.displayName()) {
        note->displayName = editor.displayName();
        note->displayNameChanged = true;
    }
    saveFile(note, text, false, [this, note](bool success, const platform::Status& error) {
        saveCompleted(note, success, error);
    });
}

// A failed save keeps the editor dirty, so its text is written by the next autosave instead of
// being taken for saved.
void ViewController::saveCompleted(const FileRep& note, bool success, const platform::Status& error) {
    if (!success) {
        showAlert(tr("Couldn't save the Note."), error.description);
        return;
    }
    if (note == d->lastFileRepresentation) d->markdownViewController->setDocumentDirty(false);
    if (!note->iCloud) d->folderViewController->updateRowForFileRep(note);
}

void ViewController::writeMetadata(FileRepresentation& note) {
    if (note.iCloud)
        d->metadata->writeEAToCloudKV(note);
    else
        d->metadata->writeEAToURL(note);
}

void ViewController::touchSynchronizeData() {
    const auto container = platform::ubiquityContainerPath();
    if (!container) return;
    const QString path = *container + QStringLiteral("/synchronize.data");
    auto coordinator = d->fileCoordinator;
    d->dispatcher.onWorker([coordinator, path] {
        coordinator->coordinateWriting(path, platform::WritingOption::forMerging, [](const QString& target) {
            const QString stamp = QDateTime::currentDateTime().toString(Qt::ISODate);
            platform::writeUtf8FileAtomically(target, QStringLiteral("# Synchronize #\n") + stamp);
        });
    });
}

void ViewController::saveFile(const FileRep& note, std::optional<QString> srcString, bool lockOption,
                              SaveCompletion completion) {
    if (!d->lastFileRepresentation || !note || !note->hasFileURL()) return;
    if (note->iCloud) {
        saveICloudNote(note, std::move(srcString), lockOption, std::move(completion));
        return;
    }
    const QString text = srcString ? *srcString : d->markdownViewController->string();
    const platform::Status status = saveLocalNote(*note, text, *d->metadata, lockOption);
    if (completion) completion(status.ok, status);
}

void ViewController::saveICloudNote(const FileRep& note, std::optional<QString> srcString, bool lockOption,
                                    SaveCompletion completion) {
    platform::Dispatcher& dispatcher = d->dispatcher;
    auto coordinator = d->fileCoordinator;
    std::weak_ptr<bool> token = d->alive;
    dispatcher.onWorker([this, &dispatcher, coordinator, token, note, srcString, lockOption, completion] {
        coordinator->coordinateWriting(
            note->path(), platform::WritingOption::forMerging, [&](const QString& path) {
                dispatcher.onMain([this, token, path, srcString, lockOption, completion] {
                    if (!token.lock()) return;
                    const QString text = srcString ? *srcString : d->markdownViewController->string();
                    if (d->lastFileRepresentation) d->lastFileRepresentation->setOutline(createOutline(text));
                    platform::Status status = platform::writeUtf8FileAtomically(path, text);
                    if (status) {
                        const FileRep stored =
                            d->folderViewController->noteTree().findFileRep(QUrl::fromLocalFile(path));
                        if (stored && lockOption) status = platform::setLocked(path, stored->isImmutable);
                        if (stored) d->metadata->writeEAToCloudKV(*stored);
                    }
                    if (completion) completion(status.ok, status);
                });
            });
    });
}

void ViewController::saveContents(QString text, const QUrl& url, const QString& title) {
    const qsizetype lineBreak = text.indexOf(QLatin1Char('\n'));
    const qsizetype firstLineLength = lineBreak < 0 ? text.size() : lineBreak + 1;
    if (firstLineLength > 0) text.replace(0, firstLineLength, QStringLiteral("# %1 #\n").arg(title));
    platform::writeUtf8FileAtomically(url.toLocalFile(), text); // errors are ignored here
}

void ViewController::changeEditState(int state) {
    if (!d->lastFileRepresentation) return;
    if (state == 0)
        lockOpenNote();
    else
        unlockOpenNote();
    d->folderViewController->updateTable();
}

void ViewController::lockOpenNote() {
    const FileRep note = d->lastFileRepresentation;
    const bool wasLocked = note->isImmutable;
    if (!wasLocked) note->isImmutableChanged = true;
    note->isImmutable = true;
    applyEditState(false);
    d->autosaveCall.cancel();

    // The lock did not take: the note stays editable, as it is on disk.
    auto failed = [this, note, wasLocked](const platform::Status& error) {
        note->isImmutable = wasLocked;
        if (note == d->lastFileRepresentation) applyEditState(!wasLocked);
        showAlert(tr("Couldn't save the Note."), error.description);
    };
    MarkdownViewController& editor = *d->markdownViewController;
    if (!editor.documentDirty()) {
        if (note->iCloud) {
            coordinateLockFileRep(note,
                                  [metadata = d->metadata, note](bool success, const platform::Status&) {
                                      if (success) metadata->writeEAToCloudKV(*note);
                                  });
            return;
        }
        if (const platform::Status status = platform::setLocked(note->path(), true); !status) failed(status);
        return;
    }
    saveFile(note, std::nullopt, true, [this, note, wasLocked](bool success, const platform::Status& error) {
        saveCompleted(note, success, error);
        if (success || platform::isLocked(note->path()).value.value_or(false)) return;
        note->isImmutable = wasLocked;
        if (note == d->lastFileRepresentation) applyEditState(!wasLocked);
    });
}

void ViewController::unlockOpenNote() {
    const FileRep note = d->lastFileRepresentation;
    applyEditState(true);
    if (note->isImmutable) note->isImmutableChanged = true;
    note->isImmutable = false;
    if (note->iCloud) {
        coordinateLockFileRep(note, [metadata = d->metadata, note](bool, const platform::Status&) {
            metadata->writeEAToCloudKV(*note);
        });
        return;
    }
    if (const platform::Status status = platform::setLocked(note->path(), false); !status) {
        note->isImmutable = true;
        applyEditState(false);
        showAlert(tr("Couldn't save the Note."), status.description);
    }
}

} // namespace quillet
