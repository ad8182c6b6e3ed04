// The folder the user opened anywhere on disk, shown in the browser beside the library: opening
// it from the chooser or the recent list, closing it, and reopening it at the next launch.
#include "browser/view/FolderViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "platform/FolderBookmark.h"

#include <QDir>
#include <QFileDialog>

namespace quillet {

namespace {

// The bookmark to keep for the folder; none when the path is not a folder.
std::optional<RecentFolder> recentFolderAt(const QString& path) {
    const std::optional<platform::FolderBookmark> bookmark = platform::FolderBookmark::make(path);
    if (!bookmark) return std::nullopt;
    return RecentFolder{bookmark->path, bookmark->toData()};
}

} // namespace

void ViewController::reopenLastOpenedFolder() {
    d->recentFolders.load();
    const std::optional<RecentFolder> last = d->recentFolders.lastOpened();
    if (!last) return;
    const std::optional<platform::ResolvedFolder> folder = platform::resolveFolderBookmark(last->bookmark);
    // A folder gone, or another one in its place, is not reopened, and not tried again.
    if (!folder || folder->stale) {
        d->recentFolders.forgetLastOpened();
        return;
    }
    // The launch reopens its own note; the folder's first note must not replace it.
    showOpenedFolder(folder->path, false);
}

void ViewController::setFolderChooser(std::function<QString()> choose) {
    d->chooseFolder = std::move(choose);
}

void ViewController::openFolder() {
    const QString path =
        d->chooseFolder ? d->chooseFolder()
                        : QFileDialog::getExistingDirectory(window(), tr("Open Folder"), QDir::homePath());
    if (!path.isEmpty()) openFolderAtPath(path);
}

bool ViewController::openFolderAtPath(const QString& path, bool openFirstNote) {
    const std::optional<RecentFolder> folder = recentFolderAt(path);
    if (!folder) return false;
    d->recentFolders.add(*folder);
    d->recentFolders.setLastOpened(*folder);
    showOpenedFolder(folder->path, openFirstNote);
    return true;
}

void ViewController::openRecentFolder(const RecentFolder& entry) {
    closeFolder();
    // A folder moved away and replaced by another of the same path opens as the one there now.
    const std::optional<platform::ResolvedFolder> folder = platform::resolveFolderBookmark(entry.bookmark);
    if (!folder) return;
    showOpenedFolder(folder->path, true);
    d->recentFolders.setLastOpened(entry);
}

void ViewController::closeFolder() {
    showOpenedFolder(std::nullopt, false);
    d->recentFolders.forgetLastOpened();
}

void ViewController::clearOpenRecentFoldersMenu() {
    d->recentFolders.clear();
}

std::optional<QString> ViewController::openedFolderPath() const {
    return d->openedFolder;
}

const QList<RecentFolder>& ViewController::recentOpenedFolders() const {
    return d->recentFolders.entries();
}

void ViewController::showOpenedFolder(const std::optional<QString>& path, bool openFirstNote) {
    NoteTree& tree = noteTree();
    // A note of the folder going away would stay in the editor with no row in the browser, and
    // the note commands would find no folder for it.
    const FileRep open = lastFileRepresentation();
    if (open && tree.localFolderTop() &&
        NoteTree::findFileRep(open->fileURL(), tree.localFolderTop()) == open)
        closeDocument();
    d->openedFolder = path;
    tree.setLocalFolderURL(path ? std::optional<QUrl>(QUrl::fromLocalFile(*path)) : std::nullopt,
                           openFirstNote);
}

} // namespace quillet
