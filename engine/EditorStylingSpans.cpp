// Editor styling of one inline element: fonts, greyed markers, strikethrough and links.

#include "engine/MarkdownString.h"
#include "engine/UrlText.h"

#include <algorithm>

namespace quillet {

namespace {

Range absolute(Range inLine, Range line) {
    if (!inLine.found() || inLine.location >= line.length) return {line.end(), 0};
    return {line.location + inLine.location, std::min(inLine.length, line.length - inLine.location)};
}

TextAttributes colored(TextColor color) {
    TextAttributes attributes;
    attributes.foregroundColor = color;
    return attributes;
}

// Whether `text` makes a URL for the link attribute; an empty text links nowhere.
bool parsesAsUrl(std::u16string_view text) {
    return !text.empty() && isValidUrlString(text);
}

} // namespace

void MarkdownString::markdown(TextStore& store, const SpanDict& span, Range lineRange) {
    for (const SpanDict& inner : span.spanArray)
        markdown(store, inner, lineRange);

    const Range content = absolute(span.strRange, lineRange);
    const Range whole = span.range ? absolute(*span.range, lineRange) : content;
    TextAttributes textColored = colored(TextColor::text);

    // Sets over `range`, run by run, the font `choose` picks for the run's font, with `extra`.
    const auto setFontsByRun = [&](Range range, auto choose, const TextAttributes& extra) {
        for (const FontRun& run : store.fontRuns(range)) {
            TextAttributes added = extra;
            added.font = choose(run.font);
            store.addAttributes(run.range, added);
        }
    };
    const auto linkOver = [&](Range urlRange) {
        if (!parsesAsUrl(span.reference)) return;
        TextAttributes link;
        link.link = std::make_shared<const std::u16string>(span.reference);
        store.addAttributes(absolute(urlRange, lineRange), link);
    };

    switch (span.type) {
    case SpanType::header:
        store.addAttributes(whole, colored(TextColor::gray));
        textColored.font = boldFont_;
        store.addAttributes(content, textColored);
        break;
    case SpanType::code: {
        TextAttributes code;
        code.font = codeFont_;
        store.addAttributes(content, code);
        store.addAttributes(whole, colored(TextColor::gray));
        break;
    }
    case SpanType::em:
        // Colours commute with fonts: greying the markers first leaves the same result.
        store.addAttributes(whole, colored(TextColor::gray));
        setFontsByRun(
            content, [this](Font font) { return font == boldFont_ ? boldItalicFont_ : italicFont_; },
            textColored);
        break;
    case SpanType::strong:
        setFontsByRun(
            whole, [this](Font font) { return font == italicFont_ ? boldItalicFont_ : boldFont_; },
            TextAttributes());
        store.addAttributes(whole, colored(TextColor::gray));
        store.addAttributes(content, textColored);
        break;
    case SpanType::strikethrough:
        store.addAttributes(whole, colored(TextColor::gray));
        textColored.strikethroughStyle = 1;
        store.addAttributes(content, textColored);
        break;
    case SpanType::link:
    case SpanType::image:
        store.addAttributes(whole, colored(TextColor::gray));
        if (span.linkType == LinkType::external || !span.urlRange.empty()) {
            store.addAttributes(content, textColored);
            linkOver(span.urlRange);
        } else {
            store.addAttributes(whole, textColored);
        }
        break;
    case SpanType::backslash:
        store.addAttributes(content, colored(TextColor::gray));
        break;
    default:
        break;
    }
}

} // namespace quillet
