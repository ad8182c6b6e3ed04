#pragma once
// What one browser row shows: a top or entry record, a header node of a note's outline, or one
// search result of a note. A RowItem keeps its object alive, so a row's identity (its key) stays
// valid while anyone holds the item.

#include "browser/FileRepresentation.h"
#include "browser/OutlineNode.h"
#include "browser/SearchResult.h"

#include <cstddef>
#include <memory>

namespace quillet {

enum class RowKind { none, top, entry, header, searchResult };

struct RowItem {
    RowKind kind = RowKind::none;
    FileRep record;                               // top, entry
    OutlineNodeRef header;                        // header
    std::shared_ptr<const SearchResults> results; // search result: the note's list...
    std::size_t resultIndex = 0;                  // ...and its place in it

    static RowItem forRecord(FileRep record) {
        const RowKind kind = record->top ? RowKind::top : RowKind::entry;
        return {kind, std::move(record), nullptr, nullptr, 0};
    }
    static RowItem forHeader(OutlineNodeRef node) {
        return {RowKind::header, nullptr, std::move(node), nullptr, 0};
    }
    static RowItem forSearchResult(std::shared_ptr<const SearchResults> results, std::size_t index) {
        return {RowKind::searchResult, nullptr, nullptr, std::move(results), index};
    }

    bool isRecord() const { return kind == RowKind::top || kind == RowKind::entry; }
    const SearchResult* searchResult() const {
        return kind == RowKind::searchResult ? &(*results)[resultIndex] : nullptr;
    }
    // The object behind the row; the model's internal pointer.
    const void* key() const {
        switch (kind) {
        case RowKind::top:
        case RowKind::entry:
            return record.get();
        case RowKind::header:
            return header.get();
        case RowKind::searchResult:
            return searchResult();
        case RowKind::none:
            break;
        }
        return nullptr;
    }
    explicit operator bool() const { return kind != RowKind::none; }
};

} // namespace quillet
