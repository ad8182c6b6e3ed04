// The commands on rows: the context menu, the F2 and Delete keys, the rename popover's report,
// and new folders.

#include "browser/view/FolderViewPrivate.h"
#include "browser/view/RenamePopoverController.h"
#include "platform/FileOperations.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenu>
#include <QUrl>

namespace quillet {

namespace {

const platform::Duration kSyncedFolderDelay = platform::seconds(1.0);

// A record of the same file with every key copied and "filename" set to `filename`.
FileRep renamedCopy(const FileRepresentation& record, const QString& filename) {
    FileRep copy = record.path().isEmpty() ? FileRepresentation::make(record.fileURL())
                                           : FileRepresentation::forPath(record.path());
    copy->filename = filename;
    copy->displayName = record.displayName;
    copy->displayNameChanged = record.displayNameChanged;
    copy->directory = record.directory;
    copy->iCloud = record.iCloud;
    copy->downloaded = record.downloaded;
    copy->lastModified = record.lastModified;
    copy->creationDate = record.creationDate;
    copy->isImmutable = record.isImmutable;
    copy->UTI = record.UTI;
    copy->children = record.children;
    copy->top = record.top;
    copy->expanded = record.expanded;
    copy->isImmutableChanged = record.isImmutableChanged;
    copy->textSelectedRange = record.textSelectedRange;
    copy->textSelectedRangeChanged = record.textSelectedRangeChanged;
    copy->lastUpdated = record.lastUpdated;
    copy->seqNum = record.seqNum;
    copy->updated = record.updated;
    copy->relativePath = record.relativePath;
    copy->setTagNames(record.tagNames());
    copy->setHasSearchTarget(record.hasSearchTarget());
    copy->setOutline(record.outline());
    copy->setSearchResults(record.searchResults());
    return copy;
}

} // namespace

void FolderViewController::Private::initCommands() {
    contextMenu = new QMenu(view);
    urlOpener = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    view->setKeyHandler([this](QKeyEvent* event) { return keyPressed(event); });
    QObject::connect(view, &QWidget::customContextMenuRequested, &owner, [this](const QPoint& at) {
        owner.menuNeedsUpdate(view->indexAt(at));
        if (!contextMenu->isEmpty()) contextMenu->popup(view->viewport()->mapToGlobal(at));
    });
}

void FolderViewController::setCommands(BrowserCommands* commands) {
    d->commands = commands;
    d->dragDrop.setCommands(commands);
}

QMenu* FolderViewController::contextMenu() const {
    return d->contextMenu;
}

void FolderViewController::setUrlOpener(std::function<void(const QUrl&)> opener) {
    d->urlOpener = std::move(opener);
}

bool FolderViewController::Private::hasSyncedContainer() const {
    return commands && commands->hasSyncedContainer();
}

void FolderViewController::menuNeedsUpdate(const QModelIndex& clickedRow) {
    d->contextMenu->clear();
    const FileRep record = d->model.recordAt(clickedRow);
    const ContextMenuContent content = contextMenuFor(record, d->hasSyncedContainer());
    d->contextMenu->setTitle(content.title);
    for (const ContextMenuItem& item : content.items) {
        QAction* action = d->contextMenu->addAction(item.title);
        const BrowserCommand command = item.command;
        connect(action, &QAction::triggered, this, [this, command, record] { d->perform(command, record); });
        // Note info needs a row: the clicked one, or the selected one.
        if (command == BrowserCommand::showInfo) action->setEnabled(record || d->selectedRow());
    }
}

FileRep FolderViewController::Private::folderOf(const FileRep& record) const {
    if (!record) return nullptr;
    return record->directory ? record : tree.findParentFileRep(record->fileURL());
}

void FolderViewController::Private::perform(BrowserCommand command, const FileRep& clicked) {
    FileRep record = clicked;
    if (!record && (command == BrowserCommand::showInfo || command == BrowserCommand::deleteNote))
        record = owner.selectedItem();
    tree.setClickedFileRep(record);
    if (!record) return;
    switch (command) {
    case BrowserCommand::openFolder:
        return openFolderInFileManager(record);
    case BrowserCommand::createFolder:
        owner.showRenamePopover(QStringLiteral("createFolder"), record);
        return;
    case BrowserCommand::renameFolder:
        owner.showRenamePopover(QStringLiteral("renameFolder"), record);
        return;
    case BrowserCommand::changeFilename:
        owner.showRenamePopover(QStringLiteral("changeFilename"), record);
        return;
    case BrowserCommand::moveNote:
        return moveNote(record);
    case BrowserCommand::nothing:
        return;
    default:
        break;
    }
    if (!commands) return;
    switch (command) {
    case BrowserCommand::showInfo:
        if (record->hasFileURL()) commands->showNoteInfoForFileRep(record);
        break;
    case BrowserCommand::lock:
    case BrowserCommand::unlock:
        if (record->hasFileURL()) commands->changeEditState(command == BrowserCommand::lock ? 0 : 1, record);
        break;
    case BrowserCommand::newFile:
        if (const FileRep folder = folderOf(record)) commands->createFile(folder);
        break;
    case BrowserCommand::newNote:
        if (const FileRep folder = folderOf(record)) commands->newNoteInFileRep(folder);
        break;
    case BrowserCommand::deleteNote:
        commands->deleteNote(record);
        break;
    case BrowserCommand::deleteFolder:
        commands->deleteFolder(record);
        break;
    case BrowserCommand::copyTo:
        commands->copyToFileRep(record);
        break;
    default:
        break;
    }
}

void FolderViewController::Private::openFolderInFileManager(const FileRep& record) {
    const FileRep syncedTop = tree.iCloudTop();
    const QUrl url = record->iCloud && syncedTop ? syncedTop->fileURL() : record->fileURL();
    if (urlOpener) urlOpener(url);
}

void FolderViewController::Private::moveNote(const FileRep& record) {
    const FileRep target = record->iCloud ? tree.localTop() : tree.iCloudTop();
    if (commands && target) commands->moveFileRep(record, target, 0, true);
}

FileRep FolderViewController::Private::keyTarget() const {
    if (const FileRep current = model.recordAt(view->currentIndex())) return current;
    return owner.selectedItem();
}

bool FolderViewController::Private::keyPressed(QKeyEvent* event) {
    const bool rename = event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier;
    const bool remove = event->matches(QKeySequence::Delete);
    if (!rename && !remove) return false;
    const FileRep record = keyTarget();
    // A locked note, a top and the "CSS" and "Script" folders offer neither.
    const ContextMenuContent offered = contextMenuFor(record, hasSyncedContainer());
    if (rename && offered.offers(BrowserCommand::changeFilename))
        perform(BrowserCommand::changeFilename, record);
    else if (rename && offered.offers(BrowserCommand::renameFolder))
        perform(BrowserCommand::renameFolder, record);
    else if (remove && offered.offers(BrowserCommand::deleteNote))
        perform(BrowserCommand::deleteNote, record);
    else if (remove && offered.offers(BrowserCommand::deleteFolder)) {
        // A folder is deleted with everything in it: the popover asks first.
        tree.setClickedFileRep(record);
        owner.showRenamePopover(QStringLiteral("deleteFolder"), record);
    }
    return true;
}

// ---- The rename popover

RenamePopoverController* FolderViewController::showRenamePopover(const QString& mode, const FileRep& record) {
    if (d->popover) d->popover->close();
    auto* popover = new RenamePopoverController(record, mode, d->dispatcher, this);
    d->popover = popover;
    connect(popover, &RenamePopoverController::didEnd, this, [this, popover](bool result, const QString& name) {
        renamePopoverDidEnd(popover, result, name);
    });
    const QModelIndex row = d->model.indexOfRecord(record);
    const QRect rect = row.isValid() ? d->view->visualRect(row) : d->view->viewport()->rect();
    popover->showBeside(QRect(d->view->viewport()->mapToGlobal(rect.topLeft()), rect.size()));
    return popover;
}

RenamePopoverController* FolderViewController::renamePopover() const {
    return d->popover;
}

void FolderViewController::renamePopoverDidEnd(RenamePopoverController* popover, bool resultCode,
                                               const QString& filename) {
    if (!resultCode || !popover) return;
    const QString& mode = popover->mode();
    const FileRep& record = popover->fileRep();
    if (!record) return;
    if (mode == QStringLiteral("createFolder")) {
        createFolder(filename, record);
        return;
    }
    if (!d->commands) return;
    if (mode == QStringLiteral("changeFilename") || mode == QStringLiteral("renameFolder"))
        d->commands->filenameDidChange(renamedCopy(*record, filename));
    else if (mode == QStringLiteral("deleteNote"))
        d->commands->deleteNoteInFileRep(record);
    else if (mode == QStringLiteral("deleteFolder"))
        d->commands->deleteFolder(record);
}

// ---- New folders

void FolderViewController::createFolder(const QString& name, const FileRep& record) {
    const FileRep parent = d->folderOf(record);
    if (!parent) return;
    const QString path = parent->path() + QLatin1Char('/') + name;
    if (const platform::Status status = platform::createFolder(path, false); !status) {
        if (d->commands) d->commands->showAlert(
            QCoreApplication::translate("FolderViewController", "Couldn't create folder."), status.description);
        return;
    }
    if (record->iCloud) {
        // The synced library's watcher adds the folder's record.
        d->later(kSyncedFolderDelay, [this, record] {
            updateTable();
            selectRowWithFileRep(record);
        });
        return;
    }
    FileRep folder = FileRepresentation::forPath(path);
    folder->filename = name;
    folder->displayName = name;
    folder->iCloud = false;
    folder->directory = true;
    folder->downloaded = true;
    folder->lastModified = QDateTime::currentDateTime();
    folder->children.emplace();
    {
        const FileRep top = d->tree.findTopFromFileURL(parent->fileURL());
        std::unique_lock<std::recursive_mutex> lock;
        if (top) lock = std::unique_lock(top->lock());
        FileRepList& children = parent->ensureChildren();
        children.insert(children.begin(), folder);
    }
    updateTable();
    selectRowWithFileRep(folder);
}

} // namespace quillet
