#pragma once
// The inline spans of one range of a line as elements: "em", "strong", "s", "code", "sup",
// "sub", "a", "img" and nested headers, with the text between them placed unescaped (HTML
// written in a note passes through) and code text escaped.

#include "engine/MarkdownString.h"
#include "engine/RQXMLElement.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace quillet::html {

// Elements and nameless text nodes, in order.
std::vector<RQXMLElementRef> inlineNodes(const MarkdownString& engine, const std::vector<SpanDict>& spans,
                                         std::u16string_view line, Range range,
                                         const std::optional<std::filesystem::path>& baseURL);

// The same content appended to `target`, its text as plain text children: the document a
// body writes is the same, with half the nodes.
void appendInlineContent(const MarkdownString& engine, const std::vector<SpanDict>& spans,
                         std::u16string_view line, Range range,
                         const std::optional<std::filesystem::path>& baseURL, RQXMLElement& target);

} // namespace quillet::html
