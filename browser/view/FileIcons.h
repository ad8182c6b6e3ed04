#pragma once
// The pictures of the browser's rows and the side each kind is drawn at. Notes, style sheets
// and scripts get their own drawn pictures (see RowIcons.h); folders and tops the desktop's.

#include "browser/FileRepresentation.h"

#include <QIcon>

namespace quillet {

// Tops: the folder picture for "On This Computer", the network picture for the others.
QIcon topIcon(const FileRepresentation& top);
// Entries by kind: folder, style sheet, script, note. The drawn pictures follow the palette of
// the widget they are painted on, or the application's elsewhere.
QIcon entryIcon(const FileRepresentation& entry);
// Folders 21 pixels, style sheets and scripts 28, notes 38; tops as folders.
int iconSide(const FileRepresentation& record);

} // namespace quillet
