#pragma once
// One node of a note's header outline. The root has no header (depth 0) and covers the whole
// text; a header node covers the text after its header line up to the next header of the same
// or a higher level. Nodes are shared by reference: the browser shows them as rows.

#include "engine/Range.h"

#include <QString>
#include <memory>
#include <vector>

namespace quillet {

struct OutlineNode;
using OutlineNodeRef = std::shared_ptr<OutlineNode>;

struct OutlineNode {
    std::vector<OutlineNodeRef> children; // "children": headers of the next level, in text order
    Range range;                          // "range": the node's section, UTF-16 code units
    QString headerString;                 // "headerString": the header line without its line break
    Range headerRange;                    // "headerRange": the header line, line break included
    int depth = 0;                        // "depth": outline level; 0 on the root

    bool isRoot() const { return depth == 0; }
};

// Node by node, children included.
bool sameOutline(const OutlineNode& a, const OutlineNode& b);

} // namespace quillet
