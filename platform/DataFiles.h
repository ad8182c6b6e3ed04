#pragma once
// The application's read-only data: the style sheets and whatever else it ships besides its
// programs. Installed it lies in <prefix>/share/quillet beside <prefix>/bin; the build tree has
// the same layout (build/share/quillet beside build/bin), so one lookup serves both.

#include <QString>
#include <QStringList>

namespace quillet::platform {

// The first folder among <executableFolder>/../share/quillet and <root>/quillet for each of
// `dataRoots`, in that order; empty when there is none.
QString findDataFolder(const QString& executableFolder, const QStringList& dataRoots);

// findDataFolder for this executable and the XDG data folders (QStandardPaths::
// GenericDataLocation): a program run from its own prefix uses that prefix's data.
QString dataFolder();

} // namespace quillet::platform
