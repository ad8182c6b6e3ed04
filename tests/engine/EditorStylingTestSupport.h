#pragma once
// A styled note for the editor styling tests: an engine with in-memory fonts (10 points a
// character, "Regular" at 15 points) over an AttributedText, restyled the way the editor does.

#include "engine/AttributedText.h"
#include "engine/MarkdownString.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace quillet::testing {

inline MarkdownOptions optionsWith(void (*change)(MarkdownOptions&)) {
    MarkdownOptions options = MarkdownOptions::defaults();
    change(options);
    return options;
}

class StyledNote {
public:
    explicit StyledNote(std::u16string_view note = u"",
                        const MarkdownOptions& options = MarkdownOptions::defaults()) {
        engine.setMarkdownOptions(options);
        engine.setMarkdownFont(fonts.font(u"Regular", 15), fonts);
        text.replaceCharacters({0, 0}, note);
        restyleAll();
    }

    Range restyleAll() { return engine.processMarkdown(text, {0, text.length()}); }

    // Replaces `range` with `replacement` as the editor does: definitions withdrawn before, the
    // edited range restyled after. Returns what processMarkdown returned.
    Range edit(Range range, std::u16string_view replacement) {
        engine.preprocessMarkdown(text, range);
        text.replaceCharacters(range, replacement);
        return engine.processMarkdown(text, {range.location, replacement.size()});
    }

    // Where the `occurrence`-th (from 0) `needle` stands in the text.
    Range find(std::u16string_view needle, int occurrence = 0) const {
        const std::u16string whole = text.string();
        std::size_t at = whole.find(needle);
        for (int i = 0; i < occurrence && at != std::u16string::npos; ++i)
            at = whole.find(needle, at + 1);
        EXPECT_NE(at, std::u16string::npos) << "no such text in the note";
        return {at == std::u16string::npos ? 0 : at, needle.size()};
    }
    TextAttributes at(std::size_t position) const { return text.attributesAt(position); }
    TextAttributes at(std::u16string_view needle, int occurrence = 0) const {
        return text.attributesAt(find(needle, occurrence).location);
    }
    // The range of line `index` (from 0), terminator included.
    Range line(std::size_t index) const {
        Range range = text.lineRange(0);
        for (std::size_t i = 0; i < index; ++i)
            range = text.lineRange(range.end());
        return range;
    }
    CarriedState state(std::size_t lineIndex) const { return CarriedState::of(at(line(lineIndex).location)); }
    ParagraphStyle style(std::size_t lineIndex) const { return *at(line(lineIndex).location).paragraphStyle; }
    InMemoryFontProvider fonts;
    MarkdownString engine;
    AttributedText text;
};

inline std::optional<BlockStack> blocksOf(const CarriedState& state) {
    return state.blocks ? std::optional<BlockStack>(*state.blocks) : std::nullopt;
}

} // namespace quillet::testing
