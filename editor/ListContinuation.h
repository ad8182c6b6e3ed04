#pragma once
// Return at the end of a list item or a quote line starts the next item with the same indent and
// marker ("1." counts on to "2."); Return on an item holding only its marker ends the list.

#include <QString>
#include <optional>

class QPlainTextEdit;

namespace quillet {

// What Return at the end of `line` (without its line break) starts: the marker of the next item,
// an empty marker when the item is empty and Return ends the list, none when the line is no list
// item or quote.
std::optional<QString> nextListMarker(const QString& line);

// Handles Return with the caret at the end of a list item or quote line (no selection): inserts
// the line break and the next marker, or empties an empty item. False, with the text left alone,
// anywhere else. One undo step.
bool continueList(QPlainTextEdit& view);

} // namespace quillet
