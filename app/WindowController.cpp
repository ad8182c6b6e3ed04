#include "app/WindowController.h"

#include "app/MenuValidation.h"
#include "app/ToolbarIcons.h"
#include "app/WebViewController.h"
#include "app/WindowActions.h"
#include "app/WindowControllerPrivate.h"
#include "browser/NoteTree.h"
#include "browser/view/FolderViewController.h"
#include "documents/ViewController.h"
#include "platform/UserDefaults.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QToolBar>
#include <QTreeView>

namespace quillet {

namespace {

const QString kGeometryKey = QStringLiteral("Quillet/geometry");
const QString kWindowStateKey = QStringLiteral("Quillet/windowState");

} // namespace

WindowController::WindowController(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher,
                                   const LocalContainerSetup& setup, QWidget* parent)
    : QMainWindow(parent), d(std::make_unique<Private>(defaults, dispatcher)) {
    d->openURL = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    d->actions = new WindowActions(this);
    d->webViewController = new WebViewController;
    d->viewController = new ViewController(defaults, dispatcher, this);
    d->viewController->setPreviewPane(d->webViewController);
    d->viewController->setShell(this);
    d->viewController->viewDidLoad(setup);
    setCentralWidget(d->viewController);
    connect(d->viewController, &ViewController::documentChanged, this, [this] {
        updateWindowTitle();
        updateNoteCommands();
    });
    windowDidLoad();
}

WindowController::~WindowController() = default;

ViewController* WindowController::viewController() const {
    return d->viewController;
}
WebViewController* WindowController::webViewController() const {
    return d->webViewController;
}
WindowActions& WindowController::actions() const {
    return *d->actions;
}
QLineEdit* WindowController::searchField() const {
    return d->searchField;
}
QComboBox* WindowController::sortOptionPopup() const {
    return d->sortOptionPopup;
}
void WindowController::setCloseHandler(std::function<bool()> handler) {
    d->closeHandler = std::move(handler);
}
void WindowController::setURLOpener(std::function<void(const QUrl&)> opener) {
    d->openURL = std::move(opener);
}

void WindowController::windowDidLoad() {
    initToolbarItems();
    initMenus();
    initAccessibility();
    restoreFrame();
    updateWindowTitle();
    updateNoteCommands();

    // The preview starts hidden at every launch, whatever the last session left.
    // The splitter has no size of its own before the window is shown: give the editor the
    // window's width less the browser's.
    QSplitter* split = d->viewController->splitView();
    if (split && split->count() >= 3)
        split->setSizes({d->browserWidth, qMax(width() - d->browserWidth, d->browserWidth), 0});
    d->viewController->togglePreview(false);
    previewPaneShown(false);
}

void WindowController::initToolbarItems() {
    WindowActions& actions = *d->actions;
    d->toolbar = addToolBar(tr("Toolbar"));
    d->toolbar->setObjectName(QStringLiteral("MainToolbar"));
    d->toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    d->toolbar->setIconSize(QSize(24, 24));
    d->toolbar->setMovable(false);

    d->toolbar->addAction(actions.toggleBrowser);
    d->toolbar->addSeparator();
    d->toolbar->addActions(actions.markdownButtons);
    d->toolbar->addAction(actions.calculate);
    d->toolbar->addSeparator();
    d->toolbar->addAction(actions.editButton);

    auto* spacer = new QWidget(d->toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    d->toolbar->addWidget(spacer);

    d->sortOptionPopup = new QComboBox(d->toolbar);
    d->sortOptionPopup->addItems({tr("Date"), tr("Name")});
    d->sortOptionPopup->setItemData(0, QStringLiteral("Date"));
    d->sortOptionPopup->setItemData(1, QStringLiteral("Name"));
    d->sortOptionPopup->setToolTip(tr("Sort the notes by"));
    const QString sortMode = d->defaults.string(QString::fromLatin1(platform::defaults_keys::kLastSortMode))
                                 .value_or(QStringLiteral("Date"));
    d->sortOptionPopup->setCurrentIndex(sortMode == QLatin1String("Name") ? 1 : 0);
    d->toolbar->addWidget(d->sortOptionPopup);

    d->searchField = new QLineEdit(d->toolbar);
    d->searchField->setPlaceholderText(tr("Search"));
    d->searchField->setClearButtonEnabled(true);
    d->searchField->addAction(searchIcon(), QLineEdit::LeadingPosition);
    d->searchField->setMinimumWidth(180);
    d->searchField->setMaximumWidth(260);
    d->searchField->installEventFilter(this);
    d->toolbar->addWidget(d->searchField);
    d->toolbar->addSeparator();
    d->toolbar->addAction(actions.togglePreview);

    connect(actions.toggleBrowser, &QAction::triggered, this, [this] { splitButtonsPressed(0); });
    connect(actions.togglePreview, &QAction::triggered, this, [this] { splitButtonsPressed(1); });
    for (int segment = 0; segment < actions.markdownButtons.size(); ++segment)
        connect(actions.markdownButtons[segment], &QAction::triggered, this,
                [this, segment] { markdownButtonsPressed(segment); });
    connect(actions.editButton, &QAction::triggered, this, &WindowController::editButtonPressed);
    connect(d->searchField, &QLineEdit::returnPressed, this, &WindowController::searchFieldEntered);
    connect(d->searchField, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty()) // the clear button ends the search as Enter on an empty field would
            searchFieldEntered();
    });
    connect(d->sortOptionPopup, &QComboBox::activated, this, [this](int index) {
        d->viewController->folderViewController()->sortMenuDidSelect(
            d->sortOptionPopup->itemData(index).toString());
    });
}

