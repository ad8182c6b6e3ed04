// The search field, the outline mode and the searches the browser asks for.

#include "browser/view/FolderViewController.h"
#include "documents/Search.h"
#include "documents/ShellHost.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/MarkdownViewController.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quillet {

namespace {

bool isSameNote(const FileRep& a, const FileRep& b) {
    return a && b && (a == b || (a->hasFileURL() && a->path() == b->path()));
}

} // namespace

QString ViewController::searchTarget() const {
    return d->searchTarget;
}

void ViewController::setSearchTarget(const QString& target) {
    d->searchTarget = target;
    d->session->setSearchTarget(target);
    d->markdownViewController->setSearchTarget(target);
    d->folderViewController->setSearchTarget(target);
    d->folderViewController->updateTable();
}

void ViewController::searchFieldEntered(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard && clipboard->supportsFindBuffer()) clipboard->setText(text, QClipboard::FindBuffer);
    d->markdownViewController->markSearchTarget(text);
    d->folderViewController->setSearchTarget(text);
}

void ViewController::enterOutlineMode(bool outlineMode) {
    if (d->shell) d->shell->setSearchFieldEnabled(!outlineMode);
}

void ViewController::textViewDidChangeSelection(Range range) {
    d->session->selectionMoved();
    if (d->searchTarget.isEmpty() && d->folderViewController->folderMode() != QStringLiteral("outline"))
        return;
    d->folderViewController->textViewDidChangeSelection(range);
}

bool ViewController::searchResults(const QString& searchString, const FileRep& note) {
    if (!note) return false;
    if (isSameNote(note, d->session->note())) {
        auto results = std::make_shared<const SearchResults>(
            quillet::searchResults(searchString, d->markdownViewController->string()));
        const bool found = !results->empty();
        note->setSearchResults(std::move(results));
        return found;
    }
    coordinateReadURL(
        note->fileURL(), [note, searchString](std::optional<QString> text, const platform::Status&) {
            if (text)
                note->setSearchResults(
                    std::make_shared<const SearchResults>(quillet::searchResults(searchString, *text)));
        });
    return false;
}

void ViewController::findString(const QString& searchString, const FileRep& note) {
    if (!note || note->hasSearchTarget()) return;
    coordinateReadURL(note->fileURL(),
                      [note, searchString](std::optional<QString> text, const platform::Status&) {
                          if (text && textContainsCaseInsensitive(*text, searchString))
                              note->setHasSearchTarget(true);
                      });
}

} // namespace quillet
