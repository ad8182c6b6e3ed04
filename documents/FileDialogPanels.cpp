#include "documents/ExportPanels.h"

#include <QDir>
#include <QFileDialog>

namespace quillet {

std::optional<QString> FileDialogPanels::chooseSaveFile(const QString& title, const QString& proposedName,
                                                        const QStringList& nameFilters) {
    const QString start = QDir::home().filePath(proposedName);
    const QString path = QFileDialog::getSaveFileName(parent_, title, start, nameFilters.join(QStringLiteral(";;")));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QString> FileDialogPanels::chooseOpenFile(const QString& title, const QStringList& nameFilters) {
    QStringList filters = nameFilters;
    filters << QStringLiteral("All Files (*)");
    const QString path = QFileDialog::getOpenFileName(parent_, title, QDir::homePath(), filters.join(QStringLiteral(";;")));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

} // namespace quillet