void WindowController::initMenus() {
    WindowActions& actions = *d->actions;
    d->markdownStyleMenu = actions.buildMenuBar(menuBar());
    connect(d->markdownStyleMenu, &QMenu::aboutToShow, this, &WindowController::fillMarkdownStyleMenu);
    connect(d->markdownStyleMenu, &QMenu::triggered, this,
            [this](QAction* item) { markdownStyleMenuSelected(item->data().toString()); });
    // Filled once now so that the menu is not empty before it is first opened.
    fillMarkdownStyleMenu();

    connect(actions.quit, &QAction::triggered, this, &QWidget::close);
    connect(actions.find, &QAction::triggered, this, &WindowController::performFindPanelAction);
    connect(actions.about, &QAction::triggered, this, &WindowController::showAboudPanel);
    connect(actions.font, &QAction::triggered, this, [this] { chooseFont(); });
    connect(actions.preferences, &QAction::triggered, this, &WindowController::showPreferences);
    for (QAction* item : actions.helpItems)
        connect(item, &QAction::triggered, this,
                [this, item] { menuItemSelectedInHelpMenu(item->data().toString()); });
    connectEditActions();
    connectNoteCommands();
    connectFolderCommands();
    connectExportCommands();
    connectSpelling();
    connectEditorToolCommands();
    connectPopoverCommands();
    d->menuValidation = new MenuValidation(*this, d->markdownStyleMenu);
}

void WindowController::restoreFrame() {
    const QByteArray geometry = d->defaults.object(kGeometryKey).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) resize(1200, 760);
    restoreState(d->defaults.object(kWindowStateKey).toByteArray());
}

void WindowController::saveFrame() {
    d->defaults.setObject(kGeometryKey, saveGeometry());
    d->defaults.setObject(kWindowStateKey, saveState());
}

void WindowController::updateWindowTitle() {
    const FileRep note = d->viewController->lastFileRepresentation();
    QString title;
    if (note) title = d->viewController->displayName();
    if (note && title.isEmpty()) title = note->filename.value_or(note->fileURL().fileName());
    setWindowTitle(title.isEmpty() ? QStringLiteral("Quillet") : title);
}

void WindowController::closeEvent(QCloseEvent* event) {
    saveFrame();
    if (d->closeHandler && !d->closeHandler()) {
        event->ignore();
        return;
    }
    event->accept();
}

void WindowController::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    if (isActiveWindow())
        windowDidBecomeKey();
    else
        windowDidResignKey();
}

void WindowController::windowDidBecomeKey() {
    d->viewController->autosaveFile();
}

void WindowController::windowDidResignKey() {
    d->viewController->autosaveFile();
}

} // namespace quillet

#include "moc_WindowController.cpp"
