#pragma once
// The converter's entry points: a note's text in, UTF-8 out. The command line and the example
// files of the dialect both go through these, so they always agree.

#include "engine/MarkdownOptions.h"
#include "engine/Records.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {
class MarkdownString;
}

namespace quillet::convert {

enum class OutputKind {
    document, // the whole HTML document
    fragment, // the body's children only
    records,  // one JSON object per line
    styles,   // the editor styling, one JSON object per line
};

struct ConversionSettings {
    OutputKind output = OutputKind::document;
    std::u16string title = u"untitled";
    std::u16string lang = u"en";
    std::optional<std::filesystem::path> baseFolder; // where local images are copied
    MarkdownOptions options = MarkdownOptions::defaults();
    double fontWidth = 10; // styles: the width of every character, in points
};

// Each entry point uses a fresh engine with `settings.options` and registers every link
// definition of the note first, so that a link used above its definition resolves.
std::string documentFromMarkdown(std::u16string_view note, const ConversionSettings& settings);
std::string fragmentFromMarkdown(std::u16string_view note, const ConversionSettings& settings);
std::string recordsFromMarkdown(std::u16string_view note, const ConversionSettings& settings);
// Takes the output in pieces, in order.
using ByteSink = std::function<void(std::string_view)>;

// Dispatches on `settings.output`.
std::string convertMarkdown(std::u16string_view note, const ConversionSettings& settings);
// The same output handed to `emit` as it is made: HTML is written while the note is converted,
// so a long note's HTML is never held whole.
void convertMarkdown(std::u16string_view note, const ConversionSettings& settings, const ByteSink& emit);

// Hands the record of every line to `visit`, in order, walking the note the way the HTML
// conversion does: the line holding the position, one final newline character dropped,
// "lineRange" set to the line's place in the note, then on to the character after it.
void forEachLineRecord(MarkdownString& engine, std::u16string_view note,
                       const std::function<void(const RangeDict&)>& visit);

} // namespace quillet::convert
