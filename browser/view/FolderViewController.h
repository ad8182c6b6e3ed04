#pragma once
// The note browser pane: a tree view over the note tree whose rows are the records themselves,
// the folder buttons that switch between the "folder" and "outline" display modes, and the search
// marking. Selecting a note asks the main controller to open it 0.1 seconds later.
//
// The context menu, the F2 and Delete keys, the rename popover and drag and drop hand the note
// operations to the main controller (BrowserCommands); only new folders are made here.
//
// Main thread only. The browser owns the note tree.

#include "browser/BrowserCommands.h"
#include "browser/BrowserHost.h"
#include "browser/BrowserView.h"
#include "browser/FileRepresentation.h"
#include "browser/NoteTree.h"
#include "browser/OutlineNode.h"
#include "engine/Range.h"
#include "platform/Dispatcher.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstddef>
#include <functional>
#include <memory>

class QMenu;
class QShowEvent;
class QTreeView;
class QUrl;

namespace quillet {

namespace platform {
class UserDefaults;
}

class NoteTreeModel;
class RenamePopoverController;

class FolderViewController : public QWidget, public BrowserView {
    Q_OBJECT

public:
    FolderViewController(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher,
                         QWidget* parent = nullptr);
    ~FolderViewController() override;

    void setHost(BrowserHost* host);
    void setCommands(BrowserCommands* commands);
    NoteTree& noteTree();
    QTreeView* outlineView() const;
    NoteTreeModel* treeModel() const;

    // Prepares the local container and builds "On This Computer" (done once, when the view loads).
    void loadTree(const LocalContainerSetup& setup);

    // BrowserView
    void updateTable() override;
    void reloadData() override;
    void reloadFolder(const FileRep& folder, const FileRepList& added) override;
    void expandItem(const FileRep& item) override;
    void selectRowWithFileRep(const FileRep& item) override;
    FileRep selectedItem() const override;
    void openDocument(const FileRep& item) override;

    void scheduleUpdateTable();
    void updateRowForFileRep(const FileRep& item);
    void noteNumberOfRowsChanged();

    // Search marking.
    void setSearchTarget(const QString& target);
    QString searchTarget() const;
    void resetHasSearchTarget(const FileRep& folder);
    void findString(const QString& searchString, const FileRep& item);

    // The row index of the header node around `range`; -1 when none.
    int findRowInRangeTable(const std::vector<OutlineNodeRef>& nodes, Range range) const;
    // Follows the editor's caret in outline and search modes.
    void textViewDidChangeSelection(Range range);

    void initFolderButtons();
    void folderButtonsPressed(int segment);
    QString folderMode() const;
    // The highlighted folder button: 0 folders, 1 outline.
    int selectedFolderSegment() const;

    // The sort menu's action ("Date" or "Name").
    void sortMenuDidSelect(const QString& title);

    // The note's outline changed (the main controller saved it). In outline mode its header rows
    // are read again; headers that keep their titles stay expanded and selected.
    void noteOutlineDidChange(const FileRep& note);

    // The local folders shown are watched, and listed again when notes or folders are added,
    // removed or renamed outside the app: the tops and the expanded folders first, then the other
    // folders shown, at most `limit` of them (FolderWatcher::kDefaultLimit). A folder expanded
    // while not watched is listed again.
    void setFolderWatchLimit(std::size_t limit);
    QStringList watchedFolders() const;

    // --- Commands on rows
    // The context menu, rebuilt for the row that was right-clicked ("Folder" or "File" items).
    QMenu* contextMenu() const;
    void menuNeedsUpdate(const QModelIndex& clickedRow);
    // Opens a folder in the desktop's file manager (QDesktopServices by default).
    void setUrlOpener(std::function<void(const QUrl&)> opener);
    // The popover asking a name for `mode` about the record, beside its row; the one open now.
    RenamePopoverController* showRenamePopover(const QString& mode, const FileRep& record);
    RenamePopoverController* renamePopover() const;
    // The popover's report: a confirmed name renames, creates a folder or deletes.
    void renamePopoverDidEnd(RenamePopoverController* popover, bool resultCode, const QString& filename);
    // Creates the folder `name` in the record's folder (the record itself when a folder), never
    // replacing anything, and lists it first there, selected.
    void createFolder(const QString& name, const FileRep& record);

protected:
    // The rows are read afresh each time the pane is shown.
    void showEvent(QShowEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace quillet
