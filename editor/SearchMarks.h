#pragma once
// The occurrences of the search target marked in the editor's text. The marks are kept beside
// the text, not in it, so marking never changes the text or its styling; they follow edits the
// way the text's own attributes would.

#include "engine/Range.h"

#include <QStringView>
#include <vector>

namespace quillet {

class SearchMarks {
public:
    // Marks every occurrence of `target` in `text` (literal, case-sensitive), each search
    // starting after the previous occurrence. An empty target marks nothing.
    void mark(QStringView text, QStringView target);
    void clear() { ranges_.clear(); }
    // After the characters [from, from + removed) were replaced by `added` characters.
    void textReplaced(std::size_t from, std::size_t removed, std::size_t added);

    const std::vector<Range>& ranges() const { return ranges_; }
    // The marks that meet [start, end), cut to it.
    std::vector<Range> within(std::size_t start, std::size_t end) const;

private:
    std::vector<Range> ranges_; // in order, not overlapping
};

} // namespace quillet
