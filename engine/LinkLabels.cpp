// The link-label table and the engine's operations on it.

#include "engine/LinkLabels.h"

#include "engine/CharacterSets.h"
#include "engine/LineEndScan.h"
#include "engine/MarkdownString.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillet {

// ---- LinkLabelTable ----

namespace {

void assignText(std::optional<std::u16string>& text, std::u16string_view value) {
    if (text)
        text->assign(value);
    else
        text.emplace(value);
}

} // namespace

LinkLabelRef LinkLabelTable::find(std::u16string_view label) const {
    const auto slot = slots_.find(label);
    return slot == slots_.end() ? nullptr : records_[slot->second];
}

void LinkLabelTable::append(LinkLabelRef record) {
    slots_.emplace(record->label, records_.size());
    records_.push_back(std::move(record));
}

void LinkLabelTable::erase(std::u16string_view label) {
    const auto slot = slots_.find(label);
    if (slot == slots_.end()) return;
    records_[slot->second] = nullptr;
    ++holes_;
    slots_.erase(slot);
}

void LinkLabelTable::closeHoles() const {
    if (holes_ == 0) return;
    std::erase(records_, nullptr);
    for (std::size_t at = 0; at < records_.size(); ++at)
        slots_.find(records_[at]->label)->second = at;
    holes_ = 0;
}

const std::vector<LinkLabelRef>& LinkLabelTable::records() const {
    closeHoles();
    return records_;
}

void LinkLabelTable::setRecords(std::vector<LinkLabelRef> records) {
    clear();
    for (auto& record : records)
        if (record && !slots_.contains(record->label)) append(std::move(record));
}

void LinkLabelTable::clear() {
    records_.clear();
    slots_.clear();
    holes_ = 0;
}

void LinkLabelTable::registerLinkLabel(std::u16string_view label, std::u16string_view url,
                                       std::optional<std::u16string_view> options, Range range) {
    const bool hasOptions = options && !options->empty();
    if (LinkLabelRef existing = find(label)) {
        // Labels are defined again and again with texts of like length: reuse their storage.
        assignText(existing->urlString, url);
        if (hasOptions)
            assignText(existing->options, *options);
        else
            existing->options.reset();
        return;
    }
    auto record = std::make_shared<LinkLabel>();
    record->label = label;
    record->urlString = std::u16string(url);
    record->range = range;
    if (hasOptions) record->options = std::u16string(*options);
    append(std::move(record));
}

LinkLabelRef LinkLabelTable::linkLabel(std::u16string_view label, Range range) {
    if (LinkLabelRef existing = find(label)) {
        auto& uses = existing->references;
        if (std::find(uses.begin(), uses.end(), range) == uses.end()) uses.push_back(range);
        return existing;
    }
    auto record = std::make_shared<LinkLabel>();
    record->label = label;
    record->references.push_back(range);
    append(record);
    return record;
}

void LinkLabelTable::removeLinkLabel(std::u16string_view label) {
    const LinkLabelRef existing = find(label);
    if (!existing) return;
    existing->urlString.reset();
    existing->options.reset();
    if (existing->references.empty()) erase(label);
}

void LinkLabelTable::disableLinkForLabel(std::u16string_view label, Range range) {
    const LinkLabelRef existing = find(label);
    if (!existing) return;
    auto& uses = existing->references;
    if (auto use = std::find(uses.begin(), uses.end(), range); use != uses.end()) uses.erase(use);
    if (!existing->urlString) erase(label);
}

LinkLabelRef LinkLabelTable::labelDictForLabel(std::u16string_view label) const {
    return find(label);
}

LinkLabelRef LinkLabelTable::resolve(std::u16string_view label, std::u16string_view text) const {
    LinkLabelRef record = find(label);
    if (!record) return nullptr;
    if (!record->urlString) record = find(text);
    if (!record || !record->urlString || record->urlString->empty()) return nullptr;
    return record;
}

// ---- The engine's label operations ----

void MarkdownString::registerLinkLabel(std::u16string_view label, std::u16string_view url,
                                       std::optional<std::u16string_view> options, Range range) {
    linkLabels_.registerLinkLabel(label, url, options, range);
}

LinkLabelRef MarkdownString::linkLabel(std::u16string_view label, Range range) {
    return linkLabels_.linkLabel(label, range);
}

void MarkdownString::removeLinkLabel(std::u16string_view label) {
    linkLabels_.removeLinkLabel(label);
}

void MarkdownString::disableLinkForLabel(std::u16string_view label, Range range) {
    linkLabels_.disableLinkForLabel(label, range);
}

LinkLabelRef MarkdownString::labelDictForLabel(std::u16string_view label) const {
    return linkLabels_.labelDictForLabel(label);
}

