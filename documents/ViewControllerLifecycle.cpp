// Opening, re-reading, reverting, closing and clearing the open document.

#include "browser/view/FolderViewController.h"
#include "documents/Outline.h"
#include "documents/Search.h"
#include "documents/ShellHost.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/MarkdownViewController.h"
#include "platform/Containers.h"
#include "platform/FileOperations.h"
#include "platform/ItemLock.h"
#include "platform/TextFiles.h"
#include "platform/TypeIdentifiers.h"
#include "platform/UserDefaults.h"

#include <QPlainTextEdit>
#include <QProgressBar>

namespace quillet {

namespace {

const QString kFolderType = QString::fromLatin1(platform::kFolderTypeIdentifier);
const QString kMarkdownType = QString::fromLatin1(platform::kMarkdownTypeIdentifier);

Range storedSelection(const FileRepresentation& note) {
    if (!note.textSelectedRange) return {};
    return Range::parse(note.textSelectedRange->toStdString()).value_or(Range{});
}

void showProgress(MarkdownViewController& editor, bool loading) {
    QProgressBar* progress = editor.progressIndicator();
    if (!progress) return;
    progress->setRange(0, 0); // busy, no percentage
    progress->setVisible(loading);
}

} // namespace

void ViewController::showAlert(const QString& message, const QString& informativeText) {
    d->alerts->showAlert(message, informativeText);
}

void ViewController::openDocument(const FileRep& note) {
    if (!note) return;
    const QString type = documents_detail::typeIdentifierOf(*note);
    if (!documents_detail::isAcceptedNoteType(type)) {
        showAlert(tr("Couldn't open the Note."), tr("File isn't markdown."));
        return;
    }
    if (!note->hasFileURL()) return;

    MarkdownViewController& editor = *d->markdownViewController;
    if (type == kFolderType) {
        saveEditsBeforeReplacingText(note);
        editor.setDisplayName(QString());
        editor.setFileUTI(type);
        editor.setString(QString());
        editor.setEditState(false);
        return;
    }

    d->setOpenedFileURL(note->fileURL());
    showProgress(editor, true);
    if (note->lastModified) note->lastUpdated = note->lastModified;
    const std::uint64_t generation = ++d->documentGeneration;
    const bool iCloud = note->iCloud;
    const QString searchString = d->searchTarget;
    auto coordinator = d->fileCoordinator;
    auto metadata = d->metadata;
    platform::Dispatcher& dispatcher = d->dispatcher;
    dispatcher.onWorker([this, &dispatcher, note, type, generation, iCloud, searchString, coordinator,
                         metadata, token = std::weak_ptr<bool>(d->alive)] {
        ReadOutcome outcome;
        outcome.generation = generation;
        const platform::Status coordination = coordinator->coordinateReading(
            note->path(), platform::ReadingOption::none, [&](const QString& path) {
                readNoteFile(path, note.get(), iCloud, *metadata, outcome);
                if (outcome.missing) return;
                note->downloaded = true;
                if (!outcome.text) return;
                if (type == kMarkdownType) note->setOutline(createOutline(*outcome.text));
                if (!searchString.isEmpty())
                    note->setSearchResults(std::make_shared<const SearchResults>(
                        quillet::searchResults(searchString, *outcome.text)));
                if (const auto locked = platform::isLocked(path)) outcome.locked = *locked;
            });
        if (!coordination) outcome.error = coordination;
        dispatcher.onMain([this, token, note, type, outcome] {
            if (token.lock()) finishOpening(note, type, outcome);
        });
    });
}

// Reads the note at `path` as UTF-8 into `outcome`; for a note with text, its metadata goes into
// `note` (when there is one). An empty note's metadata is not read.
void ViewController::readNoteFile(const QString& path, FileRepresentation* note, bool iCloud,
                                  const NoteMetadata& metadata, ReadOutcome& outcome) {
    if (!platform::itemExists(path)) {
        outcome.missing = true;
        return;
    }
    platform::TextReadResult read = platform::readUtf8File(path);
    outcome.text = std::move(read.text);
    outcome.error = read.status;
    if (!note || !outcome.text || outcome.text->isEmpty()) return;
    if (iCloud)
        metadata.readEAFromCloudKV(*note);
    else
        metadata.readEAFromURL(*note);
}

void ViewController::finishOpening(const FileRep& note, const QString& typeIdentifier,
                                   const ReadOutcome& outcome) {
    if (outcome.generation != d->documentGeneration) return; // a later open or close won
    MarkdownViewController& editor = *d->markdownViewController;
    showProgress(editor, false);
    if (outcome.missing) {
        showAlert(tr("Couldn't open the Note."), tr("Note isn't exist."));
        return;
    }
    if (!outcome.text) {
        showAlert(tr("Couldn't open the Note."), outcome.error.description);
        return;
    }
    saveEditsBeforeReplacingText(note);
    editor.setDisplayName(QString());
    if (note->displayName) editor.setDisplayName(*note->displayName);
    editor.setFileUTI(typeIdentifier);
    const auto unsaved = d->unsavedTexts.find(note->path());
    if (unsaved == d->unsavedTexts.end()) {
        editor.setString(*outcome.text);
    } else {
        editor.setString(unsaved->second);
        d->unsavedTexts.erase(unsaved);
        editor.setDocumentDirty(true);
        scheduleAutosave();
    }
    editor.setSelectedRange(storedSelection(*note));

    const bool locked = outcome.locked && (*outcome.locked || note->isImmutable);
    applyEditState(!locked);

    d->lastFileRepresentation = note;
    d->defaults.setObject(QString::fromLatin1(platform::defaults_keys::kLastOpenedFilepath), note->path());
    updateWebView();
    emit documentChanged();
}

// Callers normally close the open note first; one that does not must not cost its edits.
void ViewController::saveEditsBeforeReplacingText(const FileRep& incoming) {
    const FileRep current = d->lastFileRepresentation;
    MarkdownViewController& editor = *d->markdownViewController;
    if (!current || current == incoming || !editor.documentDirty()) return;
    d->autosaveCall.cancel();
    autosaveFile();
    if (!current->iCloud && editor.documentDirty()) d->unsavedTexts[current->path()] = editor.string();
}

void ViewController::applyEditState(bool editable) {
    d->editState = editable;
    if (d->shell) d->shell->setEditButtonState(editable);
    d->markdownViewController->setEditState(editable);
}

void ViewController::updateDocument(const FileRep& note) {
    if (!note || !note->hasFileURL()) return;
    if (note->lastModified) note->lastUpdated = note->lastModified;
    rereadDocument(note->fileURL(), note->iCloud, false);
}

void ViewController::revertDocumentWithContentsOfURL(const QUrl& url) {
    if (url.isEmpty()) return;
    rereadDocument(url, platform::isUbiquitousItem(url.toLocalFile()), true);
}

void ViewController::rereadDocument(const QUrl& url, bool iCloud, bool readMetadata) {
    const std::uint64_t generation = d->documentGeneration;
    auto coordinator = d->fileCoordinator;
    auto metadata = d->metadata;
    const FileRep found = readMetadata ? d->folderViewController->noteTree().findFileRep(url) : FileRep();
    platform::Dispatcher& dispatcher = d->dispatcher;
    dispatcher.onWorker([this, &dispatcher, url, iCloud, generation, coordinator, metadata, found,
                         token = std::weak_ptr<bool>(d->alive)] {
        ReadOutcome outcome;
        outcome.generation = generation;
        const platform::Status coordination = coordinator->coordinateReading(
            url.toLocalFile(), platform::ReadingOption::none, [&](const QString& path) {
                readNoteFile(path, found.get(), iCloud, *metadata, outcome);
                if (outcome.missing) return;
                if (outcome.text) outcome.locked = platform::isLocked(path).value;
            });
        if (!coordination) outcome.error = coordination;
        dispatcher.onMain([this, token, outcome] {
            if (token.lock()) finishRereading(outcome);
        });
    });
}

void ViewController::finishRereading(const ReadOutcome& outcome) {
    if (outcome.generation != d->documentGeneration) return; // the note was closed meanwhile
    if (outcome.missing) {
        showAlert(tr("Couldn't read the Note."), tr("Note isn't exist."));
        return;
    }
    if (!outcome.text) {
        showAlert(tr("Couldn't read the Note."), outcome.error.description);
        return;
    }
    MarkdownViewController& editor = *d->markdownViewController;
    editor.setEditState(!outcome.locked.value_or(false));
    editor.setString(*outcome.text);
}

void ViewController::closeDocument() {
    const FileRep note = d->lastFileRepresentation;
    if (!note || !note->hasFileURL()) return;
    MarkdownViewController& editor = *d->markdownViewController;
    if (documents_detail::typeIdentifierOf(*note) != kFolderType) {
        d->autosaveCall.cancel();
        autosaveFile();
        // A failed save leaves the text dirty (cloud saves finish later, on their own).
        if (!note->iCloud && editor.documentDirty()) d->unsavedTexts[note->path()] = editor.string();
    }
    editor.clearUndoHistory();
    editor.detachTextStorageDelegate();
    editor.setString(QString());
    d->lastFileRepresentation.reset();
    d->setOpenedFileURL(std::nullopt);
    ++d->documentGeneration;
    emit documentChanged();
}

void ViewController::clearDocument() {
    MarkdownViewController& editor = *d->markdownViewController;
    editor.setDocumentDirty(false);
    editor.setString(QString());
    editor.textView()->setReadOnly(true);
    editor.detachTextStorageDelegate();
    ++d->documentGeneration;
}

} // namespace quillet
