#pragma once
// The browser's note tree without its widgets: the tops ("iCloud", the opened folder, "On My
// Mac"), the lookups over them, the sort modes, and the enumeration that builds the local tops
// from the disk. The outline view is reached only through BrowserView.
//
// Used on the main thread. Each top's lock guards its subtree: enumerating a local top holds it
// for the listing and the sort, and sorting the cloud top holds the cloud top's.

#include "browser/BrowserView.h"
#include "browser/FileRepresentation.h"
#include "browser/SortDescriptor.h"
#include "platform/DelayedCall.h"
#include "platform/Dispatcher.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>

namespace quillet {

struct FolderListing;

namespace platform {
class UserDefaults;
}

// How the local container is prepared when the browser loads.
struct LocalContainerSetup {
    QString containerPath; // the local container; empty: the platform's
    bool pythonInstalled;  // seed the "Script" folder and the welcome note
    // The application's resource of that name ("Markdown.md", "InsertDate.py"), none if absent.
    std::function<std::optional<QByteArray>(const QString& name)> resource;

    // The running system's: the platform's container, a python3 on the PATH, the bundled files.
    static LocalContainerSetup system();
};

class NoteTree {
public:
    NoteTree(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher);
    ~NoteTree();
    NoteTree(const NoteTree&) = delete;
    NoteTree& operator=(const NoteTree&) = delete;

    void setView(BrowserView* view) { view_ = view; }

    // --- tops and browser state
    FileRep iCloudTop() const { return iCloudTop_; }
    void setICloudTop(FileRep top) { iCloudTop_ = std::move(top); }
    FileRep localTop() const { return localTop_; }
    FileRep localFolderTop() const { return localFolderTop_; }
    // The roots in display order: the cloud top, the opened folder's, "On This Computer" (when present).
    FileRepList roots() const;

    QUrl localContainer() const { return localContainer_; }
    void setLocalContainer(QUrl url) { localContainer_ = std::move(url); }
    std::optional<QUrl> localFolderURL() const { return localFolderURL_; }

    QString sortMode() const { return sortMode_; }
    void setSortMode(QString mode) { sortMode_ = std::move(mode); }
    QString folderMode() const { return folderMode_; }
    void setFolderMode(QString mode) { folderMode_ = std::move(mode); }
    QString searchTarget() const { return searchTarget_; }
    void setSearchTargetValue(QString target) { searchTarget_ = std::move(target); }
    FileRep lastFileRepresentation() const { return lastFileRepresentation_; }
    void setLastFileRepresentation(FileRep rep) { lastFileRepresentation_ = std::move(rep); }
    FileRep clickedFileRep() const { return clickedFileRep_; }
    void setClickedFileRep(FileRep rep) { clickedFileRep_ = std::move(rep); }
    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double height) { rowHeight_ = height; }
    bool updateTableWithoutSelection() const { return updateTableWithoutSelection_; }
    void setUpdateTableWithoutSelection(bool value) { updateTableWithoutSelection_ = value; }
    const FileRepList& draggingSourceItems() const { return draggingSourceItems_; }
    void setDraggingSourceItems(FileRepList items) { draggingSourceItems_ = std::move(items); }

    // --- lookups (paths compare after cleaning, e.g. "/a/b/" finds "/a/b")
    // The cloud top for an item in cloud storage; "On This Computer" for a path inside the local
    // container; else the opened folder's top, or "On This Computer" when no folder is open.
    FileRep findTopFromFileURL(const QUrl& url) const;
    // Depth first from `from` (itself included); the first record whose path is the URL's.
    static FileRep findFileRep(const QUrl& url, const FileRep& from);
    FileRep findFileRep(const QUrl& url) const;
    // The record of the URL's folder within `top`; none for a path without a parent.
    static FileRep findParentFileRep(const QUrl& url, const FileRep& top);
    FileRep findParentFileRep(const QUrl& url) const;
    // The record whose "children" hold a record of the same value as `item`, depth first from
    // `parent`.
    static FileRep findItem(const FileRep& item, const FileRep& parent);
    static FileRep parentForItem(const FileRep& item, const FileRep& dict) { return findItem(item, dict); }
    // The note to show after the note at the URL goes away: an earlier note of its folder, else
    // a later one, else a top-level note of its own top, else of the other top.
    FileRep findSiblingFileRep(const QUrl& url) const;

