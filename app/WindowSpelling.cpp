// Edit > Spelling: turns the editor's spell checking on and off, remembered across runs.

#include "app/SpellingSettings.h"
#include "app/WindowActions.h"
#include "app/WindowController.h"
#include "app/WindowControllerPrivate.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"
#include "platform/SpellChecker.h"

#include <QAction>

namespace quillet {

void WindowController::connectSpelling() {
    applySpellingLanguage(d->defaults, platform::SpellChecker::shared());
    QAction* spelling = d->actions->spelling;
    spelling->setChecked(spellCheckingOn(d->defaults));
    d->viewController->markdownViewController()->setSpellChecking(spelling->isChecked());
    connect(spelling, &QAction::toggled, this, [this](bool on) {
        storeSpellChecking(d->defaults, on);
        d->viewController->markdownViewController()->setSpellChecking(on);
    });
}

} // namespace quillet
