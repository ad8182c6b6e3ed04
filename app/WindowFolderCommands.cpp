// The window's folder commands: Open Folder…, the Open Recent Folder submenu and Close Folder.
#include "app/RecentFoldersMenu.h"
#include "app/WindowActions.h"
#include "app/WindowController.h"
#include "app/WindowControllerPrivate.h"
#include "documents/ViewController.h"

#include <QAction>
#include <QMenu>

namespace quillet {

void WindowController::connectFolderCommands() {
    WindowActions& actions = *d->actions;
    ViewController* controller = d->viewController;
    connect(actions.openFolder, &QAction::triggered, this, [this, controller] {
        controller->openFolder();
        updateFolderCommands();
    });
    connect(actions.closeFolder, &QAction::triggered, this, [this, controller] {
        controller->closeFolder();
        updateFolderCommands();
    });
    QMenu* recent = actions.openRecentFolderMenu;
    const auto fillRecent = [this, controller, recent] {
        updateFolderCommands();
        fillOpenRecentFolderMenu(
            recent, controller->recentOpenedFolders(), controller->openedFolderPath(),
            {[controller](const RecentFolder& folder) { controller->openRecentFolder(folder); },
             [controller] { controller->clearOpenRecentFoldersMenu(); }});
    };
    connect(recent, &QMenu::aboutToShow, this, fillRecent);
    if (auto* file = qobject_cast<QMenu*>(recent->parent()))
        connect(file, &QMenu::aboutToShow, this, [this] { updateFolderCommands(); });
    // Filled now so that the menu is not empty before it is first opened.
    fillRecent();
}

// One folder at a time: Open Folder… while none is open, Close Folder while one is.
void WindowController::updateFolderCommands() {
    const bool folderOpen = d->viewController->openedFolderPath().has_value();
    d->actions->openFolder->setEnabled(!folderOpen);
    d->actions->closeFolder->setEnabled(folderOpen);
}

} // namespace quillet
