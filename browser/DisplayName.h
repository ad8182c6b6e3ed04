#pragma once
// The display name a note's first line gives: the line's title, header markers removed.

#include "engine/Range.h"

#include <QString>
#include <QStringView>

namespace quillet {

// The name for a note whose text begins with `text` (only the first line is looked at); ""
// when that line is empty (the caller then shows the file name).
QString displaynameFromFirstline(QStringView text);

// The range of the title within a header line: after the leading "#" characters and white
// space, without a closing run of white space and "#" characters. A line that does not start
// with "#" or white space is its own title; a line of markers only gives an empty range.
Range stringRangeInHeader(QStringView line);

} // namespace quillet
