#include "app/MenuValidation.h"

#include "app/WindowActions.h"
#include "app/WindowController.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"
#include "platform/TypeIdentifiers.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>

namespace quillet {

namespace {

const QString kDefaultStyleSheet = QStringLiteral("markdown.css");

QStringList filesWithExtension(const QString& folder, const QString& extension) {
    return QDir(folder).entryList({QStringLiteral("*.") + extension}, QDir::Files, QDir::Name | QDir::LocaleAware);
}

bool isCode(const FileRepresentation& note) {
    QString type = note.UTI.value_or(QString());
    if (type.isEmpty()) type = platform::typeIdentifierForExtension(QFileInfo(note.path()).suffix());
    return type == QLatin1String(platform::kCssTypeIdentifier) ||
           type == QLatin1String(platform::kPythonScriptTypeIdentifier);
}

} // namespace

void applyMenuState(WindowActions& actions, QAction* scriptMenu, const MenuState& state) {
    actions.setNoteCommandsEnabled(state.hasOpenNote, state.hasSyncedLibrary);
    actions.setMoveTargets(state.openNoteIsSynced);
    const bool editing = state.hasOpenNote && state.editable;
    actions.undo->setEnabled(editing && state.canUndo);
    actions.redo->setEnabled(editing && state.canRedo);
    actions.cut->setEnabled(editing && state.hasSelection);
    actions.copy->setEnabled(state.hasOpenNote && state.hasSelection);
    actions.paste->setEnabled(editing && state.clipboardHasText);
    actions.selectAll->setEnabled(state.hasOpenNote);
    actions.togglePreview->setEnabled(!(state.hasOpenNote && state.openNoteIsCode));
    for (QAction* button : actions.markdownButtons)
        button->setEnabled(editing);
    actions.calculate->setEnabled(editing);
    actions.setPopoverCommandsEnabled(state.hasOpenNote && !state.openNoteIsCode, editing);
    if (scriptMenu) {
        scriptMenu->setEnabled(state.pythonAvailable);
        scriptMenu->setVisible(state.pythonAvailable);
    }
}

QStringList markdownStyleNames(const QString& folder) {
    QStringList names{kDefaultStyleSheet};
    for (const QString& name : filesWithExtension(folder, QStringLiteral("css")))
        if (name != kDefaultStyleSheet) names.append(name);
    return names;
}

void fillScriptMenu(QMenu* menu, const QString& folder, QAction* newScript) {
    menu->clear();
    for (const QString& name : filesWithExtension(folder, QStringLiteral("py")))
        menu->addAction(name)->setData(name);
    menu->addSeparator();
    menu->addAction(newScript);
}

MenuValidation::MenuValidation(WindowController& window, QMenu* markdownStyleMenu)
    : QObject(&window), window_(window) {
    auto* holder = qobject_cast<QMenu*>(markdownStyleMenu->parentWidget());
    scriptMenu_ = holder ? holder->addMenu(tr("Script")) : new QMenu(tr("Script"), &window);
    newScript_ = new QAction(tr("New Script"), this);
    ViewController* controller = window.viewController();
    connect(scriptMenu_, &QMenu::aboutToShow, this,
            [this, controller] { fillScriptMenu(scriptMenu_, controller->specialFolderPath(QStringLiteral("Script")), newScript_); });
    connect(scriptMenu_, &QMenu::triggered, this, [controller, this](QAction* item) {
        if (item != newScript_) controller->scriptMenuDidSelect(item->data().toString());
    });
    connect(newScript_, &QAction::triggered, controller, [controller] { controller->addScriptFile(); });
    follow();
    validate();
}

void MenuValidation::follow() {
    for (QMenu* menu : window_.menuBar()->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &MenuValidation::validate);
    ViewController* controller = window_.viewController();
    connect(controller, &ViewController::documentChanged, this, &MenuValidation::validate);
    QPlainTextEdit* text = controller->markdownViewController()->textView();
    connect(text, &QPlainTextEdit::undoAvailable, this, &MenuValidation::validate);
    connect(text, &QPlainTextEdit::redoAvailable, this, &MenuValidation::validate);
    connect(text, &QPlainTextEdit::copyAvailable, this, &MenuValidation::validate);
    // copyAvailable is not sent for a selection made while the text is read-only.
    connect(text, &QPlainTextEdit::selectionChanged, this, &MenuValidation::validate);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &MenuValidation::validate);
    // Locking or unlocking changes what the Edit menu may do to the text.
    connect(window_.actions().editButton, &QAction::triggered, this, &MenuValidation::validate);
}

MenuState MenuValidation::currentState() const {
    const ViewController* controller = window_.viewController();
    const FileRep note = controller->lastFileRepresentation();
    const QPlainTextEdit* text = controller->markdownViewController()->textView();
    MenuState state;
    state.hasOpenNote = bool(note);
    state.openNoteIsCode = note && isCode(*note);
    state.hasSyncedLibrary = controller->hasSyncedContainer();
    state.openNoteIsSynced = note && note->iCloud;
    state.editable = controller->editState() && !text->isReadOnly();
    state.canUndo = text->document()->isUndoAvailable();
    state.canRedo = text->document()->isRedoAvailable();
    state.hasSelection = text->textCursor().hasSelection();
    state.clipboardHasText = !QApplication::clipboard()->text().isEmpty();
    state.pythonAvailable = controller->pythonAvailable();
    return state;
}

void MenuValidation::validate() {
    applyMenuState(window_.actions(), scriptMenu_->menuAction(), currentState());
}

} // namespace quillet

#include "moc_MenuValidation.cpp"
