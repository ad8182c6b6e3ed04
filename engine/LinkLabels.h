#pragma once
// The table in which link definitions ('[label]: URL "title"') and link uses ('[text][label]')
// meet. One record per label (exact, case-sensitive comparison), kept in insertion order.

#include "engine/Range.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillet {

struct LinkLabel {
    std::u16string label;
    std::optional<std::u16string> urlString; // absent while no definition stands
    std::optional<Range> range;              // where the label stands in its definition line
    std::vector<Range> references;           // line-relative ranges of the uses, each once
    std::optional<std::u16string> options;   // the definition's title, only when not empty
};

using LinkLabelRef = std::shared_ptr<LinkLabel>;

class LinkLabelTable {
public:
    // Enter or update a definition.
    void registerLinkLabel(std::u16string_view label, std::u16string_view url,
                           std::optional<std::u16string_view> options, Range range);
    // Record a use; returns the label's record.
    LinkLabelRef linkLabel(std::u16string_view label, Range range);
    // Withdraw a definition.
    void removeLinkLabel(std::u16string_view label);
    // Withdraw a use.
    void disableLinkForLabel(std::u16string_view label, Range range);
    LinkLabelRef labelDictForLabel(std::u16string_view label) const;

    // Resolve a label link with label `label` and link text `text` for HTML output:
    // the record whose URL the element gets, or null when it gets none.
    LinkLabelRef resolve(std::u16string_view label, std::u16string_view text) const;

    // The records in insertion order.
    const std::vector<LinkLabelRef>& records() const;
    // Replaces the table; a null entry or a repeated label is skipped.
    void setRecords(std::vector<LinkLabelRef> records);
    void clear();

private:
    struct LabelHash {
        using is_transparent = void;
        std::size_t operator()(std::u16string_view label) const noexcept {
            return std::hash<std::u16string_view>{}(label);
        }
    };

    LinkLabelRef find(std::u16string_view label) const;
    void append(LinkLabelRef record);
    void erase(std::u16string_view label);
    void closeHoles() const;

    // Erasing leaves a null slot, so that withdrawing many labels stays linear; records()
    // closes the holes before anyone sees the array.
    mutable std::vector<LinkLabelRef> records_;
    mutable std::size_t holes_ = 0;
    // Label -> its slot in records_.
    mutable std::unordered_map<std::u16string, std::size_t, LabelHash, std::equal_to<>> slots_;
};

} // namespace quillet
