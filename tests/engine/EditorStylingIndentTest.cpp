// Head and first-line indents: nesting steps and list markers hanging to the left.

#include "EditorStylingTestSupport.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

std::pair<double, double> indentsOf(const StyledNote& note, std::size_t line) {
    const ParagraphStyle& style = note.style(line);
    return {style.headIndent, style.firstLineHeadIndent};
}

using Indents = std::pair<double, double>;

} // namespace

TEST(EditorStylingIndent, MarkersHangLeftOfTheirContent) {
    // 10 points a character, an indent step of 3 characters; more cases in tests/dialect/50-styles.md.
    const StyledNote note(u"- item\n1. one\n\n\n> quote\n");
    EXPECT_EQ(indentsOf(note, 0), Indents(30, 10)); // "- " hangs
    EXPECT_EQ(indentsOf(note, 1), Indents(60, 30)); // nested in both lists
    EXPECT_EQ(indentsOf(note, 2), Indents(30, 30)); // a blank line closes the innermost level
    EXPECT_EQ(indentsOf(note, 4), Indents(30, 10)); // a quote marker hangs too

    // Every line keeps the default line heights and tab stops.
    const ParagraphStyle& defaults = *note.engine.defaultAttributes().paragraphStyle;
    for (std::size_t line = 0; line < 5; ++line) {
        EXPECT_EQ(note.style(line).tabStops, defaults.tabStops) << line;
        EXPECT_DOUBLE_EQ(note.style(line).maximumLineHeight, 18.0) << line;
    }
}

TEST(EditorStylingIndent, CodeAndHeaderLinesKeepTheIndentOfTheLineAbove) {
    const StyledNote note(u"- a\n    code\n# H\nafter\n");
    EXPECT_EQ(indentsOf(note, 1), Indents(30, 30));
    EXPECT_EQ(note.state(1).indentDepth, 1);
    // With the header reset on: depth 0, no first-line indent, the head indent of the line above.
    EXPECT_EQ(indentsOf(note, 2), Indents(30, 0));
    EXPECT_EQ(indentsOf(note, 3), Indents(0, 0));

    const StyledNote kept(u"- a\n# H\n",
                          optionsWith([](MarkdownOptions& o) { o.resetIndentByHeader = false; }));
    EXPECT_EQ(indentsOf(kept, 1), Indents(60, 60));
}

TEST(EditorStylingIndent, TheIndentStepFollowsTheOption) {
    const StyledNote wide(u"- item\n", optionsWith([](MarkdownOptions& o) { o.indentWidthByChars = 5; }));
    EXPECT_EQ(indentsOf(wide, 0), Indents(50, 30));

    InMemoryFontProvider narrow(6.0);
    MarkdownString engine;
    engine.setMarkdownFont(narrow.font(u"Regular", 12), narrow);
    AttributedText text(u"x\n> > q\n");
    engine.processMarkdown(text, {0, text.length()});
    const auto style = text.attributesAt(2).paragraphStyle;
    ASSERT_TRUE(style);
    EXPECT_DOUBLE_EQ(style->headIndent, 36.0); // two quote levels of 3 characters of 6 points
    EXPECT_DOUBLE_EQ(style->firstLineHeadIndent, 36.0 - 6.0 * 4);
}
