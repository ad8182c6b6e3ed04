// The main window's commands opening the editor's popovers.
#include "app/WindowActions.h"
#include "app/WindowController.h"
#include "app/WindowControllerPrivate.h"
#include "documents/ViewController.h"

#include <QAction>

namespace quillet {

void WindowController::connectPopoverCommands() {
    ViewController* controller = d->viewController;
    connect(d->actions->showHeaders, &QAction::triggered, this, [controller] { controller->showHeaders(); });
    connect(d->actions->addImage, &QAction::triggered, this, [controller] { controller->addImageTag(); });
}

} // namespace quillet
