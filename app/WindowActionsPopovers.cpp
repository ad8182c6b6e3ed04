// The actions opening the editor's popovers.
#include "app/WindowActions.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace quillet {

void WindowActions::makePopoverActions() {
    // Ctrl+Shift+O: the key other editors give to jumping to a symbol of the file.
    showHeaders = make(tr("Show Headers"), this);
    showHeaders->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    addImage = make(tr("Add Image…"), this);
    setPopoverCommandsEnabled(false, false);
}

void WindowActions::addPopoverItems(QMenu* view, QMenu* format) {
    view->addSeparator();
    view->addAction(showHeaders);
    format->addSeparator();
    format->addAction(addImage);
}

void WindowActions::setPopoverCommandsEnabled(bool hasOpenMarkdownNote, bool editable) {
    showHeaders->setEnabled(hasOpenMarkdownNote);
    addImage->setEnabled(hasOpenMarkdownNote && editable);
}

} // namespace quillet
