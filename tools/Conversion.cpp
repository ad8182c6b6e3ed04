#include "tools/Conversion.h"

#include "engine/CharacterSets.h"
#include "engine/MarkdownString.h"
#include "engine/RQXMLElement.h"
#include "tools/LineRanges.h"
#include "tools/RecordsJson.h"
#include "tools/StylesJson.h"
#include "tools/Utf8.h"

namespace quillet::convert {

namespace {

std::unique_ptr<MarkdownString> engineFor(std::u16string_view note, const ConversionSettings& settings) {
    auto engine = std::make_unique<MarkdownString>();
    engine->setMarkdownOptions(settings.options);
    engine->createLocalLinkLables(note);
    return engine;
}

// Builds the note's body and writes it with `write`; the tree is gone before the caller
// re-encodes the text, which keeps the peak memory of a large note down.
template <typename Writer>
std::u16string bodyHtml(std::u16string_view note, const ConversionSettings& settings, const Writer& write) {
    // The HTML needs only the definitions registered ahead: each line records its own uses
    // before its links are resolved.
    auto engine = std::make_unique<MarkdownString>();
    engine->setMarkdownOptions(settings.options);
    engine->registerLinkDefinitions(note);
    return write(engine->bodyElementFromString(note, settings.baseFolder));
}

// An empty string with room for the HTML of the note, which is rarely twice as long. Growing a
// string of many megabytes copies it and touches twice its pages; room reserved and not used
// is only address space.
std::u16string reservedForHtmlOf(std::u16string_view note) {
    std::u16string html;
    html.reserve(2 * note.size() + 1024);
    return html;
}

} // namespace

void forEachLineRecord(MarkdownString& engine, std::u16string_view note,
                       const std::function<void(const RangeDict&)>& visit) {
    std::size_t position = 0;
    while (position < note.size()) {
        const Range line = lineRangeAt(note, position);
        std::u16string_view text = note.substr(line.location, line.length);
        if (!text.empty() && isNewline(text.back())) text.remove_suffix(1);
        RangeDict record = engine.rangeDictForLine(text, Range{0, text.size()});
        record.lineRange = Range{line.location, text.size()};
        visit(record);
        // Only one terminator character was dropped, so this lands on the next line's start
        // (never between the CR and LF of a pair) or past the end.
        position = line.location + text.size() + 1;
    }
}

std::string documentFromMarkdown(std::u16string_view note, const ConversionSettings& settings) {
    return encodeUtf8(bodyHtml(note, settings, [&](const RQXMLElementRef& body) {
        std::u16string html = reservedForHtmlOf(note);
        MarkdownString::appendHtmlStringFromBody(html, body, settings.title, settings.lang, u"");
        return html;
    }));
}

std::string fragmentFromMarkdown(std::u16string_view note, const ConversionSettings& settings) {
    return encodeUtf8(bodyHtml(note, settings, [&note](const RQXMLElementRef& body) {
        std::u16string html = reservedForHtmlOf(note);
        for (const auto& child : body->children())
            child.appendXMLString(html);
        return html;
    }));
}

std::string recordsFromMarkdown(std::u16string_view note, const ConversionSettings& settings) {
    auto engine = engineFor(note, settings);
    std::string json;
    forEachLineRecord(*engine, note, [&json](const RangeDict& record) {
        appendJson(json, record);
        json += '\n';
    });
    return json;
}

std::string convertMarkdown(std::u16string_view note, const ConversionSettings& settings) {
    switch (settings.output) {
    case OutputKind::fragment:
        return fragmentFromMarkdown(note, settings);
    case OutputKind::records:
        return recordsFromMarkdown(note, settings);
    case OutputKind::styles:
        return stylesFromMarkdown(note, settings);
    case OutputKind::document:
        break;
    }
    return documentFromMarkdown(note, settings);
}

} // namespace quillet::convert
