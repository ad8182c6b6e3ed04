// The window controller's command handlers: panes, edit button, search field, find, style
// sheets, font, help and about; the note commands with the note-info sheet, the "Copy to" dialog
// and the rename prompt.
#include "app/AboutPanelController.h"
#include "app/InfoPanelController.h"
#include "app/HelpLinks.h"
#include "app/MarkdownStyleSheets.h"
#include "app/MenuValidation.h"
#include "app/StyleFileDialog.h"
#include "app/WebViewController.h"
#include "app/WindowActions.h"
#include "app/WindowController.h"
#include "app/WindowControllerPrivate.h"
#include "browser/NoteTree.h"
#include "browser/view/FolderViewController.h"
#include "browser/view/NoteTreeModel.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"
#include "platform/Containers.h"
#include "platform/UserDefaults.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTreeView>

namespace quillet {

void WindowController::setEditButtonState(bool editable) {
    d->actions->setEditButtonState(editable);
}

void WindowController::setSearchFieldEnabled(bool enabled) {
    d->searchField->setEnabled(enabled);
}

void WindowController::previewPaneShown(bool shown) {
    d->actions->setPreviewShown(shown);
}

bool WindowController::isBrowserShown() const {
    return !d->viewController->folderViewController()->isHidden();
}

bool WindowController::isPreviewShown() const {
    const QSplitter* split = d->viewController->splitView();
    return split && split->count() > 2 && split->sizes().value(2) > 0;
}

void WindowController::splitButtonsPressed(int segment) {
    QSplitter* split = d->viewController->splitView();
    if (!split || split->count() < 3) return;
    if (segment == 1) {
        d->viewController->showPreview(!isPreviewShown());
        previewPaneShown(isPreviewShown());
        return;
    }
    if (segment != 0) return;
    // The browser keeps a minimum width in the splitter; hiding it gives its room to the editor,
    // and showing it again takes back the width it had.
    QList<int> sizes = split->sizes();
    if (isBrowserShown()) {
        d->browserWidth = sizes[0];
        d->viewController->folderViewController()->hide();
    } else {
        d->viewController->folderViewController()->show();
        if (d->browserWidth > 0) {
            sizes = split->sizes();
            sizes[1] = std::max(sizes[1] + sizes[0] - d->browserWidth, 0);
            sizes[0] = d->browserWidth;
            split->setSizes(sizes);
        }
    }
    d->actions->setBrowserShown(isBrowserShown());
}

void WindowController::markdownButtonsPressed(int segment) {
    if (const std::optional<QString> command = markdownButtonCommand(segment))
        d->viewController->markdownViewController()->markdownButton(*command);
}

void WindowController::editButtonPressed(bool editable) {
    d->actions->setEditButtonState(editable);
    d->viewController->changeEditState(editable ? 1 : 0);
}

void WindowController::searchFieldEntered() {
    d->viewController->setSearchTarget(d->searchField->text());
}

// With the editor focused, the text to find (the find buffer where the desktop has one, else
// the editor's selection) goes into the search field, which takes the focus.
void WindowController::performFindPanelAction() {
    QPlainTextEdit* textView = d->viewController->markdownViewController()->textView();
    if (textView && textView->hasFocus()) {
        const QClipboard* clipboard = QApplication::clipboard();
        QString target =
            clipboard->supportsFindBuffer() ? clipboard->text(QClipboard::FindBuffer) : QString();
        if (target.isEmpty()) target = textView->textCursor().selectedText();
        if (!target.isEmpty()) d->searchField->setText(target);
    }
    d->searchField->setFocus(Qt::ShortcutFocusReason);
    d->searchField->selectAll();
}

void WindowController::showAboudPanel() {
    if (!d->aboutPanelController) {
        d->aboutPanelController = new AboutPanelController(this);
        d->aboutPanelController->setURLOpener([this](const QUrl& url) { d->openURL(url); });
    }
    d->aboutPanelController->open();
}

void WindowController::menuItemSelectedInHelpMenu(const QString& title) {
    if (title == QString::fromUtf8(kHelpGuideTitle)) return showHelpGuide();
    if (const std::optional<QUrl> url = helpMenuURL(title)) d->openURL(*url);
}

QString WindowController::styleSheetFolder() const {
    QString container = d->viewController->folderViewController()->noteTree().localContainer().toLocalFile();
    if (const std::optional<QString> cloud = platform::ubiquityContainerPath()) container = *cloud;
    if (container.isEmpty()) container = platform::localContainerPath();
    return QDir(container).filePath(QStringLiteral("CSS"));
}

void WindowController::fillMarkdownStyleMenu() {
    const QStringList names = markdownStyleNames(styleSheetFolder());
    WindowActions::fillMarkdownStyleMenu(d->markdownStyleMenu, names, d->viewController->markdownCSS());
}

void WindowController::markdownStyleMenuSelected(const QString& name) {
    if (!name.isEmpty()) d->viewController->markdownStyleMenuSelected(name);
}

void WindowController::chooseFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, d->viewController->selectedFont(), this, tr("Font"));
    if (ok) d->viewController->setFont(font);
}

