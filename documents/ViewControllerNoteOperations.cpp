// New notes and duplicates. Their first text is written on a worker
// under a free name; a note whose text could not be written gets no row.

#include "browser/LocalRecords.h"
#include "browser/view/FolderViewController.h"
#include "documents/NewNoteNames.h"
#include "documents/NoteTreeEdits.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/MarkdownViewController.h"
#include "platform/Containers.h"
#include "platform/FolderListing.h"
#include "platform/FreeNames.h"
#include "platform/TypeIdentifiers.h"

#include <QDateTime>
#include <QFileInfo>

namespace quillet {

namespace {

const QString kMarkdownExtension = QStringLiteral(".md");

} // namespace

bool ViewController::hasSyncedContainer() const {
    return noteTree().iCloudTop() != nullptr;
}

bool ViewController::isExporting() const {
    return d->isExporting;
}

FileRep ViewController::recordForPath(const QString& path) const {
    auto entry = platform::entryForPath(path);
    return entry ? recordForFolderEntry(std::move(*entry)) : nullptr;
}

void ViewController::newNote() {
    if (d->addingNote) return;
    const FileRep open = d->session->note();
    NoteTree& tree = noteTree();
    FileRep folder = open ? parentOf(open) : nullptr;
    if (!folder) folder = hasSyncedContainer() ? tree.iCloudTop() : tree.localTop();
    if (folder) newNoteInFileRep(folder);
}

void ViewController::newNoteInFileRep(const FileRep& folder) {
    if (d->addingNote || !folder) return;
    d->addingNote = true;
    closeDocument();
    const QString name = newNoteName(QDateTime::currentDateTime());
    const FileRep note =
        FileRepresentation::forPath(folder->path() + QLatin1Char('/') + name + kMarkdownExtension);
    note->displayName = name;
    note->displayNameChanged = true;
    note->iCloud = folder->iCloud;
    // The name in the title line is selected: what the user types first names the note.
    const QString text = newNoteText(name);
    writeNewNote(folder, note, text, Range{std::size_t(text.indexOf(name)), std::size_t(name.size())});
}

FileRep ViewController::copyFileRepresentation(const FileRep& item) const {
    if (!item) return nullptr;
    FileRep folder = parentOf(item);
    const QString folderPath =
        folder && !folder->top ? folder->path() : QFileInfo(item->path()).absolutePath();
    const QString name = newNoteName(QDateTime::currentDateTime());
    const FileRep copy =
        FileRepresentation::forPath(folderPath + QLatin1Char('/') + name + kMarkdownExtension);
    copy->filename = name;
    copy->displayName = tr("Copy %1").arg(item->displayName.value_or(item->filename.value_or(name)));
    copy->displayNameChanged = true;
    copy->iCloud = item->iCloud;
    copy->downloaded = true;
    copy->lastModified = QDateTime::currentDateTime();
    copy->UTI = QString::fromLatin1(platform::kMarkdownTypeIdentifier);
    return copy;
}

void ViewController::duplicateNote() {
    if (d->addingNote) return;
    const FileRep open = d->session->note();
    const FileRep parent = parentOf(open);
    if (!open || !parent) return;
    d->addingNote = true;
    const QString text = d->markdownViewController->string();
    const FileRep copy = copyFileRepresentation(open);
    closeDocument();
    writeNewNote(parent, copy, textWithTitle(text, copy->displayName.value_or(QString())));
}

// Writes the first text under the record's name, or the first free one beside it; then the
// record takes the name that was written, goes to the top of the folder and is opened.
void ViewController::writeNewNote(const FileRep& folder, const FileRep& note, const QString& text,
                                  std::optional<Range> caret) {
    const QString folderPath = folder->path();
    const QString fileName = QFileInfo(note->path()).fileName();
    const QByteArray bytes = text.toUtf8();
    d->onWorker<platform::Result<QString>>(
        [folderPath, fileName, bytes] {
            return platform::createFileWithFreeName(folderPath, fileName, bytes);
        },
        [this, folder, note, caret](const platform::Result<QString>& written) {
            d->addingNote = false;
            if (!written) {
                showAlert(tr("Couldn't save the Note."), written.status.description);
                return;
            }
            const FileRep made = recordForPath(*written);
            if (!made) return;
            if (note->displayName) made->displayName = note->displayName;
            made->displayNameChanged = note->displayNameChanged;
            made->iCloud = note->iCloud;
            storeSyncedMetadata(made);
            addCreatedNote(folder, made, caret);
        });
}

} // namespace quillet
