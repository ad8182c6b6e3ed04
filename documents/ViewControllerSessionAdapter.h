#pragma once
// The document session's hands: the editor, the browser, the window's edit button and alerts.
// Only ViewController*.cpp include this (through ViewControllerPrivate.h).

#include "browser/view/FolderViewController.h"
#include "documents/ShellHost.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/MarkdownViewController.h"
#include "platform/TypeIdentifiers.h"

#include <QFileInfo>
#include <QProgressBar>

namespace quillet {

class ViewController::SessionAdapter final : public SessionView {
public:
    explicit SessionAdapter(ViewController& owner) : owner_(owner) {}

    MarkdownViewController& editor() const { return *owner_.d->markdownViewController; }

    void showLoading(bool loading) override {
        QProgressBar* progress = editor().progressIndicator();
        if (!progress) return;
        progress->setRange(0, 0); // busy, no percentage
        progress->setVisible(loading);
    }

    void showNote(const FileRep&, const QString& type, const QString& text, Range selection,
                  bool editable) override {
        MarkdownViewController& view = editor();
        view.setFileUTI(type);
        view.setEditState(editable);
        view.setString(text);
        view.setSelectedRange(selection);
        showEditable(editable);
        owner_.updateWebView();
    }

    void showNothing(const QString& type) override {
        MarkdownViewController& view = editor();
        view.setEditState(false);
        view.setFileUTI(type.isEmpty() ? QString::fromLatin1(platform::kMarkdownTypeIdentifier) : type);
        view.detachTextStorageDelegate();
        view.setString(QString());
        view.clearUndoHistory();
    }

    void replaceText(const QString& text) override {
        editor().replaceString(text);
        owner_.schedulePreviewRefresh();
    }
    void setEditable(bool editable) override {
        editor().setEditState(editable);
        showEditable(editable);
    }
    QString editedText() const override { return editor().string(); }
    Range editedSelection() const override { return editor().selectedRange(); }

    void noteWritten(const FileRep& note) override {
        owner_.d->folderViewController->updateRowForFileRep(note);
        owner_.d->folderViewController->noteOutlineDidChange(note);
        owner_.storeSyncedMetadata(note);
    }
    void documentChanged() override { emit owner_.documentChanged(); }

    FileRep noteAdded(const QString& path) override {
        NoteTree& tree = owner_.d->folderViewController->noteTree();
        const QUrl url = QUrl::fromLocalFile(path);
        if (FileRep known = tree.findFileRep(url)) return known;
        const FileRep folder = tree.findFileRep(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
        if (!folder || !folder->children) return FileRepresentation::forPath(path);
        FileRep note = FileRepresentation::forPath(path);
        note->filename = QFileInfo(path).fileName();
        note->UTI = platform::typeIdentifierForFile(path);
        note->lastModified = QFileInfo(path).lastModified();
        folder->children->insert(folder->children->begin(), note);
        owner_.d->folderViewController->updateTable();
        return note;
    }

    void alert(const QString& message, const QString& informativeText) override {
        owner_.d->alerts->showAlert(message, informativeText);
    }
    int ask(const QString& message, const QString& informativeText, const QStringList& buttons) override {
        return owner_.d->alerts->ask(message, informativeText, buttons);
    }

private:
    void showEditable(bool editable) {
        if (owner_.d->shell) owner_.d->shell->setEditButtonState(editable);
    }

    ViewController& owner_;
};

} // namespace quillet