// The Edit menu acts on the focused text widget, whichever it is (editor, search field).
void WindowController::connectEditActions() {
    const auto forward = [this](QAction* action, const char* slot) {
        connect(action, &QAction::triggered, this, [slot] {
            QWidget* focus = QApplication::focusWidget();
            const QByteArray signature = QByteArray(slot) + "()";
            if (focus && focus->metaObject()->indexOfMethod(signature.constData()) >= 0)
                QMetaObject::invokeMethod(focus, slot);
        });
    };
    WindowActions& actions = *d->actions;
    forward(actions.undo, "undo");
    forward(actions.redo, "redo");
    forward(actions.cut, "cut");
    forward(actions.copy, "copy");
    forward(actions.paste, "paste");
    forward(actions.selectAll, "selectAll");
}

// Tab in the search field moves on to the note browser.
bool WindowController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == d->searchField && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier) {
            d->viewController->folderViewController()->outlineView()->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Note commands
void WindowController::connectNoteCommands() {
    WindowActions& actions = *d->actions;
    ViewController* controller = d->viewController;
    connect(actions.newNote, &QAction::triggered, controller, [controller] { controller->newNote(); });
    connect(actions.duplicateNote, &QAction::triggered, controller, [controller] { controller->duplicateNote(); });
    connect(actions.deleteNote, &QAction::triggered, controller, [controller] { controller->deleteNote(); });
    connect(actions.copyNoteTo, &QAction::triggered, controller, [controller] { controller->copyOpenNote(); });
    connect(actions.moveNote, &QAction::triggered, controller, [controller] { controller->moveTo(); });
    for (QAction* target : {actions.moveToSynced, actions.moveToLocal})
        connect(target, &QAction::triggered, controller, [controller] { controller->moveTo(); });
    connect(actions.noteInfo, &QAction::triggered, controller, [controller] { controller->showNoteInfo(); });
    connect(actions.renameNote, &QAction::triggered, this, &WindowController::renameOpenNote);
    // The window's shortcuts work wherever the focus is in it.
    for (QAction* command : {actions.newNote, actions.duplicateNote, actions.deleteNote, actions.renameNote,
                             actions.noteInfo})
        addAction(command);
}

void WindowController::updateNoteCommands() {
    if (d->menuValidation) d->menuValidation->validate();
    updateFolderCommands();
}

InfoPanelController* WindowController::infoPanelController() const {
    return d->infoPanelController;
}

void WindowController::showNoteInfo(const QUrl& url, const QVariantMap& noteInfo, std::function<void()> ended) {
    if (!d->infoPanelController) d->infoPanelController = new InfoPanelController(this);
    InfoPanelController* panel = d->infoPanelController;
    panel->setFileURL(url);
    panel->setNoteInfo(noteInfo);
    connect(panel, &QDialog::finished, this, [ended = std::move(ended)] { ended(); }, Qt::SingleShotConnection);
    panel->open();
}

std::optional<QString> WindowController::chooseCopyDestination(const QString& folder, const QString& proposedName) {
    QFileDialog dialog(this, tr("Copy to"), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setLabelText(QFileDialog::Accept, tr("Copy to"));
    dialog.setLabelText(QFileDialog::FileName, tr("Copy Note:"));
    dialog.setNameFilter(tr("Markdown (*.md)"));
    dialog.setDefaultSuffix(QStringLiteral("md"));
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> WindowController::askNewFileName(const QString& folder, const QString& extension) {
    return StyleFileDialog::ask(this, folder, extension);
}

MenuValidation& WindowController::menuValidation() const {
    return *d->menuValidation;
}

QMenu* WindowController::markdownStyleMenu() const {
    return d->markdownStyleMenu;
}

void WindowController::setRenamePrompt(std::function<std::optional<QString>(const QString&)> prompt) {
    d->renamePrompt = std::move(prompt);
}

void WindowController::renameOpenNote() {
    const FileRep open = d->viewController->lastFileRepresentation();
    if (!open) return;
    // With the browser shown, the note is renamed in the popover beside its row, as from the
    // row's context menu.
    FolderViewController* browser = d->viewController->folderViewController();
    if (!d->renamePrompt && browser->isVisible() && browser->treeModel()->indexOfRecord(open).isValid()) {
        browser->showRenamePopover(QStringLiteral("changeFilename"), open);
        return;
    }
    const QFileInfo file(open->path());
    std::optional<QString> name;
    if (d->renamePrompt) {
        name = d->renamePrompt(file.fileName());
    } else {
        bool ok = false;
        const QString typed = QInputDialog::getText(this, tr("Rename"), tr("New file name:"), QLineEdit::Normal,
                                                    file.fileName(), &ok);
        if (ok) name = typed;
    }
    if (!name) return;
    QString fileName = name->trimmed();
    if (fileName.isEmpty() || fileName.contains(QLatin1Char('/'))) return;
    if (QFileInfo(fileName).suffix().isEmpty() && !file.suffix().isEmpty()) fileName += QLatin1Char('.') + file.suffix();
    const FileRep renamed = FileRepresentation::forPath(open->path());
    renamed->filename = fileName;
    d->viewController->filenameDidChange(renamed);
}

} // namespace quillet
