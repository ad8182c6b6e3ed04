// Opening and closing notes, through the document session, and the session's view of the panes.

#include "browser/view/FolderViewController.h"
#include "documents/ShellHost.h"
#include "documents/NotePrefetch.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/MarkdownViewController.h"
#include "platform/TypeIdentifiers.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProgressBar>

namespace quillet {

namespace {
const QString kFolderType = QString::fromLatin1(platform::kFolderTypeIdentifier);
} // namespace

void ViewController::showAlert(const QString& message, const QString& informativeText) {
    d->alerts->showAlert(message, informativeText);
}

DocumentSession& ViewController::session() const {
    return *d->session;
}

FileRep ViewController::lastFileRepresentation() const {
    return d->session->note();
}

bool ViewController::editState() const {
    return d->session->isEditable();
}

bool ViewController::documentDirty() const {
    return d->session->isDirty();
}

QString ViewController::displayName() const {
    return d->session->displayName();
}

void ViewController::openDocument(const FileRep& note) {
    openDocument(note, std::shared_ptr<NotePrefetch>());
}

void ViewController::openDocument(const FileRep& note, const std::shared_ptr<NotePrefetch>& prefetch) {
    if (!note) return;
    const QString type = documents_detail::typeIdentifierOf(*note);
    if (!documents_detail::isAcceptedNoteType(type)) {
        showAlert(tr("Couldn't open the Note."), tr("File isn't markdown."));
        return;
    }
    if (!note->hasFileURL()) return;
    if (type == kFolderType) {
        d->session->close();
        d->sessionView->showNothing(type);
        return;
    }
    readSyncedMetadata(note);
    d->session->open(note, type, prefetch);
}

void ViewController::openDocument(const FileRep& note, Range selection) {
    if (!note || !note->hasFileURL()) return;
    const QString type = documents_detail::typeIdentifierOf(*note);
    if (!documents_detail::isAcceptedNoteType(type) || type == kFolderType) return openDocument(note);
    if (note == d->session->note()) {
        setSelectedRange(selection);
        return;
    }
    readSyncedMetadata(note);
    d->session->open(note, type, selection);
}

void ViewController::closeDocument() {
    d->session->close();
}

} // namespace quillet
