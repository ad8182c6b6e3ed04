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
    connect(actions.openFolder, &QAction::triggered, this, [controller] { controller->openFolder(); });
    connect(actions.closeFolder, &QAction::triggered, this, [controller] { controller->closeFolder(); });
    QMenu* recent = actions.openRecentFolderMenu;
    const auto fillRecent = [controller, recent] {
        fillOpenRecentFolderMenu(
            recent, controller->recentOpenedFolders(),
            {[controller](const RecentFolder& folder) { controller->openRecentFolder(folder); },
             [controller] { controller->clearOpenRecentFoldersMenu(); }});
    };
    connect(recent, &QMenu::aboutToShow, this, fillRecent);
    if (auto* file = qobject_cast<QMenu*>(recent->parent()))
        connect(file, &QMenu::aboutToShow, this, [this, controller] {
            d->actions->closeFolder->setEnabled(controller->openedFolderPath().has_value());
        });
    // Filled now so that the menu is not empty before it is first opened.
    fillRecent();
    actions.closeFolder->setEnabled(controller->openedFolderPath().has_value());
}

} // namespace quillet
