#pragma once
// The comment blocks of a style sheet ("/*" ... "*/") or a script ("'''" ... "'''"). The text is
// walked line by line: outside a block the first opening marker opens one, inside it the first
// closing marker closes it, and the walk goes on after each marker. The blocks are kept as the
// positions of their markers, which alternate between opening and closing, so that an edit
// rescans only its own lines and the lines below for as long as the walk's state differs from
// what it was before the edit.

#include "engine/Range.h"
#include "engine/TextStore.h"

#include <string>
#include <vector>

namespace quillet {

class CommentBlocks {
public:
    // Empty markers: no blocks.
    void setMarkers(std::u16string opening, std::u16string closing);

    // Walks the whole text.
    void rebuild(const TextStore& text);
    // After the `removed` characters at `location` were replaced by `added` new ones in `text`:
    // rescans what the edit may have changed and returns the lines whose colouring may have
    // changed (the edited lines, the lines the rescan went through, and a whole block that
    // became closed or unclosed).
    Range update(const TextStore& text, std::size_t location, std::size_t removed, std::size_t added);

    // The closed blocks meeting `within` (every one without an argument), markers included.
    std::vector<Range> closedBlocks(Range within = {0, kNotFound}) const;
    // Where the last block opens when it is not closed.
    std::optional<std::size_t> unclosedStart() const;

private:
    void scanLine(const TextStore& text, Range line, std::vector<std::size_t>& markers,
                  std::u16string& scratch) const;
    const std::u16string& markerAfter(std::size_t markerCount) const {
        return markerCount % 2 == 0 ? opening_ : closing_;
    }

    std::u16string opening_;
    std::u16string closing_;
    std::vector<std::size_t> markers_; // even index: opening, odd: closing
};

} // namespace quillet
