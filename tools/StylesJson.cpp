#include "tools/StylesJson.h"

#include "engine/AttributedText.h"
#include "engine/MarkdownString.h"
#include "tools/JsonText.h"

#include <charconv>

namespace quillet::convert {

namespace {

std::u16string_view fontName(Font font, const MarkdownString& engine) {
    if (font == engine.codeFont()) return u"code";
    if (font == engine.selectedFont()) return u"regular";
    if (font == engine.boldFont()) return u"bold";
    if (font == engine.italicFont()) return u"italic";
    if (font == engine.boldItalicFont()) return u"boldItalic";
    return u"none";
}

std::u16string_view colorName(const std::optional<TextColor>& color) {
    if (!color) return u"none";
    switch (*color) {
    case TextColor::text:
        return u"text";
    case TextColor::gray:
        return u"gray";
    case TextColor::darkGray:
        return u"darkGray";
    case TextColor::orange:
    case TextColor::purple:
    case TextColor::darkRed:
    case TextColor::blue:
    case TextColor::darkGreen:
        break; // only the code highlighter sets these
    }
    return u"none";
}

// The shortest text that reads back as the same number: 30, 27.5, -3.
void number(JsonObjectWriter& object, std::string& out, std::string_view key, double value) {
    object.rawKey(key);
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, written.ptr);
}

void blocks(JsonObjectWriter& object, std::string& out, const BlockStack& stack) {
    object.rawKey(kBlocksAttribute);
    out += '[';
    for (std::size_t i = 0; i < stack.size(); ++i) {
        if (i > 0) out += ',';
        const std::string_view name = blockTypeName(stack[i]);
        appendJsonString(out, std::u16string(name.begin(), name.end()));
    }
    out += ']';
}

void appendRun(std::string& out, const AttributedText::AttributeRun& run, const MarkdownString& engine) {
    const TextAttributes& attributes = run.attributes;
    JsonObjectWriter object(out);
    object.range("range", run.range);
    object.text("font", fontName(attributes.font, engine));
    object.text("color", colorName(attributes.foregroundColor));
    if (attributes.baselineOffset) number(object, out, "baselineOffset", *attributes.baselineOffset);
    if (attributes.strikethroughStyle) object.integer("strikethrough", *attributes.strikethroughStyle);
    if (attributes.link) object.text("link", *attributes.link);
    if (attributes.mdBlockLinkLabel) object.text(kLinkLabelAttribute, *attributes.mdBlockLinkLabel);
    object.close();
}

void appendLine(std::string& out, std::size_t index, Range line, const AttributedText& text,
                const MarkdownString& engine) {
    const TextAttributes first = text.attributesAt(line.location);
    JsonObjectWriter object(out);
    object.integer("line", static_cast<long long>(index));
    object.range("range", line);
    if (first.mdIndentDepth) object.integer(kIndentDepthAttribute, *first.mdIndentDepth);
    if (first.mdBlocks) blocks(object, out, *first.mdBlocks);
    if (first.mdCodeParagraph) object.integer(kCodeParagraphAttribute, *first.mdCodeParagraph);
    if (first.mdHtmlBlock) object.integer(kHtmlBlockAttribute, *first.mdHtmlBlock);
    number(object, out, "headIndent", first.paragraphStyle ? first.paragraphStyle->headIndent : 0);
    number(object, out, "firstLineHeadIndent",
           first.paragraphStyle ? first.paragraphStyle->firstLineHeadIndent : 0);
    object.rawKey("runs");
    out += '[';
    bool firstRun = true;
    for (const auto& run : text.attributeRuns(line)) {
        if (!firstRun) out += ',';
        firstRun = false;
        appendRun(out, run, engine);
    }
    out += ']';
    object.close();
}

} // namespace

std::string stylesFromMarkdown(std::u16string_view note, const ConversionSettings& settings) {
    InMemoryFontProvider fonts(settings.fontWidth);
    MarkdownString engine;
    engine.setMarkdownOptions(settings.options);
    engine.setMarkdownFont(fonts.font(u"Regular", 15), fonts);
    AttributedText text(note);
    engine.processMarkdown(text, {0, text.length()});

    std::string json;
    std::size_t index = 0;
    for (std::size_t position = 0; position < text.length(); ++index) {
        const Range line = text.lineRange(position);
        appendLine(json, index, line, text, engine);
        json += '\n';
        position = line.end();
    }
    return json;
}

} // namespace quillet::convert
