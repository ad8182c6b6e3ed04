// Line classification: which block marker a line (or the rest of a line after an outer marker)
// begins, judged from that line alone.

#include "engine/BlockScanners.h"
#include "engine/CharacterSets.h"
#include "engine/MarkdownString.h"

#include <unicode/uchar.h>

namespace quillet {

namespace {

bool isDecimalDigit(char16_t c) {
    return isAsciiDigit(c) || (c >= 0x80 && u_isdigit(c));
}

// The parts of the input every rule shares; `r` is the working copy the tab rule moves.
struct Line {
    std::u16string_view s;
    std::size_t end;
    Range r;
    char16_t c;
    long depth;
};

// A block record made in place inside its optional: a record is large, and each move of it
// costs more than the rule that found it.
std::optional<BlockDict> block(BlockType type, long depth, Range strRange, Range range) {
    std::optional<BlockDict> result(std::in_place);
    result->type = type;
    result->depth = depth;
    result->strRange = strRange;
    result->range = range;
    return result;
}

Range wholeLine(std::u16string_view s) {
    return {0, s.size()};
}

// '[label]: URL "title"'. Classifying a definition registers its label, every time.
std::optional<BlockDict> linkDefinition(MarkdownString& engine, const Line& line) {
    if (line.depth > 0 || line.r.length < 5) return std::nullopt;
    const std::u16string_view s = line.s;
    const Range label = scan::labelDefinition(s, line.r);
    if (!label.found()) return std::nullopt;
    const Range url = scan::firstNonBlankRun(s, Range::fromBounds(label.end(), line.end));
    if (!url.found()) return std::nullopt;
    const Range title = scan::quotedTitle(s, Range::fromBounds(url.end(), line.end));

    std::optional<BlockDict> result =
        block(BlockType::linklabel, line.depth, line.r, {label.location + 1, label.length - 3});
    result->label = s.substr(result->range.location, result->range.length);
    result->urlString = s.substr(url.location, url.length);
    result->urlRange = url;
    if (title.found() && title.length >= 3) result->options = s.substr(title.location + 1, title.length - 2);
    engine.registerLinkLabel(result->label, result->urlString, result->options, result->range);
    return result;
}

std::optional<BlockDict> header(const Line& line) {
    Range r = line.r;
    const long hashes = MarkdownString::countCharacter(u'#', line.s, r);
    const Range blanks = scan::blanksThenNonBlank(line.s, r);
    if (!blanks.found()) return std::nullopt;
    const std::size_t textStart = scan::firstNonBlankOf(line.s, blanks);
    const Range closing = scan::closingHashes(line.s, Range::fromBounds(blanks.end(), line.end));
    const std::size_t closingLength = closing.found() ? closing.length : 0;
    std::optional<BlockDict> result =
        block(BlockType::header, 1, Range::fromBounds(textStart, line.end - closingLength), line.r);
    result->headerDepth = hashes;
    return result;
}

std::optional<BlockDict> html(const Line& line) {
    const Range tagArea{0, line.r.length};
    const Range opening = scan::openingTagAtStart(line.s, tagArea);
    if (opening.found()) {
        const bool closes = scan::firstClosingTag(line.s, Range::fromBounds(opening.end(), line.end)).found();
        if (closes) return block(BlockType::htmlBlock, line.depth, tagArea, opening);
        return block(BlockType::beginHtmlBlock, line.depth, opening, opening);
    }
    const Range closing = scan::closingTagAtStart(line.s, tagArea);
    if (!closing.found()) return std::nullopt;
    return block(BlockType::endHtmlBlock, line.depth, closing, closing);
}

// The number that stands directly before the marker's last '.', between `start` and `dot`.
std::u16string numberBeforeDot(std::u16string_view s, std::size_t start, std::size_t dot) {
    std::size_t from = dot;
    while (from > start && s[from - 1] != u'.')
        --from;
    return std::u16string(s.substr(from, dot - from));
}

std::optional<BlockDict> decimalList(const Line& line) {
    const std::u16string_view s = line.s;
    const std::size_t stop = line.r.end();
    std::size_t at = line.r.location;
    long dots = 0;
    for (; at < stop && !isWhitespace(s[at]); ++at) {
        if (s[at] == u'.')
            ++dots;
        else if (!isDecimalDigit(s[at]))
            return std::nullopt;
    }
    if (at == stop || s[at - 1] != u'.' || stop - at < 2 || dots == 0) return std::nullopt;
    const Range blanks = scan::blanksThenNonBlank(s, Range::fromBounds(at, stop));
    if (!blanks.found()) return std::nullopt;
    const Range content = Range::fromBounds(scan::firstNonBlankOf(s, blanks), line.end);
    std::optional<BlockDict> result = block(BlockType::decimallist, line.depth + dots, content, line.r);
    std::u16string number = numberBeforeDot(s, line.r.location, at - 1);
    if (number != u"1") result->decimalDigit = std::move(number);
    return result;
}

std::optional<BlockDict> rule(const Line& line) {
    return block(BlockType::hr, line.depth, wholeLine(line.s), wholeLine(line.s));
}

std::optional<BlockDict> bulletList(const Line& line) {
    if (line.depth == 0 && MarkdownString::isHorizontalRules(line.s) > 0) return rule(line);
    Range markers = line.r;
    const long bullets = MarkdownString::countCharacter(line.c, line.s, markers);
    const Range blanks = scan::blanksThenNonBlank(line.s, markers);
    if (!blanks.found()) return std::nullopt;
    const Range content = Range::fromBounds(scan::firstNonBlankOf(line.s, blanks), line.end);
    return block(BlockType::list, line.depth + bullets, content, line.r);
}

std::optional<BlockDict> quote(const Line& line) {
    Range markers = line.r;
    const long quotes = MarkdownString::countCharacter(u'>', line.s, markers);
    const Range blanks = scan::leadingBlanks(line.s, markers);
    if (!blanks.found()) return std::nullopt;
    std::optional<BlockDict> result =
        block(BlockType::quote, line.depth, Range::fromBounds(blanks.end(), line.end), line.r);
    result->quoteDepth = quotes;
    return result;
}

// A fence starts the range: "```", or "~~~" when the range holds no "```" at all.
bool isFence(std::u16string_view area) {
    if (area.size() < 3) return false;
    if (area.starts_with(u"```")) return true;
    return area.starts_with(u"~~~") && area.find(u"```") == std::u16string_view::npos;
}

// Indented code (four blanks first) or a fence; both only in a range that starts the line.
std::optional<BlockDict> code(const Line& line) {
    const std::u16string_view s = line.s;
    const Range r = line.r;
    const std::u16string_view area = r.location == 0 ? s.substr(0, r.length) : std::u16string_view();
    const bool indented = area.size() >= 5 && area.starts_with(u"    ");
    const bool fenced = isFence(area);
    if (line.depth >= 1 || indented)
        return block(BlockType::codeblock, line.depth, wholeLine(s), wholeLine(s));
    if (fenced) return block(BlockType::codeparagraph, line.depth, {3, r.length - 3}, {0, r.length});
    return std::nullopt;
}

std::optional<BlockDict> marker(const Line& line) {
    if (isDecimalDigit(line.c) && line.r.length > 2) return decimalList(line);
    if (line.c == u'_' && line.depth == 0 && MarkdownString::isHorizontalRules(line.s) > 0) return rule(line);
    if (line.c == u'*' || line.c == u'+' || line.c == u'-') return bulletList(line);
    if (line.c == u'>') return quote(line);
    return std::nullopt;
}

std::optional<BlockDict> markerOrCode(Line line) {
    if (line.c == u'\t') {
        line.depth = MarkdownString::countCharacter(u'\t', line.s, line.r);
        if (line.depth >= 1 && !line.r.empty()) line.c = line.s[line.r.location];
    }
    // One record, built in place: a block is large, and moving it costs more than finding it.
    std::optional<BlockDict> result = marker(line);
    if (!result) result = code(line);
    return result;
}

// Whether a range that starts with `c`, outside any code depth, may begin a block marker: most
// lines start with a letter and are settled here.
bool mayBeginBlock(char16_t c) {
    switch (c) {
    case u'[':
    case u'#':
    case u'<':
    case u'\t':
    case u'_':
    case u'*':
    case u'+':
    case u'-':
    case u'>':
    case u' ':
    case u'`':
    case u'~':
        return true;
    default:
        return isDecimalDigit(c);
    }
}

} // namespace

std::optional<BlockDict> MarkdownString::findBlockElement(std::u16string_view s, Range range, long depth) {
    if (range.location >= s.size()) return std::nullopt;
    range.length = std::min(range.length, s.size() - range.location);
    if (range.length < 2) return std::nullopt;
    if (depth == 0 && !mayBeginBlock(s[range.location])) return std::nullopt;
    const Line line{s, range.end(), range, s[range.location], depth};
    switch (line.c) {
    case u'[':
        return linkDefinition(*this, line);
    case u'#':
        return header(line);
    case u'<':
        if (range.location == 0) return html(line);
        break;
    default:
        break;
    }
    return markerOrCode(line);
}

long MarkdownString::countCharacter(char16_t c, std::u16string_view line, Range& range) {
    long count = 0;
    bool blankSeen = false;
    while (range.length != 0 && range.location < line.size()) {
        const char16_t current = line[range.location];
        if (current == c)
            ++count;
        else if (current == u' ')
            blankSeen = true;
        else
            break;
        ++range.location;
        --range.length;
    }
    if (blankSeen && range.location != 0) {
        --range.location;
        ++range.length;
    }
    return count;
}

long MarkdownString::isHorizontalRules(std::u16string_view line) {
    if (line.size() < 2) return 0;
    const char16_t first = line[0];
    if (first != u'*' && first != u'-' && first != u'_') return 0;
    long count = 1;
    for (std::size_t at = 1; at < line.size(); ++at) {
        const char16_t c = line[at];
        if (isNewline(c)) break;
        if (c == first)
            ++count;
        else if (!isWhitespace(c))
            return 0;
    }
    return count >= 3 ? count : 0;
}

long MarkdownString::tabCount(std::u16string_view text) {
    long count = 0;
    while (static_cast<std::size_t>(count) < text.size() && text[static_cast<std::size_t>(count)] == u'\t')
        ++count;
    return count;
}

} // namespace quillet
