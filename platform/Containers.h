#pragma once
// The folders the note library lives in: the local container ("On My Mac"), private to the
// application, and the synchronised folder that stands in for the cloud container (none unless
// set up).

#include "platform/Status.h"

#include <QString>
#include <optional>

namespace quillet::platform {

// QStandardPaths::AppDataLocation + "/Documents" (needs the application name set).
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
