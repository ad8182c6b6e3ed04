#pragma once
// The hidden side file that holds a file's attributes where the file system has no extended
// attributes: a JSON object of name -> base64 value. Internal to platform/.

#include "platform/Status.h"

#include <QByteArray>
#include <QMap>
#include <QString>

namespace quillet::platform::side_file {

using Values = QMap<QString, QByteArray>;

// The attributes of `path`; empty when there is no side file. Fails when `path` itself is
// missing, or the side file exists but cannot be read or is not a JSON object.
Result<Values> load(const QString& path);
// Writes the attributes atomically; no values removes the side file.
Status store(const QString& path, const Values& values);
// Merges the side file of `from` (if any) into that of `to`.
Status copy(const QString& from, const QString& to);

} // namespace quillet::platform::side_file
