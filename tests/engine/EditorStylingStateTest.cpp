// The block state carried from line to line and the indents it gives, beyond the plain cases of
// tests/dialect/50-styles.md: blocks inside blocks, the options, the first lines of a note, and
// state left on a line by its earlier text.

#include "EditorStylingTestSupport.h"

#include <algorithm>

using namespace quillet;
using namespace quillet::testing;

namespace {

long depthOf(const StyledNote& note, std::size_t line) {
    return note.state(line).indentDepth.value_or(-1);
}
using Indents = std::pair<double, double>;
Indents indentsOf(const StyledNote& note, std::size_t line) {
    return {note.style(line).headIndent, note.style(line).firstLineHeadIndent};
}

constexpr BlockType kList = BlockType::list;
constexpr BlockType kDecimal = BlockType::decimallist;
constexpr BlockType kQuote = BlockType::quote;
constexpr BlockType kHeader = BlockType::header;

} // namespace

TEST(EditorStylingState, CodeAndHtmlBlocksIgnoreWhatTheirLinesWouldOtherwiseBe) {
    const StyledNote note(u"a\n```\n# not a header\n<div>\n```\n<div>\n```\n</div>\n");
    const std::optional<int> code[] = {{}, 3, 2, 2, 1, {}, {}, {}}, html[] = {{}, {}, {}, {}, {}, 3, 2, 1};
    for (std::size_t line = 0; line < std::size(code); ++line)
        EXPECT_TRUE(note.state(line).codeParagraph == code[line] && note.state(line).htmlBlock == html[line])
            << line;
    EXPECT_EQ(note.at(u"not").font, note.engine.codeFont());
    EXPECT_EQ(note.at(note.line(6).location).baselineOffset, std::nullopt) << "a fence inside HTML is HTML";
}

TEST(EditorStylingState, CodeStateWinsOverHtmlStateAndCodeSitsOnTheCodeFontsDescender) {
    StyledNote note(u"above\nbelow\n");
    TextAttributes both;
    both.mdCodeParagraph = 2;
    both.mdHtmlBlock = 2;
    note.text.addAttributes(note.line(0), both);
    RangeDict below;
    below.lineRange = note.line(1);
    EXPECT_EQ(note.engine.markdown(note.text, below), 0);
    EXPECT_EQ(note.state(1).codeParagraph, 2);
    EXPECT_EQ(note.state(1).htmlBlock, std::nullopt);
    EXPECT_EQ(note.at(u"below").baselineOffset, 4.0);

    InMemoryFontProvider fonts(10.0, u"Osaka-Mono");
    MarkdownString engine;
    engine.setMarkdownFont(fonts.font(u"Regular", 15), fonts); // code font at 13 points, descender -3.25
    AttributedText text(u"a\n    code\n```\n");
    engine.processMarkdown(text, {0, text.length()});
    EXPECT_EQ(text.attributesAt(4).baselineOffset, 3.0);
    EXPECT_EQ(text.attributesAt(12).baselineOffset, 4.0); // fences keep 4
}

TEST(EditorStylingState, ContainersFollowTheMarkersAndTheLineAbove) {
    const StyledNote note(u"- a\n\t- b\n1. one\n> quote\n> - x\n");
    EXPECT_EQ(blocksOf(note.state(2)), (BlockStack{kList, kList, kDecimal}));
    EXPECT_EQ(indentsOf(note, 2), Indents(90, 60));
    // A quote no deeper than the containers above opens nothing.
    EXPECT_EQ(blocksOf(note.state(3)), (BlockStack{kList, kList, kDecimal}));
    EXPECT_EQ(blocksOf(note.state(4)), (BlockStack{kList, kList, kDecimal, kList}));
    // Code keeps the indent of the line above, and so does a header's second row.
    const StyledNote code(u"- a\n    code\n# H\n");
    EXPECT_EQ(indentsOf(code, 1), Indents(30, 30));
    EXPECT_EQ(depthOf(code, 1), 1);
    EXPECT_EQ(indentsOf(code, 2), Indents(30, 0));
}

