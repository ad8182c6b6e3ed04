// The window's commands for the editor's tools: the arithmetic command on the open note.
#include "app/WindowActions.h"
#include "app/WindowController.h"
#include "app/WindowControllerPrivate.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"

#include <QAction>

namespace quillet {

void WindowController::connectEditorToolCommands() {
    MarkdownViewController* editor = d->viewController->markdownViewController();
    connect(d->actions->calculate, &QAction::triggered, editor, [editor] { editor->arithmeticOperation(); });
}

} // namespace quillet
