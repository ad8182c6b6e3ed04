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

// Builds the note's body and writes what `select` picks from it (a document or the body's
// children) as UTF-8, straight from the tree: the HTML never exists as UTF-16 text.
template <typename Select>
std::string htmlOf(std::u16string_view note, const ConversionSettings& settings, const Select& select) {
    // The HTML needs only the definitions registered ahead: each line records its own uses
    // before its links are resolved.
    auto engine = std::make_unique<MarkdownString>();
    engine->setMarkdownOptions(settings.options);
    engine->registerLinkDefinitions(note);
    const RQXMLElementRef body = engine->bodyElementFromString(note, settings.baseFolder);
    std::string html;
    // HTML rarely takes more bytes than this; a string of many megabytes that grows is copied.
    html.reserve(2 * note.size() + 1024);
    Utf8Writer writer(html);
    select(body, writer);
    writer.finish();
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
    return htmlOf(note, settings, [&settings](const RQXMLElementRef& body, Utf8Writer& out) {
        MarkdownString::htmlDocumentFromBody(body, settings.title, settings.lang)->writeXMLString(out);
    });
}

std::string fragmentFromMarkdown(std::u16string_view note, const ConversionSettings& settings) {
    return htmlOf(note, settings, [](const RQXMLElementRef& body, Utf8Writer& out) {
        for (const RQXMLChild& child : body->children()) {
            if (const RQXMLElement* element = child.element()) {
                element->writeXMLString(out);
            } else {
                out += child.text();
            }
        }
    });
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
