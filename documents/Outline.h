#pragma once
// A note's outline: the tree of its headers, lines that begin with one or more "#" followed by
// a space and some text. A header nests under the nearest earlier header with fewer "#"; levels
// that are skipped nest all the same ("# A", "### B", "## C": B and C are both A's children).

#include "browser/OutlineNode.h"

#include <QChar>
#include <QString>
#include <QStringView>
#include <cstddef>

namespace quillet {

// A new root holding the outline of the text (no children for an empty text).
OutlineNodeRef createOutline(QStringView text);

// Builds the outline of the whole text into `root`, reusing its existing nodes in order.
void updateRoot(OutlineNode& root, QStringView text);

// Fills `node` with the headers of level `depth` or deeper found in `range` (which starts at a
// line start), stopping at the first header of a lower level; sets the node's "range" and
// returns the number of code units consumed.
std::size_t updateOutline(OutlineNode& node, QStringView text, Range range, int depth);

// The header level of the line for the marker `key`: the number of leading `key` characters
// when a space and then something other than a line break follow them, else 0.
int lengthOfSequence(QStringView line, QChar key);

// The title of a header line with `sharpCount` leading "#" characters: the text after them and
// the following space, without a closing sequence of white space and "#" or a final line break.
QString titleInLine(QStringView line, int sharpCount);

} // namespace quillet
