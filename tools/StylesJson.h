#pragma once
// The --styles output: the note styled as the editor styles it, over the in-memory text store
// and fonts (every character `fontWidth` points wide, the editor font "Regular" at 15 points),
// written as one JSON object per line of the note.

#include "tools/Conversion.h"

#include <string>
#include <string_view>

namespace quillet::convert {

// One line per line of the note (terminator included in its range):
//   {"line":0,"range":[0,6],"MD_INDENT_DEPTH":1,"MD_BLOCKS":["list"],"headIndent":30,
//    "firstLineHeadIndent":10,"runs":[{"range":[0,2],"font":"regular","color":"gray"},...]}
// The custom attributes are those of the line's first character, each only when present; a run
// is a maximal stretch of equal attributes within the line, with "font" one of "regular",
// "bold", "italic", "boldItalic", "code", "color" one of "text", "gray", "darkGray", and
// "baselineOffset", "strikethrough", "link" and "MD_BLOCK_LINKLABEL" when present.
std::string stylesFromMarkdown(std::u16string_view note, const ConversionSettings& settings);

} // namespace quillet::convert
