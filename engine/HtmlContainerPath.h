#pragma once
// The chain of open containers while a note's body is built: the body first, the current
// container last, each element the parent of the next. Keeping the chain (rather than only the
// current container) gives every ancestor's level and the open blockquotes in constant time, so
// the conversion stays linear however deep the lists nest.

#include "engine/RQXMLElement.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace quillet::html {

inline bool isNamed(const RQXMLElement* element, std::u16string_view name) {
    return element->name() == name;
}
inline bool isList(const RQXMLElement* element) {
    return isNamed(element, u"ul") || isNamed(element, u"ol");
}
inline bool isListItem(const RQXMLElement* element) {
    return isNamed(element, u"li");
}
inline bool isBlockquote(const RQXMLElement* element) {
    return isNamed(element, u"blockquote");
}
inline bool isHeaderName(const RQXMLElement* element) {
    return element->hasName() && element->name().front() == u'h';
}

class ContainerPath {
public:
    explicit ContainerPath(RQXMLElement* body) : elements_{body} {}

    RQXMLElement* body() const { return elements_.front(); }
    RQXMLElement* current() const { return elements_.back(); }
    // The current container's index, which is also its level in the tree.
    std::size_t currentIndex() const { return elements_.size() - 1; }
    std::size_t size() const { return elements_.size(); }
    RQXMLElement* at(std::size_t index) const { return elements_[index]; }

    // `element` is a child of the current container and becomes current.
    void push(RQXMLElement* element) {
        if (isBlockquote(element)) quotes_.push_back(elements_.size());
        elements_.push_back(element);
    }
    // The ancestor at `index` becomes current.
    void truncateTo(std::size_t index) {
        elements_.resize(index + 1);
        while (!quotes_.empty() && quotes_.back() > index)
            quotes_.pop_back();
    }
    void reset() { truncateTo(0); }

    // The index of the first blockquote below the element at `index`, if any is open.
    std::optional<std::size_t> firstQuoteAfter(std::size_t index) const {
        const auto found = std::upper_bound(quotes_.begin(), quotes_.end(), index);
        if (found == quotes_.end()) return std::nullopt;
        return *found;
    }

private:
    std::vector<RQXMLElement*> elements_;
    std::vector<std::size_t> quotes_; // indices of the open blockquotes, ascending
};

} // namespace quillet::html
