#pragma once
// Line-break normalisation of a note's text as it enters the editor.

#include <QString>

namespace quillet {

// A copy of `text` in which every line break is one LF. A line break is any one of LF, VT, FF,
// CR, NEL, LINE SEPARATOR and PARAGRAPH SEPARATOR; CR directly followed by LF counts as one.
QString convertLineBreak(const QString& text);

} // namespace quillet
