#include "browser/view/RenameRules.h"

#include <QCoreApplication>

namespace quillet {

QString withExtension(const QString& name, const QString& extension) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    return stem + QLatin1Char('.') + extension;
}

QString unusableNameReason(const QString& name) {
    if (name.isEmpty()) return QCoreApplication::translate("RenamePopoverController", "Type a name.");
    if (name == QStringLiteral(".") || name == QStringLiteral(".."))
        return QCoreApplication::translate("RenamePopoverController", "“%1” can't be a name.").arg(name);
    if (name.contains(QLatin1Char('/')))
        return QCoreApplication::translate("RenamePopoverController", "A name can't contain “/”.");
    return {};
}

} // namespace quillet
