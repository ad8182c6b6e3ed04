// Keeping the editor's styling current while the user types: link definitions withdrawn before
// an edit, the edited lines restyled after it, and the lines below them for as long as the
// block state they are handed may have changed.

#include "engine/MarkdownString.h"
#include "engine/RegexSearch.h"

#include <algorithm>

namespace quillet {

namespace {

Range clamped(Range range, std::size_t length) {
    range.location = std::min(range.location, length);
    range.length = std::min(range.length, length - range.location);
    return range;
}

struct StyledLine {
    Range range;
    BlockType type = BlockType::none;
    long depth = 0;
};

StyledLine restyleLine(MarkdownString& engine, TextStore& store, Range line, std::u16string& scratch) {
    if (line.empty()) return {line};
    const std::u16string_view text = store.characters(line, scratch);
    RangeDict record = engine.rangeDictForLine(text, {0, text.size()});
    record.lineRange = line;
    const long depth = engine.markdown(store, record);
    store.fixFontAttributes(line);
    return {line, record.type, depth};
}

// Where the restyling of the lines below the edit may stop. Lines at depth 0 are counted: a
// header, or the second blank line since the last other line, is where the block state
// certainly no longer follows from the edit (unless the edit changed the state that line hands
// on). Past that point, the restyling stops at the first line whose state came out as before.
class StopRule {
public:
    // Whether the pass ends with this line, and whether the line belongs to the restyled range.
    struct Verdict {
        bool stop;
        bool counted;
    };

    Verdict afterLine(const StyledLine& line, bool stateChanged) {
        if (pastRule_) return {!stateChanged, true};
        if (!reachesRule(line)) return {false, true};
        if (!stateChanged) return {true, false};
        pastRule_ = true;
        return {false, true};
    }

private:
    bool reachesRule(const StyledLine& line) {
        if (line.depth != 0) return false;
        if (line.type == BlockType::header) return true;
        if (line.type == BlockType::blankline) return ++blankLines_ == 2;
        blankLines_ = 0;
        return false;
    }

    int blankLines_ = 0;
    bool pastRule_ = false;
};

} // namespace

void MarkdownString::preprocessMarkdown(const TextStore& text, Range range) {
    thread_local const RegexSearch definitionLabel(u"(?=\\s*)\\[.+?\\]\\:");
    range = clamped(range, text.length());
    std::u16string scratch;
    std::size_t position = text.lineRange(range.location).location;
    do {
        const Range line = text.lineRange(position);
        if (line.length >= 5 && text.characterAt(line.location) == u'[') {
            const std::u16string_view lineText = text.characters(line, scratch);
            const RegexHit hit = definitionLabel.find(lineText, {0, lineText.size()});
            if (hit.found() && hit.range.length >= 3)
                removeLinkLabel(lineText.substr(hit.range.location + 1, hit.range.length - 3));
        }
        if (line.empty()) break;
        position = line.end();
    } while (position < range.end());
}

Range MarkdownString::processMarkdown(TextStore& store, Range range) {
    const std::size_t length = store.length();
    range = clamped(range, length);
    std::u16string scratch;
    std::size_t restyledEnd = range.location;

    // The edited lines. An edit just after a carriage return may have parted it from a line
    // feed or joined it to one, which changes the line the return ends: that line too.
    std::size_t first = range.location;
    if (first > 0 && store.characterAt(first - 1) == u'\r') --first;
    std::size_t position = store.lineRange(first).location;
    do {
        const StyledLine line = restyleLine(*this, store, store.lineRange(position), scratch);
        if (line.range.empty()) break;
        restyledEnd = position = line.range.end();
    } while (position < range.end());

    // The lines below, while the state handed down may have changed.
    StopRule rule;
    while (position < length) {
        const Range next = store.lineRange(position);
        if (next.empty()) break;
        const CarriedState before = CarriedState::of(store.attributesAt(next.location));
        const StyledLine line = restyleLine(*this, store, next, scratch);
        const bool changed = !(CarriedState::of(store.attributesAt(next.location)) == before);
        const StopRule::Verdict verdict = rule.afterLine(line, changed);
        if (verdict.counted) restyledEnd = line.range.end();
        if (verdict.stop) break;
        position = line.range.end();
    }
    return Range::fromBounds(range.location, restyledEnd);
}

} // namespace quillet
