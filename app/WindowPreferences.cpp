// The window's preferences sheet.

#include "app/ColorScheme.h"
#include "app/PreferencesPanel.h"
#include "app/WindowController.h"
#include "app/WindowControllerPrivate.h"
#include "documents/ViewController.h"

namespace quillet {

void WindowController::showPreferences() {
    if (!d->preferencesPanel) {
        d->preferencesPanel = new PreferencesPanel(d->defaults, Appearance::shared(), this);
        connect(d->preferencesPanel, &QDialog::accepted, this,
                [this] { d->viewController->applyStoredMarkdownOptions(); });
    }
    d->preferencesPanel->present();
}

PreferencesPanel* WindowController::preferencesPanel() const {
    return d->preferencesPanel;
}

} // namespace quillet
