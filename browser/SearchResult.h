#pragma once
// One occurrence of the search string in a note, with a short piece of its line to show.

#include "engine/Range.h"

#include <QString>
#include <memory>
#include <vector>

namespace quillet {

struct SearchResult {
    Range range;         // "range": the occurrence, relative to the start of its line
    Range lineRange;     // "lineRange": the line in the text, without its line break
    Range fragmentRange; // "fragmentRange": the fragment, relative to the start of its line
    QString fragment;    // "fragment": the line's text in fragmentRange

    friend bool operator==(const SearchResult&, const SearchResult&) = default;
};

using SearchResults = std::vector<SearchResult>;

} // namespace quillet