TEST(EditorStylingState, BlankLinesHeadersAndOtherBlocksResetAsTheOptionsSay) {
    const std::u16string nested = u"- a\n\t- b\n\nc\n";
    const StyledNote blankReset(nested,
                                optionsWith([](MarkdownOptions& o) { o.resetIndentByBlankline = true; }));
    EXPECT_EQ(blocksOf(blankReset.state(2)), (BlockStack{}));
    EXPECT_EQ(depthOf(blankReset, 3), 0);

    const StyledNote headerKept(u"- a\n# H\ntext\n",
                                optionsWith([](MarkdownOptions& o) { o.resetIndentByHeader = false; }));
    EXPECT_EQ(blocksOf(headerKept.state(1)), (BlockStack{kList, kHeader}));
    EXPECT_EQ(depthOf(headerKept, 1), 2);
    EXPECT_EQ(indentsOf(headerKept, 1), Indents(60, 60));
    EXPECT_EQ(blocksOf(headerKept.state(2)), (BlockStack{kList, kHeader}));

    const StyledNote blockReset(u"> q\n- l\n",
                                optionsWith([](MarkdownOptions& o) { o.resetIndentByBlock = true; }));
    EXPECT_EQ(blocksOf(blockReset.state(1)), (BlockStack{kList}));
    EXPECT_EQ(depthOf(blockReset, 1), 1);

    const StyledNote wide(u"- item\n", optionsWith([](MarkdownOptions& o) { o.indentWidthByChars = 5; }));
    EXPECT_EQ(indentsOf(wide, 0), Indents(50, 30));
}

TEST(EditorStylingState, NormalLinesIndentWhenAskedAndHeadersNever) {
    const auto indentNormal = optionsWith([](MarkdownOptions& o) { o.indentNormalLines = true; });
    const StyledNote note(u"plain\n# H\n\nnext\n", indentNormal);
    EXPECT_EQ(depthOf(note, 0), 1);
    EXPECT_DOUBLE_EQ(note.style(0).headIndent, 30.0);
    EXPECT_EQ(depthOf(note, 1), 0);
    EXPECT_EQ(depthOf(note, 2), 1); // a blank line too
    EXPECT_EQ(depthOf(note, 3), 1);
    // The code line reports the depth it inherits: nothing at offset 1, the line above at 2.
    const StyledNote atOne(u"\n    code\n", indentNormal);
    EXPECT_EQ(depthOf(atOne, 1), 0);
    EXPECT_DOUBLE_EQ(atOne.style(1).headIndent, 0.0);
    const StyledNote atTwo(u"x\n    code\n", indentNormal);
    EXPECT_EQ(depthOf(atTwo, 1), 1);
    EXPECT_DOUBLE_EQ(atTwo.style(1).headIndent, 30.0);
}

TEST(EditorStylingState, AnEmptyLineRangeChangesNothingAndStaleStateGoes) {
    StyledNote empty(u"- a\n");
    const auto before = empty.text.attributeRuns();
    RangeDict nothing;
    nothing.lineRange = {2, 0};
    nothing.type = BlockType::header;
    EXPECT_EQ(empty.engine.markdown(empty.text, nothing), 0);
    const auto after = empty.text.attributeRuns();
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin(), after.end(), [](auto& a, auto& b) {
        return a.range == b.range && a.attributes == b.attributes;
    }));

    // Attributes left on a line by its earlier text must not survive its restyling.
    StyledNote note(u"```\nx\n```\n");
    TextAttributes stale;
    stale.mdBlocks = std::make_shared<const BlockStack>(BlockStack{kList});
    stale.link = std::make_shared<const std::u16string>(u"http://old");
    stale.mdBlockLinkLabel = std::make_shared<const std::u16string>(u"old");
    stale.strikethroughStyle = 1;
    note.text.addAttributes({0, note.text.length()}, stale);
    note.restyleAll();
    for (std::size_t line = 0; line < 3; ++line) {
        const TextAttributes attributes = note.at(note.line(line).location);
        EXPECT_FALSE(attributes.mdBlocks || attributes.link || attributes.mdBlockLinkLabel ||
                     attributes.strikethroughStyle)
            << line;
    }
}
