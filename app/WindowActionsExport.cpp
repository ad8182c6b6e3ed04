// The export, import, PDF, print and copy-as-HTML actions of the main window.
#include "app/WindowActions.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace quillet {

void WindowActions::makeExportActions() {
    // The data is the format title the controller's export reads.
    for (const char* title : {"Plain Text", "Markdown", "HTML"}) {
        QAction* item = make(tr(title), this);
        item->setData(QString::fromLatin1(title));
        exportFormats.append(item);
    }
    importNote = make(tr("Import…"), this);
    exportPdf = make(tr("Export as PDF…"), this);
    print = make(tr("Print…"), this);
    print->setShortcuts(QKeySequence::Print);
    if (print->shortcut().isEmpty()) print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    copyAsHtml = make(tr("Copy as HTML"), this);
    copyAsHtml->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
}

void WindowActions::addExportItems(QMenu* file) {
    QMenu* exportMenu = file->addMenu(tr("Export"));
    exportMenu->addActions(exportFormats);
    file->addActions({importNote, exportPdf});
    file->addSeparator();
    file->addAction(print);
}

void WindowActions::setExportCommandsEnabled(bool hasOpenNote) {
    for (QAction* item : exportFormats) item->setEnabled(hasOpenNote);
    for (QAction* command : {importNote, exportPdf, print, copyAsHtml}) command->setEnabled(hasOpenNote);
}

} // namespace quillet
