#include "engine/MarkdownOptions.h"

#include <array>

namespace quillet {

namespace {

struct OptionField {
    const char* key;
    bool MarkdownOptions::*flag;
};

constexpr std::array<OptionField, 7> kFlags{{
    {"indentNormalLines", &MarkdownOptions::indentNormalLines},
    {"resetIndentByBlankline", &MarkdownOptions::resetIndentByBlankline},
    {"resetIndentByHeader", &MarkdownOptions::resetIndentByHeader},
    {"resetIndentByBlock", &MarkdownOptions::resetIndentByBlock},
    {"removeProceeding4SpacesInCodeBlock", &MarkdownOptions::removeProceeding4SpacesInCodeBlock},
    {"addBrAtBlankline", &MarkdownOptions::addBrAtBlankline},
    {"showAsHTMLWhenLocked", &MarkdownOptions::showAsHTMLWhenLocked},
}};

constexpr const char* kIndentWidthKey = "indentWidthByChars";

} // namespace

MarkdownOptions MarkdownOptions::defaults() {
    MarkdownOptions options;
    options.resetIndentByHeader = true;
    options.indentWidthByChars = 3;
    options.removeProceeding4SpacesInCodeBlock = true;
    return options;
}

MarkdownOptions::KeyValues MarkdownOptions::defaultKeyValues() {
    KeyValues values = defaults().toKeyValues();
    values.erase("addBrAtBlankline");
    values.erase("showAsHTMLWhenLocked");
    return values;
}

MarkdownOptions MarkdownOptions::fromKeyValues(const KeyValues& values) {
    MarkdownOptions options;
    for (const auto& [key, value] : values) options.set(key, value);
    return options;
}

MarkdownOptions::KeyValues MarkdownOptions::toKeyValues() const {
    KeyValues values;
    for (const auto& field : kFlags) values[field.key] = (this->*field.flag) ? 1 : 0;
    values[kIndentWidthKey] = indentWidthByChars;
    return values;
}

bool MarkdownOptions::set(std::string_view key, long value) {
    if (key == kIndentWidthKey) {
        indentWidthByChars = value;
        return true;
    }
    for (const auto& field : kFlags) {
        if (key == field.key) {
            this->*field.flag = value != 0;
            return true;
        }
    }
    return false;
}

std::optional<long> MarkdownOptions::get(std::string_view key) const {
    if (key == kIndentWidthKey) return indentWidthByChars;
    for (const auto& field : kFlags)
        if (key == field.key) return (this->*field.flag) ? 1 : 0;
    return std::nullopt;
}

MarkdownOptions loadMarkdownOptions(MarkdownDefaults& defaults) {
    if (auto stored = defaults.markdownOptions()) return MarkdownOptions::fromKeyValues(*stored);
    defaults.setMarkdownOptions(MarkdownOptions::defaultKeyValues());
    return MarkdownOptions::defaults();
}

} // namespace quillet
