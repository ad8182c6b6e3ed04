#pragma once
// The one place where the window's menu items and toolbar actions are enabled, titled and ticked
// from the window's state, and where the submenus that list files are rebuilt. It runs when a
// menu is about to show and when the state changes (a note opened or closed, the editor's undo
// stack or selection, the clipboard), never on a timer.

#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;

namespace quillet {

class WindowActions;
class WindowController;

// What the menus follow.
struct MenuState {
    bool hasOpenNote = false;
    bool openNoteIsCode = false; // a style sheet or a script: nothing to preview
    bool hasSyncedLibrary = false;
    bool openNoteIsSynced = false;
    bool editable = false; // the open note is not locked
    bool canUndo = false;
    bool canRedo = false;
    bool hasSelection = false;
    bool clipboardHasText = false;
    bool pythonAvailable = false;
};

// Enables the window's actions, and shows the script menu, as `state` says. (The pane buttons'
// titles follow the panes as they are shown and hidden, WindowController::previewPaneShown.)
void applyMenuState(WindowActions& actions, QAction* scriptMenu, const MenuState& state);

// The "Markdown Style" choices: the application's "markdown.css" first, then the other style
// sheets in `folder` by name (none when it cannot be listed).
QStringList markdownStyleNames(const QString& folder);

// The script menu: the scripts in `folder` by name (each item carrying its file name), a
// separator and `newScript`.
void fillScriptMenu(QMenu* menu, const QString& folder, QAction* newScript);

class MenuValidation : public QObject {
    Q_OBJECT

public:
    // Adds the script menu to the menu holding `markdownStyleMenu` and follows `window`.
    MenuValidation(WindowController& window, QMenu* markdownStyleMenu);

    MenuState currentState() const;
    // Applies the current state.
    void validate();

    QMenu* scriptMenu() const { return scriptMenu_; }
    QAction* newScript() const { return newScript_; }

private:
    void follow();

    WindowController& window_;
    QMenu* scriptMenu_;
    QAction* newScript_;
};

} // namespace quillet