namespace {

// One line of a text, its terminator (CR LF as one) included, whether it holds a '[', and
// whether it holds a character that escaping changes.
struct TextLine {
    std::u16string_view text;
    bool hasBracket = false;
    bool needsEscaping = false;
};

// Most characters are none of these: letters and most punctuation lie above '[' and below NEL.
bool endsLineOrMatters(char16_t c) {
    if (c > u'[') return c >= 0x0085 && isNewline(c);
    return c == u'[' || c == u'&' || c == u'<' || isNewline(c);
}

TextLine lineAt(std::u16string_view text, std::size_t start) {
    TextLine line;
    std::size_t at = start;
    for (; at < text.size(); ++at) {
        at = skipToLineEndOr<u'[', u'&', u'<'>(text, at);
        if (at == text.size()) break;
        const char16_t c = text[at];
        if (!endsLineOrMatters(c)) continue;
        if (c == u'[')
            line.hasBracket = true;
        else if (c == u'&' || c == u'<')
            line.needsEscaping = true;
        else
            break;
    }
    if (at < text.size()) {
        const bool crlf = text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n';
        at += crlf ? 2 : 1;
    }
    line.text = text.substr(start, at - start);
    return line;
}

bool keepsAngleBracket(char16_t next) {
    return (next >= u'a' && next <= u'z') || next == u'$' || next == u'/';
}

// "&" becomes "&amp;", and a '<' followed by anything but a lowercase letter, '$' or '/'
// becomes "&lt;", so that the line is classified as the HTML text it will stand in.
void escapeForLabels(std::u16string_view line, std::u16string& escaped) {
    escaped.clear();
    for (std::size_t at = 0; at < line.size(); ++at) {
        const char16_t c = line[at];
        if (c == u'&')
            escaped += u"&amp;";
        else if (c == u'<' && at + 1 < line.size() && !keepsAngleBracket(line[at + 1]))
            escaped += u"&lt;";
        else
            escaped += c;
    }
}

bool opensNesting(BlockType type) {
    return type == BlockType::list || type == BlockType::decimallist || type == BlockType::quote;
}

// The start of the line that holds `at`: just past the last terminator before it.
std::size_t lineStartOf(std::u16string_view text, std::size_t at) {
    while (at > 0 && !isNewline(text[at - 1]))
        --at;
    return at;
}

// The first '[' at or after `from`, or the text's size.
std::size_t nextBracket(std::u16string_view text, std::size_t from) {
    const std::size_t at = text.find(u'[', from);
    return at == std::u16string_view::npos ? text.size() : at;
}

// The first "]:" at or after `from` (the position of its ']'), or the text's size; eight units
// at a time, as most lines hold none.
std::size_t nextLabelEnd(std::u16string_view text, std::size_t from) {
    std::size_t at = from;
#if defined(__SSE2__)
    const __m128i bracket = _mm_set1_epi16(u']'), colon = _mm_set1_epi16(u':');
    for (; at + 9 <= text.size(); at += 8) {
        const auto* units = text.data() + at;
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + 1));
        const __m128i pairs = _mm_and_si128(_mm_cmpeq_epi16(here, bracket), _mm_cmpeq_epi16(next, colon));
        if (const int mask = _mm_movemask_epi8(pairs)) return at + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    for (; at + 1 < text.size(); ++at)
        if (text[at] == u']' && text[at + 1] == u':') return at;
    return text.size();
}

// Calls `visit` with each line of the text that holds a '[' and a place `next` finds, escaped
// as the HTML text it will stand in. Classifying a line touches the label table only through a
// definition or a label link, and both begin with '['; other lines are passed over without
// being split off.
template <typename Next, typename Visit>
void forEachLabelLine(std::u16string_view text, const Next& next, const Visit& visit) {
    std::u16string escaped;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t found = next(text, from);
        if (found >= text.size()) break;
        // `from` starts a line, so the line of `found` starts no earlier.
        const std::size_t start = lineStartOf(text, found);
        const TextLine line = lineAt(text, start);
        from = start + line.text.size();
        if (!line.hasBracket) continue;
        std::u16string_view classified = line.text;
        if (line.needsEscaping) {
            escapeForLabels(classified, escaped);
            classified = escaped;
        }
        visit(classified);
    }
}

} // namespace

void MarkdownString::createLocalLinkLables(std::u16string_view text) {
    // Only the registrations matter; the record itself is not kept.
    forEachLabelLine(text, nextBracket, [this](std::u16string_view line) {
        rangeDictForLine(line, {0, line.size()});
    });
}

// Walks the block markers of each line exactly as rangeDictForLine does: a definition
// registers itself when findBlockElement meets it, at the line start or after the list and
// quote markers; the inline parsing that follows the walk there is left out. Only a line with
// a "]:" can hold a definition (escaping neither makes nor breaks one).
void MarkdownString::registerLinkDefinitions(std::u16string_view text) {
    forEachLabelLine(text, nextLabelEnd, [this](std::u16string_view line) {
        std::optional<BlockDict> block = findBlockElement(line, {0, line.size()}, 0);
        if (!block || !opensNesting(block->type)) return;
        Range content = block->strRange;
        for (;;) {
            const std::optional<BlockDict> inner = findBlockElement(line, content, 0);
            if (!inner || (inner->type == BlockType::header && inner->range.location != 0)) return;
            if (inner->strRange.location <= content.location) return;
            content = inner->strRange;
        }
    });
}

} // namespace quillet
