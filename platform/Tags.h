#pragma once
// File tags, kept as the freedesktop convention has them: the extended attribute
// "user.xdg.tags" holding the tag names separated by commas.

#include "platform/Status.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillet::platform {

// The tags of the item, in stored order; empty when it has none (or no attribute support).
QStringList readTags(const QString& path);

// The tags of the item `name` inside the folder open as `folderFd`, whose whole path is `path`:
// the same as readTags(path), with the item reached relative to the folder and the common cases
// (no tags, a short value) answered without building anything.
QStringList readTagsAt(int folderFd, const char* name, const QString& path);

// Replaces the tags; an empty list removes the attribute. Commas inside a name are not allowed.
Status writeTags(const QString& path, const QStringList& tags);

// The attribute value's tag names: split at commas, blanks around names trimmed, empty names
// and invalid UTF-8 dropped.
QStringList parseTags(const QByteArray& value);

} // namespace quillet::platform
