#include "browser/view/FolderViewController.h"

#include "browser/view/FolderViewPrivate.h"
#include "browser/view/NoteRowDelegate.h"
#include "browser/view/RenamePopoverController.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillet {

namespace {

constexpr int kFolderSegment = 0;
constexpr int kOutlineSegment = 1;

QToolButton* folderButton(const QIcon& icon, const QString& toolTip, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setCheckable(true);
    button->setIcon(icon);
    button->setToolTip(toolTip);
    button->setAutoRaise(false);
    return button;
}

} // namespace

FolderViewController::Private::Private(FolderViewController& owner, platform::UserDefaults& defaults,
                                       platform::Dispatcher& dispatcher)
    : owner(owner), defaults(defaults), dispatcher(dispatcher), tree(defaults, dispatcher), model(tree),
      dragDrop(tree),
      openCall(dispatcher), outlineRefreshCall(dispatcher), searchRefreshCall(dispatcher),
      scheduledUpdateCall(dispatcher), textSelectionCall(dispatcher),
      watcher(dispatcher, [this](const QStringList& folders) { foldersDidChange(folders); }) {}

void FolderViewController::Private::later(platform::Duration delay, platform::Task task) {
    dispatcher.after(delay, [alive = std::weak_ptr<bool>(alive), task = std::move(task)] {
        if (alive.lock()) task();
    });
}

