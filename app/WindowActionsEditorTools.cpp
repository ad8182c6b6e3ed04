// The window's actions for the editor's tools: the arithmetic command.
#include "app/ToolbarIcons.h"
#include "app/WindowActions.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace quillet {

void WindowActions::makeEditorToolActions() {
    calculate = make(tr("Calculate"), this);
    calculate->setShortcut(QKeySequence(Qt::Key_F9));
    calculate->setToolTip(tr("Calculate the expression before the cursor"));
    calculate->setIcon(calculateIcon());
    calculate->setEnabled(false);
}

void WindowActions::addEditorToolItems(QMenu* format) {
    format->addSeparator();
    format->addAction(calculate);
}

} // namespace quillet
