// The Help menu's guide: found in the data folder for the user's language and shown read-only.
#include "app/HelpGuide.h"
#include "app/WindowController.h"
#include "app/WindowControllerPrivate.h"
#include "documents/ViewController.h"
#include "platform/DataFiles.h"

#include <QLocale>

namespace quillet {

void WindowController::setDataFolder(const QString& folder) {
    d->dataFolder = folder;
}

HelpGuideWindow* WindowController::helpGuideWindow() const {
    return d->helpGuideWindow;
}

void WindowController::showHelpGuide() {
    const QString folder = d->dataFolder.isEmpty() ? platform::dataFolder() : d->dataFolder;
    const QString path = helpGuidePath(folder, QLocale::system().uiLanguages());
    if (!d->helpGuideWindow) d->helpGuideWindow = new HelpGuideWindow(this);
    if (path.isEmpty() || !d->helpGuideWindow->load(path)) {
        d->viewController->showAlert(tr("The Quillet Guide could not be opened."),
                                     tr("Quillet may not be installed completely: reinstall it."));
        return;
    }
    d->helpGuideWindow->show();
    d->helpGuideWindow->raise();
    d->helpGuideWindow->activateWindow();
}

} // namespace quillet