FolderViewController::FolderViewController(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher,
                                           QWidget* parent)
    : QWidget(parent), d(std::make_unique<Private>(*this, defaults, dispatcher)) {
    const QStyle* style = QApplication::style();
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 4, 4, 2);
    buttons->setSpacing(0);
    d->folderButtons = new QButtonGroup(this);
    d->folderButtons->setExclusive(true);
    d->folderButtons->addButton(folderButton(style->standardIcon(QStyle::SP_DirIcon), tr("Folders"), this),
                                kFolderSegment);
    d->folderButtons->addButton(
        folderButton(QIcon::fromTheme(QStringLiteral("view-list-tree"),
                                      style->standardIcon(QStyle::SP_FileDialogDetailedView)),
                     tr("Outline"), this),
        kOutlineSegment);
    for (QAbstractButton* button : d->folderButtons->buttons())
        buttons->addWidget(button);
    buttons->addStretch();

    d->view = new NoteOutlineView(this);
    d->view->setModel(&d->model);
    d->view->setItemDelegate(new NoteRowDelegate(d->view));
    d->view->setSelectionRules(
        [this](const QModelIndex& index) { return d->shouldSelect(index); },
        [this](const QModelIndex& index) { return d->canSelect(index); },
        [this](const QModelIndex& index) { return !d->model.itemAt(index).isRecord(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(buttons);
    layout->addWidget(d->view);

    d->model.setDragDrop(&d->dragDrop);
    d->initCommands();
    d->model.setSearchResultsRequest([this](const FileRep& note) { d->requestSearchResults(note); });
    connect(d->folderButtons, &QButtonGroup::idClicked, this, &FolderViewController::folderButtonsPressed);
    connect(d->view, &QTreeView::expanded, this, [this](const QModelIndex& index) { d->didExpand(index); });
    connect(d->view, &QTreeView::collapsed, this,
            [this](const QModelIndex& index) { d->didCollapse(index); });

    d->tree.setView(this);
    initFolderButtons();
}

FolderViewController::~FolderViewController() {
    d->tree.setView(nullptr);
    delete d->popover;
    // The view goes before the model it shows.
    delete d->view;
    d->view = nullptr;
}

void FolderViewController::setHost(BrowserHost* host) {
    d->host = host;
}

NoteTree& FolderViewController::noteTree() {
    return d->tree;
}

QTreeView* FolderViewController::outlineView() const {
    return d->view;
}

NoteTreeModel* FolderViewController::treeModel() const {
    return &d->model;
}

void FolderViewController::loadTree(const LocalContainerSetup& setup) {
    d->tree.prepareLocalContainer(setup);
    reloadData();
}

void FolderViewController::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    reloadData();
}

// ---- Refreshing the rows

RowItem FolderViewController::Private::selectedRow() const {
    const QModelIndexList selected = view->selectionModel()->selectedRows();
    return selected.isEmpty() ? RowItem{} : model.itemAt(selected.front());
}

bool FolderViewController::Private::isShown(const QModelIndex& index) const {
    if (!index.isValid()) return false;
    for (QModelIndex above = index.parent(); above.isValid(); above = above.parent())
        if (!view->isExpanded(above)) return false;
    return true;
}

int FolderViewController::Private::rowNumber(const QModelIndex& index) const {
    if (!isShown(index)) return -1;
    int number = 0;
    for (QModelIndex at = model.index(0, 0); at.isValid(); at = view->indexBelow(at), ++number)
        if (at == index) return number;
    return -1;
}

QModelIndex FolderViewController::Private::indexAtRowNumber(int number) const {
    if (number < 0) return {};
    QModelIndex at = model.index(0, 0);
    for (int i = 0; i < number && at.isValid(); ++i)
        at = view->indexBelow(at);
    return at;
}

void FolderViewController::Private::selectIndex(const QModelIndex& index, bool scroll) {
    if (!index.isValid()) {
        view->selectionModel()->clear();
        return;
    }
    view->selectionModel()->setCurrentIndex(index,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (scroll) view->scrollTo(index);
}

void FolderViewController::Private::revealAncestors(const QModelIndex& index) {
    std::vector<QModelIndex> ancestors;
    for (QModelIndex above = index.parent(); above.isValid(); above = above.parent())
        ancestors.push_back(above);
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
        view->expand(*it);
}

void FolderViewController::Private::reloadRows(bool scroll, const RowItem& fallback) {
    RowItem selected = selectedRow();
    if (!selected) selected = fallback;
    // Expanded rows by their objects; the model keeps the old objects alive over the reset.
    std::unordered_set<const void*> expanded;
    std::vector<QModelIndex> pending{QModelIndex()};
    while (!pending.empty()) {
        const QModelIndex at = pending.back();
        pending.pop_back();
        for (int row = 0, count = model.rowCount(at); row < count; ++row) {
            const QModelIndex child = model.index(row, 0, at);
            if (!view->isExpanded(child)) continue;
            expanded.insert(child.internalPointer());
            pending.push_back(child);
        }
    }

    tree.setUpdateTableWithoutSelection(true);
    restoringRows = true;
    model.reset();
    pending.assign(1, QModelIndex());
    while (!pending.empty()) {
        const QModelIndex at = pending.back();
        pending.pop_back();
        for (int row = 0, count = model.rowCount(at); row < count; ++row) {
            const QModelIndex child = model.index(row, 0, at);
            if (!expanded.contains(child.internalPointer())) continue;
            view->expand(child);
            pending.push_back(child);
        }
    }
    restoringRows = false;
    const QModelIndex index = model.indexOfItem(selected);
    if (isShown(index)) selectIndex(index, scroll);
    tree.setUpdateTableWithoutSelection(false);
    updateWatches();
}

void FolderViewController::updateTable() {
    d->reloadRows(true);
}

void FolderViewController::reloadData() {
    d->reloadRows(false);
}

void FolderViewController::scheduleUpdateTable() {
    d->scheduledUpdateCall.schedule(platform::seconds(2.0), [this] { updateTable(); });
}

void FolderViewController::updateRowForFileRep(const FileRep& item) {
    if (!item) return;
    const QModelIndex index = d->model.indexOfKey(item.get());
    if (d->isShown(index)) {
        d->model.refreshRow(index);
        return;
    }
    d->reloadRows(false, RowItem::forRecord(item));
}

void FolderViewController::noteNumberOfRowsChanged() {
    d->reloadRows(false);
}

void FolderViewController::expandItem(const FileRep& item) {
    const QModelIndex index = d->model.indexOfRecord(item);
    if (index.isValid()) d->view->expand(index);
}

void FolderViewController::selectRowWithFileRep(const FileRep& item) {
    if (!item) return;
    const FileRep cloudTop = d->tree.iCloudTop();
    std::unique_lock<std::recursive_mutex> lock;
    if (cloudTop) lock = std::unique_lock(cloudTop->lock());
    if (!d->tree.findParentFileRep(item->fileURL())) {
        const QModelIndex top = d->model.indexOfRecord(d->tree.findTopFromFileURL(item->fileURL()));
        if (top.isValid()) d->view->expand(top);
    }
    const QModelIndex index = d->model.indexOfRecord(item);
    if (!index.isValid()) return;
    d->revealAncestors(index);
    d->selectIndex(index, true);
}

FileRep FolderViewController::selectedItem() const {
    const RowItem selected = d->selectedRow();
    return selected.isRecord() ? selected.record : nullptr;
}

void FolderViewController::openDocument(const FileRep& item) {
    if (d->host && item) d->host->openDocument(item);
}

// ---- Folder buttons and sorting

void FolderViewController::initFolderButtons() {
    d->folderButtons->button(kFolderSegment)->setChecked(true);
    d->tree.setFolderMode(QStringLiteral("folder"));
    d->tree.setSortMode(d->defaults.string(QString::fromLatin1(platform::defaults_keys::kLastSortMode))
                            .value_or(kSortModeDate));
}

void FolderViewController::folderButtonsPressed(int segment) {
    if (segment == kFolderSegment) {
        d->folderButtons->button(kFolderSegment)->setChecked(true);
        d->tree.setFolderMode(QStringLiteral("folder"));
        updateTable();
        if (d->host) d->host->enterOutlineMode(false);
    } else if (segment == kOutlineSegment && d->searching()) {
        d->folderButtons->button(kFolderSegment)->setChecked(true);
    } else if (segment == kOutlineSegment) {
        d->folderButtons->button(kOutlineSegment)->setChecked(true);
        d->tree.setFolderMode(QStringLiteral("outline"));
        if (d->host && d->host->lastFileRepresentation()) {
            d->host->enterOutlineMode(true);
            updateTable();
        }
    } else {
        d->folderButtons->button(d->outlineMode() ? kOutlineSegment : kFolderSegment)->setChecked(true);
    }
}

QString FolderViewController::folderMode() const {
    return d->tree.folderMode();
}

int FolderViewController::selectedFolderSegment() const {
    return d->folderButtons->checkedId();
}

void FolderViewController::sortMenuDidSelect(const QString& title) {
    d->tree.sortMenuDidSelect(title);
}

} // namespace quillet
