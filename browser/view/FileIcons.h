#pragma once
// The pictures of the browser's rows, taken from the desktop theme (with the style's own file
// and folder pictures where the theme has none), and the side each kind is drawn at.

#include "browser/FileRepresentation.h"

#include <QIcon>

namespace quillet {

// Tops: the folder picture for "On My Mac", the network picture for the others.
QIcon topIcon(const FileRepresentation& top);
// Entries by kind: folder, style sheet, script, note.
QIcon entryIcon(const FileRepresentation& entry);
// Folders 21 pixels, style sheets and scripts 28, notes 38; tops as folders.
int iconSide(const FileRepresentation& record);

} // namespace quillet
