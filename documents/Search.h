#pragma once
// Searching a note for a string, case-insensitively (Unicode full case folding: "ß" and "SS"
// are equal), line by line.

#include "browser/SearchResult.h"

#include <QStringView>

namespace quillet {

// Every occurrence of `searchString` in `text`, line by line from left to right without
// overlaps, each with a fragment of its line: from 15 code units before the occurrence (or the
// line's start) and 30 long (or up to the line's end). An empty search string finds nothing.
SearchResults searchResults(QStringView searchString, QStringView text);

// Whether the text holds the search string anywhere, case-insensitively.
bool textContainsCaseInsensitive(QStringView text, QStringView searchString);

} // namespace quillet
