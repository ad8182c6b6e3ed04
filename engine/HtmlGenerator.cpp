// The HTML conversion's entry points: the body of a note, the elements of a line's inline
// spans, and the document around a body.

#include "engine/HtmlBodyBuilder.h"
#include "engine/HtmlInline.h"
#include "engine/MarkdownString.h"
#include "engine/RQXMLElement.h"

namespace quillet {

RQXMLElementRef MarkdownString::bodyElementFromString(std::u16string_view text,
                                                      const std::optional<std::filesystem::path>& baseURL) {
    return html::HtmlBodyBuilder(*this, baseURL).build(text);
}

RQXMLElementRef MarkdownString::bodyElementFromString(std::u16string_view text,
                                                      const std::optional<std::filesystem::path>& baseURL,
                                                      const FinishedBodyChildren& finished) {
    return html::HtmlBodyBuilder(*this, baseURL).build(text, &finished);
}

std::vector<RQXMLElementRef>
MarkdownString::RQhtmlFromSpanArray(const std::vector<SpanDict>& spans, std::u16string_view line, Range range,
                                    const std::optional<std::filesystem::path>& baseURL) {
    return html::inlineNodes(*this, spans, line, range, baseURL);
}

std::u16string MarkdownString::htmlStringFromBody(const RQXMLElementRef& body, std::u16string_view title,
                                                  std::u16string_view lang, std::u16string_view css) {
    std::u16string document;
    appendHtmlStringFromBody(document, body, title, lang, css);
    return document;
}

void MarkdownString::appendHtmlStringFromBody(std::u16string& out, const RQXMLElementRef& body,
                                              std::u16string_view title, std::u16string_view lang,
                                              std::u16string_view /*css*/) {
    htmlDocumentFromBody(body, title, lang)->appendXMLString(out);
}

RQXMLElementRef MarkdownString::htmlDocumentFromBody(const RQXMLElementRef& body, std::u16string_view title,
                                                     std::u16string_view lang) {
    const std::u16string language(lang.empty() ? u"en" : lang);
    auto head = RQXMLElement::elementWithName(u"head");
    head->addChild(RQXMLElement::elementWithName(u"title", title.empty() ? u"untitled" : title));
    auto languageMeta = RQXMLElement::elementWithName(u"meta");
    languageMeta->setAttributesWithDictionary({{u"content", language}, {u"http-equiv", u"content-language"}});
    head->addChild(languageMeta);
    auto typeMeta = RQXMLElement::elementWithName(u"meta");
    typeMeta->setAttributesWithDictionary(
        {{u"content", u"text/html; charset=UTF-8"}, {u"http-equiv", u"content-type"}});
    head->addChild(typeMeta);

    auto html = RQXMLElement::elementWithName(u"html");
    html->setAttributesWithDictionary(
        {{u"xml:lang", language}, {u"lang", language}, {u"xmlns", u"http://www.w3.org/1999/xhtml"}});
    // Listed rather than added: a body that already has a parent is written all the same.
    const RQXMLElementRef shownBody = body ? body : RQXMLElement::elementWithName(u"body");
    html->setChildren({RQXMLChild(head), RQXMLChild(shownBody)});

    return RQXMLElement::elementWithName({}, {RQXMLChild(u"<!DOCTYPE html>"), RQXMLChild(html)});
}

std::u16string MarkdownString::htmlEscape(std::u16string_view text) {
    return RQXMLElement::htmlEscapeString(text);
}

} // namespace quillet
