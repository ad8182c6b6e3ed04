#pragma once
// Joins PDF files into one, page after page: a long document printed in parts becomes one file.

#include "platform/Status.h"

#include <QString>
#include <QStringList>

namespace quillet::platform {

// Writes the pages of `parts`, in order, to `target` (replaced), with the first part's document
// information (its title). A part that cannot be read fails the whole join.
Status mergePdfFiles(const QStringList& parts, const QString& target);

} // namespace quillet::platform
