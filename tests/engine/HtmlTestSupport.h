#pragma once
// The HTML of a note's body without the body tag, as the dialect examples show it.

#include "engine/MarkdownString.h"
#include "engine/RQXMLElement.h"

#include <filesystem>

namespace quillet::testing {

inline std::u16string bodyHtml(MarkdownString& engine, std::u16string_view note,
                               const std::optional<std::filesystem::path>& base = std::nullopt) {
    const RQXMLElementRef body = engine.bodyElementFromString(note, base);
    std::u16string html;
    for (const RQXMLChild& child : body->children())
        child.appendXMLString(html);
    return html;
}

inline std::u16string bodyHtml(const MarkdownOptions& options, std::u16string_view note) {
    MarkdownString engine;
    engine.setMarkdownOptions(options);
    return bodyHtml(engine, note);
}

} // namespace quillet::testing
