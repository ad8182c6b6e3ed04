#pragma once
// The folders the note library lives in: the local container ("On This Computer"), in the user's
// documents folder where the file manager shows it, and the synchronised folder that stands in
// for the cloud container (none unless set up).

#include "platform/Status.h"

#include <QString>
#include <optional>

namespace quillet::platform {

// $XDG_DOCUMENTS_DIR/Quillet (QStandardPaths::DocumentsLocation + "/Quillet").
QString documentsLibraryPath();
// Where earlier versions kept the library: QStandardPaths::AppDataLocation + "/Documents" (needs
// the application name set).
QString formerLocalContainerPath();
// The former place while a library is still there (it could not be moved, see LibraryMove.h),
// else the documents library.
QString localContainerPath();
// Creates the local container with its parents when missing.
Status ensureLocalContainer();

// The synchronised folder's documents path; none until set.
std::optional<QString> ubiquityContainerPath();
void setUbiquityContainerPath(std::optional<QString> path);
// True when the path is the synchronised folder or lies inside it (the file system's "item in
// cloud storage" question). Compared by path components, so "/a/bc" is not inside "/a/b".
bool isUbiquitousItem(const QString& path);

} // namespace quillet::platform
