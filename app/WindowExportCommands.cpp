// The main window's export, import, PDF, print and copy-as-HTML commands.
#include "app/ExportCommands.h"
#include "app/WindowActions.h"
#include "app/WindowController.h"
#include "app/WindowControllerPrivate.h"
#include "documents/ViewController.h"

#include <QAction>

namespace quillet {

ExportCommands& WindowController::exportCommands() const {
    return *d->exportCommands;
}

void WindowController::connectExportCommands() {
    d->exportCommands = new ExportCommands(*d->viewController, d->webViewController, this);
    WindowActions& actions = *d->actions;
    ViewController* controller = d->viewController;
    for (QAction* item : actions.exportFormats)
        connect(item, &QAction::triggered, this, [controller, item] { controller->exportAs(item->data().toString()); });
    connect(actions.importNote, &QAction::triggered, this, [controller] { controller->importFrom(); });
    connect(actions.copyAsHtml, &QAction::triggered, this, [controller] { controller->copyAsHTML(); });
    ExportCommands* commands = d->exportCommands;
    connect(actions.exportPdf, &QAction::triggered, this, [commands] { commands->saveDocumentAsPDF(); });
    connect(actions.print, &QAction::triggered, this, [commands] { commands->printDocument(); });
}

} // namespace quillet
