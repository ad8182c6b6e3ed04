// The window's preferences sheet.

#include "app/ColorScheme.h"
#include "app/PreferencesPanel.h"
#include "app/WindowController.h"
#include "app/WindowControllerPrivate.h"
#include "app/SyncFolderRow.h"
#include "documents/ViewController.h"
#include "platform/SyncContainer.h"

namespace quillet {

void WindowController::showPreferences() {
    if (!d->preferencesPanel) {
        d->preferencesPanel = new PreferencesPanel(d->defaults, Appearance::shared(), this);
        connect(d->preferencesPanel, &QDialog::accepted, this,
                [this] { d->viewController->applyStoredMarkdownOptions(); });
        // A folder chosen here replaces the one --sync-folder gave for this run.
        connect(d->preferencesPanel, &QDialog::accepted, this, [this] {
            if (!d->preferencesPanel->syncFolderRow()->store()) return;
            platform::setLaunchSyncFolder(std::nullopt);
            d->viewController->startSyncedLibrary();
        });
    }
    d->preferencesPanel->present();
}

PreferencesPanel* WindowController::preferencesPanel() const {
    return d->preferencesPanel;
}

} // namespace quillet
