#pragma once
// The browser pane's inner state, shared by its source files (construction and refreshes,
// selection and expansion, search marking). Not for other code.

#include "browser/view/BrowserContextMenu.h"
#include "browser/view/FolderViewController.h"
#include "browser/view/NoteDragDrop.h"
#include "browser/view/NoteOutlineView.h"
#include "browser/view/NoteTreeModel.h"
#include "browser/FolderWatcher.h"
#include "platform/DelayedCall.h"

#include <QButtonGroup>
#include <QPointer>
#include <memory>
#include <unordered_set>
#include <vector>

namespace quillet {

struct FolderViewController::Private {
    Private(FolderViewController& owner, platform::UserDefaults& defaults, platform::Dispatcher& dispatcher);

    FolderViewController& owner;
    platform::UserDefaults& defaults;
    platform::Dispatcher& dispatcher;
    NoteTree tree;
    NoteTreeModel model;
    NoteOutlineView* view = nullptr;
    QButtonGroup* folderButtons = nullptr;
    BrowserHost* host = nullptr;
    BrowserCommands* commands = nullptr;
    NoteDragDrop dragDrop;
    QMenu* contextMenu = nullptr;
    std::function<void(const QUrl&)> urlOpener;
    QPointer<RenamePopoverController> popover;

    platform::DelayedCall openCall;            // a note opens 0.1 s after it is selected
    platform::DelayedCall outlineRefreshCall;  // the rows after a note is selected in outline mode
    platform::DelayedCall searchRefreshCall;   // the rows 0.5 s after the search string changes
    platform::DelayedCall scheduledUpdateCall; // scheduleUpdateTable
    platform::DelayedCall textSelectionCall;   // the editor selection once a note has opened
    FolderWatcher watcher;                     // the local folders shown, refreshed as they change
    // Calls queued with later() run only while this lives.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    // Notes whose search results were asked for since the search string last changed.
    std::unordered_set<FileRep> resultsRequested;
    bool restoringRows = false;

    bool outlineMode() const { return tree.folderMode() == QStringLiteral("outline"); }
    bool searching() const { return !tree.searchTarget().isEmpty(); }

    // Rows: what is selected, what is shown, and their places counted from the top.
    RowItem selectedRow() const;
    bool isShown(const QModelIndex& index) const;
    int rowNumber(const QModelIndex& index) const;
    QModelIndex indexAtRowNumber(int number) const;
    // Selects the row without asking the selection rules.
    void selectIndex(const QModelIndex& index, bool scroll);
    // Reloads every row with updateTableWithoutSelection set; the expanded rows and the selected
    // item (or `fallback` when nothing is selected) come back where they still have a row.
    void reloadRows(bool scroll, const RowItem& fallback = {});
    void revealAncestors(const QModelIndex& index);
    // Runs the task after the delay unless the pane is gone by then.
    void later(platform::Duration delay, platform::Task task);

    // The user's selection, expansion and collapse.
    bool canSelect(const QModelIndex& index) const;
    bool shouldSelect(const QModelIndex& index);
    bool shouldSelectNote(const FileRep& note);
    // Closes the open note and opens this one now, instead of any open still waiting.
    void openDirectly(const FileRep& note, Range selection);
    bool shouldSelectHeader(const QModelIndex& index, const OutlineNodeRef& node);
    bool shouldSelectSearchResult(const QModelIndex& index, const RowItem& item);
    void didExpand(const QModelIndex& index);
    void didCollapse(const QModelIndex& index);
    void requestSearchResults(const FileRep& note);

    int findRowInRangeTable(const std::vector<OutlineNodeRef>& nodes, Range range) const;
    void followCaret(Range range);

    // Watching the library: the folders the tree says are worth it, refreshed when they change.
    void updateWatches();
    void foldersDidChange(const QStringList& folders);
    // Expanding a folder that is not watched lists it again: it may have changed unseen.
    void folderDidExpand(const FileRep& folder);

    // Commands on rows.
    void initCommands();
    bool hasSyncedContainer() const;
    void perform(BrowserCommand command, const FileRep& record);
    FileRep folderOf(const FileRep& record) const;
    void openFolderInFileManager(const FileRep& record);
    void moveNote(const FileRep& record);
    bool keyPressed(QKeyEvent* event);
    // The row the keys act on: the current row, else the selected one.
    FileRep keyTarget() const;
};

} // namespace quillet
