#include "tools/Conversion.h"

#include "engine/CharacterSets.h"
#include "engine/MarkdownString.h"
#include "engine/RQXMLElement.h"
#include "tools/LineRanges.h"
#include "tools/RecordsJson.h"
#include "tools/StylesJson.h"
#include "tools/Utf8.h"

#include <optional>
#include <span>
#include <utility>

namespace quillet::convert {

namespace {

std::unique_ptr<MarkdownString> engineFor(std::u16string_view note, const ConversionSettings& settings) {
    auto engine = std::make_unique<MarkdownString>();
    engine->setMarkdownOptions(settings.options);
    engine->createLocalLinkLables(note);
    return engine;
}

// Bytes are handed on once this many have gathered.
constexpr std::size_t kEmittedBytes = 64 * 1024;

// The HTML of the body's children, in order.
void writeChildren(std::span<const RQXMLChild> children, Utf8Writer& out) {
    for (const RQXMLChild& child : children) {
        if (const RQXMLElement* element = child.element()) {
            element->writeXMLString(out);
        } else {
            out += child.text();
        }
    }
}

// Writes the HTML of a note as its body is built: the children of the body that no later line
// can change go out as UTF-8 in pieces, straight from the tree, and are dropped. Neither the
// whole tree nor the whole HTML ever exists, and the HTML never exists as UTF-16 text.
class StreamedHtml {
public:
    StreamedHtml(const ConversionSettings& settings, const ByteSink& emit)
        : settings_(settings), emit_(emit), writer_(bytes_) {}

    void convert(std::u16string_view note) {
        // The HTML needs only the definitions registered ahead: each line records its own uses
        // before its links are resolved.
        MarkdownString engine;
        engine.setMarkdownOptions(settings_.options);
        engine.registerLinkDefinitions(note);
        const RQXMLElementRef body = engine.bodyElementFromString(
            note, settings_.baseFolder,
            [this](std::span<const RQXMLChild> children) { writeFinished(children); });
        if (settings_.output == OutputKind::document && !started_) {
            // Nothing was handed over: the whole document is written at once, which also covers a
            // body without content.
            MarkdownString::htmlDocumentFromBody(body, settings_.title, settings_.lang)
                ->writeXMLString(writer_);
        } else {
            writeFinished(body->children());
            writer_ += documentParts().second;
        }
        writer_.finish();
        emit_(bytes_);
    }

private:
    void writeFinished(std::span<const RQXMLChild> children) {
        if (!started_) {
            writer_ += documentParts().first;
            started_ = true;
        }
        writeChildren(children, writer_);
        if (bytes_.size() >= kEmittedBytes) {
            emit_(bytes_);
            bytes_.clear();
        }
    }

    // What comes before and after the body's children: the document written around a body
    // holding one marker element, cut at the marker (nothing is written around a fragment).
    // The marker is looked for from the end: only the title and the language, which come
    // before the body, can hold text of the caller's.
    const std::pair<std::u16string, std::u16string>& documentParts() {
        if (settings_.output != OutputKind::document || parts_) return parts_ ? *parts_ : kNoParts;
        static constexpr std::u16string_view kMarker = u"quillet-body-children";
        const RQXMLElementRef body = RQXMLElement::elementWithName(u"body");
        body->addChild(RQXMLElement::elementWithName(kMarker));
        const std::u16string document =
            MarkdownString::htmlDocumentFromBody(body, settings_.title, settings_.lang)->XMLString();
        const std::u16string marker = u"<" + std::u16string(kMarker) + u"/>";
        const std::size_t at = document.rfind(marker);
        parts_.emplace(document.substr(0, at), document.substr(at + marker.size()));
        return *parts_;
    }

    static inline const std::pair<std::u16string, std::u16string> kNoParts;
    const ConversionSettings& settings_;
    const ByteSink& emit_;
    std::string bytes_;
    Utf8Writer writer_;
    bool started_ = false;
    std::optional<std::pair<std::u16string, std::u16string>> parts_;
};

std::string collected(std::u16string_view note, const ConversionSettings& settings, OutputKind kind) {
    ConversionSettings chosen = settings;
    chosen.output = kind;
    std::string html;
    convertMarkdown(note, chosen, [&html](std::string_view bytes) { html += bytes; });
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
    return collected(note, settings, OutputKind::document);
}

std::string fragmentFromMarkdown(std::u16string_view note, const ConversionSettings& settings) {
    return collected(note, settings, OutputKind::fragment);
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

void convertMarkdown(std::u16string_view note, const ConversionSettings& settings, const ByteSink& emit) {
    switch (settings.output) {
    case OutputKind::records:
        return emit(recordsFromMarkdown(note, settings));
    case OutputKind::styles:
        return emit(stylesFromMarkdown(note, settings));
    case OutputKind::fragment:
    case OutputKind::document:
        break;
    }
    StreamedHtml(settings, emit).convert(note);
}

std::string convertMarkdown(std::u16string_view note, const ConversionSettings& settings) {
    return collected(note, settings, settings.output);
}

} // namespace quillet::convert
