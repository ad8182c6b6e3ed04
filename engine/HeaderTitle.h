#pragma once
// The title a header line holds, and the name a note's first line gives it: shared by the note
// browser's names and the editor's first-line scan.

#include "engine/Range.h"

#include <string_view>

namespace quillet::header_title {

// The range of the title within a header line: after the leading "#" characters and white
// space, without a closing run of white space and "#" characters. A line that does not start
// with "#" or white space is its own title; a line of markers only gives an empty range.
Range stringRangeInHeader(std::u16string_view line);

// The name for a note whose text begins with `text` (only the first line is looked at): the
// title of that line, or the whole line when its title is empty; empty when the line is empty.
std::u16string_view displaynameFromFirstline(std::u16string_view text);

} // namespace quillet::header_title