    // --- sorting
    static void sortChildren(FileRepList& children, const SortDescriptors& descriptors) {
        quillet::sortChildren(children, descriptors);
    }
    // Applies the sort mode named by a menu item's title ("Date" or "Name") to every folder of the
    // local tops and two levels of the cloud top, and stores the title under "RQ1DlastSortMode".
    void sortMenuDidSelect(const QString& title);

    // --- local enumeration
    // Done once when the browser loads: the row height, the local container (created when
    // missing), the "Script" folder and the welcome note where a Python is installed, then
    // "On This Computer" is built.
    void prepareLocalContainer(const LocalContainerSetup& setup);
    // Builds "On This Computer" afresh. The descriptors are not used: the current sort mode decides.
    void queryLocalTop(const SortDescriptors& descriptors = {});
    // Opens (a URL) or closes (none) the folder shown beside "On This Computer". Half a second
    // later its first note is selected and opened, unless `openFirstNote` is false (the caller
    // opens a note of its own choice there).
    void setLocalFolderURL(const std::optional<QUrl>& url, bool openFirstNote = true);
    // Replaces the folder record's "children" with the folder's notes, style sheets, scripts and
    // sub-folders, recursively, each folder sorted by the sort mode.
    void enumerateLocalFile(const FileRep& folder, int depth);

    // --- keeping the local tops up to date with the disk
    // What the sort mode sorts every local folder by.
    SortDescriptors folderSortDescriptors() const;
    // The records of the folder at the path, one from each local top that holds it.
    FileRepList localFoldersAt(const QString& path) const;
    // Lists a folder of a local top again on a worker and merges the listing into its "children"
    // on the main thread, keeping the records of files still there (FolderMerge.h); then the view
    // reloads the folder. Asked while a refresh of the folder runs, it runs once more after it.
    void refreshFolder(const FileRep& folder);
    // The local folders worth watching, at most `limit`, shallower first: the local tops and the
    // expanded folders shown below them, then the other folders shown (those directly in a top
    // count as shown).
    QStringList foldersToWatch(std::size_t limit) const;

private:
    FileRep makeLocalTop(const QUrl& url, const QString& displayName) const;
    void enumerateTop(const FileRep& top);
    FileRep firstNoteOfTop(const FileRep& top, const QString& excludedPath) const;
    // The local top whose tree holds this very record; none when it is not in a local tree.
    FileRep localTopHolding(const FileRep& folder) const;
    void applyRefresh(const FileRep& folder, FolderListing listing);
    void onMain(platform::Task task);

    platform::UserDefaults& defaults_;
    platform::Dispatcher& dispatcher_;
    BrowserView* view_ = nullptr;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    platform::DelayedCall openFolderCall_;

    FileRep iCloudTop_;
    FileRep localFolderTop_;
    FileRep localTop_;
    QUrl localContainer_;
    std::optional<QUrl> localFolderURL_;
    QString sortMode_;
    QString folderMode_ = QStringLiteral("folder");
    QString searchTarget_;
    FileRep lastFileRepresentation_;
    FileRep clickedFileRep_;
    double rowHeight_ = 0;
    bool updateTableWithoutSelection_ = false;
    FileRepList draggingSourceItems_;
    // Folders being listed again, and those asked for again meanwhile.
    std::unordered_set<FileRep> refreshing_;
    std::unordered_set<FileRep> refreshAgain_;
};

} // namespace quillet
