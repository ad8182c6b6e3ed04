// Lines that begin with list or quote markers: each builds a fragment of nested containers
// (a list with one item per list level, a blockquote per quote level, the line's content in
// the innermost one) and joins it to the tree.
//
// Lines with list markers only are joined relative to the current container: a line that
// matches the open list continues it (even a shallower line continues the nested list), a
// deeper one nests into the last item, a line of another list kind nests as a new block.
//
// A line with quote markers is placed exactly: its content ends up inside as many blockquotes
// as the line has '>' characters. Its levels are matched against the open containers from
// the outside in; a quote level matches the next open blockquote (lists before it are passed
// over, so a quote continues inside the list item that holds it), a list level matches an open
// list of the same kind directly below. When every level matches, the content joins the
// innermost one (a new item for a list); otherwise the unmatched levels are added below the
// last match, nested in the open list item there as other blocks are, but never below a
// blockquote the line did not match.

#include "engine/HtmlBodyBuilder.h"

namespace quillet::html {

namespace {

// A list level in front of a fragment: the content of its item.
RQXMLElement* insideListLevel(RQXMLElement* element) {
    RQXMLElement* item = element->firstChildElement();
    if (!item || !isListItem(item)) return element;
    RQXMLElement* inner = item->firstChildElement();
    return inner ? inner : element;
}

// Takes an element out of the fragment it was built in, so that it can join the tree.
RQXMLElementRef takeFromFragment(RQXMLElement* element) {
    RQXMLElement* parent = element->parent();
    if (!parent) return nullptr;
    for (const RQXMLChild& child : parent->children()) {
        if (child.element() != element) continue;
        RQXMLElementRef taken = child.elementRef();
        element->detach();
        return taken;
    }
    return nullptr;
}

} // namespace

void HtmlBodyBuilder::markerLine(std::u16string_view line, const RangeDict& record) {
    buildFragment(line, record);
    normalizeJoinPoint();
    // A line whose markers make no level contributes nothing.
    if (!fragment_.root) return;
    if (fragment_.hasQuote) {
        joinByMarkers();
    } else {
        joinAsList();
    }
    fragment_.root.reset();
    fragment_.content.reset();
    fragment_.levels.clear();
}

// ---- The fragment ----

void HtmlBodyBuilder::addFragmentLevel(RQXMLElementRef element, RQXMLElement* item, bool isQuote,
                                       RQXMLElement*& tip) {
    if (tip) {
        tip->addChild(element);
    } else {
        fragment_.root = element;
    }
    tip = item ? item : element.get();
    fragment_.levels.push_back({std::move(element), item, isQuote});
}

// List markers give one list with an item per level of their depth (an "ol" carries the
// marker's number as "start"); a quote marker gives one list level per leading tab, then one
// blockquote per '>'.
void HtmlBodyBuilder::buildFragment(std::u16string_view line, const RangeDict& record) {
    fragment_.levels.clear();
    fragment_.root.reset();
    fragment_.content.reset();
    fragment_.hasQuote = false;
    RQXMLElement* tip = nullptr;
    const BlockDict* innermost = nullptr;
    auto addListLevels = [&](std::u16string_view name, long count,
                             const std::optional<std::u16string>& start) {
        for (long level = 0; level < count; ++level) {
            auto list = RQXMLElement::elementWithName(name);
            if (start && name == u"ol") list->addAttribute(u"start", *start);
            auto item = RQXMLElement::elementWithName(u"li");
            list->addChild(item);
            addFragmentLevel(std::move(list), item.get(), false, tip);
        }
    };
    for (const BlockDict& marker : record.blockArray) {
        if (marker.type == BlockType::list || marker.type == BlockType::decimallist) {
            if (marker.depth < 1) continue;
            addListLevels(marker.type == BlockType::list ? u"ul" : u"ol", marker.depth, marker.decimalDigit);
        } else if (marker.type == BlockType::quote) {
            if (marker.depth + marker.quoteDepth < 1) continue;
            addListLevels(u"ul", marker.depth, std::nullopt);
            for (long level = 0; level < marker.quoteDepth; ++level) {
                addFragmentLevel(RQXMLElement::elementWithName(u"blockquote"), nullptr, true, tip);
            }
            fragment_.hasQuote = true;
        } else {
            continue;
        }
        innermost = &marker;
    }
    if (!innermost) return;
    auto paragraph = RQXMLElement::elementWithName(u"p");
    appendInline(*paragraph, line, record.spanArray, innermost->strRange);
    // A header inside an item stands on its own; other content is a paragraph.
    RQXMLElement* only = paragraph->children().size() == 1 ? paragraph->firstChildElement() : nullptr;
    fragment_.content = only && isHeaderName(only) ? takeFromFragment(only) : std::move(paragraph);
    tip->addChild(fragment_.content);
}

// ---- Joining ----

// A paragraph, code block or header is not a container of blocks: join at its container, or
// at the list that holds the item it is in.
void HtmlBodyBuilder::normalizeJoinPoint() {
    std::size_t index = path_.currentIndex();
    RQXMLElement* current = path_.current();
    if (index > 0 && (isNamed(current, u"p") || isNamed(current, u"pre") || isHeaderName(current))) {
        --index;
        if (index > 0 && isListItem(path_.at(index))) --index;
    }
    path_.truncateTo(index);
}

// Walks up from the current container while the fragment's root continues the open list and
// the line has levels to spare, stripping one list level off the fragment per step.
void HtmlBodyBuilder::joinAsList() {
    const std::size_t anchor = path_.currentIndex();
    RQXMLElement* root = fragment_.root.get();
    long k = static_cast<long>(fragment_.levels.size());
    std::u16string_view previousName;
    std::size_t examined = anchor;
    RQXMLElement* x = root;
    while (true) {
        const std::u16string_view examinedName = path_.at(examined)->name();
        if (root->name() != examinedName && previousName != examinedName) return startNewBlock(anchor, k);
        if (examined >= 2 && k >= 2) {
            --examined;
            if (examined > 0 && isListItem(path_.at(examined))) --examined;
            previousName = path_.at(examined)->name();
            --k;
            // One level per step: what remains of the fragment is as deep as the levels the
            // line still adds below the current list.
            x = insideListLevel(x);
        }
        if (examined <= 1 || k <= 1) break;
    }
    continueList(anchor, x, k);
}

void HtmlBodyBuilder::continueList(std::size_t anchor, RQXMLElement* x, long k) {
    RQXMLElement* list = path_.at(anchor);
    RQXMLElement* y = x;
    if (x->name() == list->name()) y = insideListLevel(x);
    path_.truncateTo(anchor);
    if (k < 2 && isList(list)) {
        // Y goes into a new item of the list. The fragment's item around Y holds Y alone, so
        // it serves as that new item.
        RQXMLElement* item = y->parent();
        if (item && isListItem(item) && item->children().size() == 1) {
            list->addChild(takeFromFragment(item));
        } else {
            auto wrapper = RQXMLElement::elementWithName(u"li");
            wrapper->addChild(y == fragment_.root.get() ? fragment_.root : takeFromFragment(y));
            list->addChild(std::move(wrapper));
        }
        return;
    }
    RQXMLElementRef joined = y == fragment_.root.get() ? fragment_.root : takeFromFragment(y);
    if (!joined) return;
    if (k < 2) return list->addChild(joined);
    RQXMLElement* target = isList(list) && list->lastChildElement() ? list->lastChildElement() : list;
    target->addChild(joined);
    descend(k - 1);
}

void HtmlBodyBuilder::startNewBlock(std::size_t anchor, long k) {
    const RQXMLElementRef& root = fragment_.root;
    if (options_.resetIndentByBlock) {
        body_->addChild(root);
        path_.reset();
    } else {
        RQXMLElement* container = path_.at(anchor);
        path_.truncateTo(anchor);
        RQXMLElement* item = isList(container) ? container->lastChildElement() : nullptr;
        if (item) {
            item->addChild(root);
            path_.push(item);
        } else {
            container->addChild(root);
        }
    }
    path_.push(root.get());
    if (k >= 2) descend(k - 1);
}

void HtmlBodyBuilder::joinByMarkers() {
    const std::vector<FragmentLevel>& levels = fragment_.levels;
    std::size_t matched = 0; // path index of the last matched container (the body at first)
    std::size_t count = 0;
    while (count < levels.size()) {
        const FragmentLevel& level = levels[count];
        if (level.isQuote) {
            const auto quote = path_.firstQuoteAfter(matched);
            if (!quote) break;
            matched = *quote;
        } else {
            std::size_t below = matched + 1;
            if (below < path_.size() && isListItem(path_.at(below))) ++below;
            if (below >= path_.size() || path_.at(below)->name() != level.element->name()) break;
            matched = below;
        }
        ++count;
    }

    if (count == levels.size()) {
        RQXMLElement* container = path_.at(matched);
        RQXMLElementRef content = takeFromFragment(fragment_.content.get());
        if (isList(container)) {
            auto item = RQXMLElement::elementWithName(u"li");
            item->addChild(content);
            container->addChild(item);
        } else {
            container->addChild(content);
        }
        path_.truncateTo(matched);
        return;
    }

    const std::size_t anchor = options_.resetIndentByBlock ? matched : nestingAnchor(matched);
    RQXMLElement* container = path_.at(anchor);
    RQXMLElementRef rest = count == 0 ? fragment_.root : takeFromFragment(levels[count].element.get());
    path_.truncateTo(anchor);
    RQXMLElement* item = isList(container) ? container->lastChildElement() : nullptr;
    if (item) {
        item->addChild(rest);
        path_.push(item);
    } else {
        container->addChild(rest);
    }
    for (std::size_t index = count; index < levels.size(); ++index) {
        path_.push(levels[index].element.get());
        if (index + 1 < levels.size() && levels[index].item) path_.push(levels[index].item);
    }
}

// The deepest open list below the last matched container that no unmatched blockquote
// separates from it; the matched container itself when there is none.
std::size_t HtmlBodyBuilder::nestingAnchor(std::size_t matched) const {
    std::size_t index = path_.currentIndex();
    if (const auto quote = path_.firstQuoteAfter(matched)) index = *quote - 1;
    while (index > matched && !isList(path_.at(index)))
        --index;
    return index;
}

} // namespace quillet::html
