// The block state carried from line to line: code paragraphs, HTML blocks, containers, depth.

#include "EditorStylingTestSupport.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

std::optional<int> codeState(const StyledNote& note, std::size_t line) {
    return note.state(line).codeParagraph;
}
std::optional<int> htmlState(const StyledNote& note, std::size_t line) {
    return note.state(line).htmlBlock;
}
long depthOf(const StyledNote& note, std::size_t line) {
    return note.state(line).indentDepth.value_or(-1);
}

constexpr BlockType kList = BlockType::list;
constexpr BlockType kDecimal = BlockType::decimallist;
constexpr BlockType kQuote = BlockType::quote;
constexpr BlockType kHeader = BlockType::header;

} // namespace

TEST(EditorStylingState, CodeAndHtmlBlocksIgnoreWhatTheirLinesWouldOtherwiseBe) {
    // The plain cases are in tests/dialect/50-styles.md; here lines that would be something else.
    const StyledNote note(u"a\n```\n# not a header\n<div>\n```\n<div>\n```\n</div>\n");
    EXPECT_EQ(codeState(note, 2), 2);
    EXPECT_EQ(note.at(u"not").font, note.engine.codeFont());
    EXPECT_EQ(codeState(note, 3), 2); // no HTML block inside code
    EXPECT_EQ(htmlState(note, 3), std::nullopt);
    EXPECT_EQ(codeState(note, 4), 1);
    EXPECT_EQ(htmlState(note, 5), 3);
    EXPECT_EQ(htmlState(note, 6), 2); // no fence inside HTML
    EXPECT_EQ(codeState(note, 6), std::nullopt);
    EXPECT_EQ(note.at(note.line(6).location).baselineOffset, std::nullopt);
    EXPECT_EQ(htmlState(note, 7), 1);
}

TEST(EditorStylingState, CodeStateWinsOverHtmlStateAndIndentedCodeHasABaselineOffset) {
    StyledNote note(u"above\nbelow\n");
    TextAttributes both;
    both.mdCodeParagraph = 2;
    both.mdHtmlBlock = 2;
    note.text.addAttributes(note.line(0), both);
    RangeDict below;
    below.lineRange = note.line(1);
    EXPECT_EQ(note.engine.markdown(note.text, below), 0);
    EXPECT_EQ(codeState(note, 1), 2);
    EXPECT_EQ(htmlState(note, 1), std::nullopt);
    EXPECT_EQ(note.at(u"below").baselineOffset, 4.0);

    const StyledNote indented(u"text\n    let x = *1*\n");
    EXPECT_EQ(indented.at(u"let").font, indented.engine.codeFont());
    EXPECT_EQ(indented.at(u"let").baselineOffset, 4.0);
    EXPECT_EQ(indented.at(u"1").font, indented.engine.codeFont());
    EXPECT_EQ(codeState(indented, 1), std::nullopt);
}

TEST(EditorStylingState, OsakaMonoIndentedCodeSitsOnItsDescender) {
    InMemoryFontProvider fonts(10.0, u"Osaka-Mono");
    MarkdownString engine;
    engine.setMarkdownFont(fonts.font(u"Regular", 15), fonts); // code font at 13 points, descender -3.25
    AttributedText text(u"a\n    code\n```\n");
    engine.processMarkdown(text, {0, text.length()});
    EXPECT_EQ(text.attributesAt(4).baselineOffset, 3.0);
    EXPECT_EQ(text.attributesAt(12).baselineOffset, 4.0); // fences keep 4
}

TEST(EditorStylingState, ContainersFollowTheMarkersAndTheLineAbove) {
    // Nesting by tabs and markers of another kind are in tests/dialect/50-styles.md.
    const StyledNote note(u"- a\n\t- b\n1. one\n> quote\n> - x\n");
    EXPECT_EQ(blocksOf(note.state(2)), stack({kList, kList, kDecimal}));
    EXPECT_EQ(depthOf(note, 2), 3);
    // A quote no deeper than the containers above opens nothing.
    EXPECT_EQ(blocksOf(note.state(3)), stack({kList, kList, kDecimal}));
    EXPECT_EQ(blocksOf(note.state(4)), stack({kList, kList, kDecimal, kList}));

    const StyledNote quotes(u"> quote\n>> deeper\n");
    EXPECT_EQ(blocksOf(quotes.state(1)), stack({kQuote})); // the one level more repeats the quote
    const StyledNote deep(u">> deep\n");
    EXPECT_EQ(blocksOf(deep.state(0)), stack({kQuote, kQuote}));
    // A quote (one level) and a list on one line: the list counts the running total.
    const StyledNote mixed(u"> - x\n");
    EXPECT_EQ(blocksOf(mixed.state(0)), stack({kQuote, kList, kList}));
}

TEST(EditorStylingState, BlankLinesHeadersAndOtherBlocksResetAsTheOptionsSay) {
    const std::u16string nested = u"- a\n\t- b\n\nc\n\n\nd\n";
    const StyledNote keep(nested);
    EXPECT_EQ(blocksOf(keep.state(2)), stack({kList})); // a blank line closes one level
    EXPECT_EQ(blocksOf(keep.state(3)), stack({kList}));
    EXPECT_EQ(blocksOf(keep.state(4)), stack({}));
    EXPECT_EQ(depthOf(keep, 6), 0);

    const StyledNote blankReset(nested,
                                optionsWith([](MarkdownOptions& o) { o.resetIndentByBlankline = true; }));
    EXPECT_EQ(blocksOf(blankReset.state(2)), stack({}));
    EXPECT_EQ(depthOf(blankReset, 3), 0);

    const std::u16string header = u"- a\n# H\ntext\n";
    const StyledNote headerReset(header); // on by default
    EXPECT_EQ(depthOf(headerReset, 1), 0);
    EXPECT_EQ(blocksOf(headerReset.state(1)), stack({}));
    EXPECT_EQ(depthOf(headerReset, 2), 0);
    const StyledNote headerKept(header,
                                optionsWith([](MarkdownOptions& o) { o.resetIndentByHeader = false; }));
    EXPECT_EQ(blocksOf(headerKept.state(1)), stack({kList, kHeader}));
    EXPECT_EQ(depthOf(headerKept, 1), 2);
    EXPECT_EQ(blocksOf(headerKept.state(2)), stack({kList, kHeader}));

    const std::u16string switchKind = u"> q\n- l\n";
    const StyledNote nests(switchKind);
    EXPECT_EQ(blocksOf(nests.state(1)), stack({kQuote, kList}));
    const StyledNote blockReset(switchKind,
                                optionsWith([](MarkdownOptions& o) { o.resetIndentByBlock = true; }));
    EXPECT_EQ(blocksOf(blockReset.state(1)), stack({kList}));
    EXPECT_EQ(depthOf(blockReset, 1), 1);
}

TEST(EditorStylingState, NormalLinesIndentWhenAskedAndHeadersNever) {
    const auto indentNormal = optionsWith([](MarkdownOptions& o) { o.indentNormalLines = true; });
    const StyledNote note(u"plain\n# H\n\nnext\n", indentNormal);
    EXPECT_EQ(depthOf(note, 0), 1);
    EXPECT_DOUBLE_EQ(note.style(0).headIndent, 30.0);
    EXPECT_EQ(depthOf(note, 1), 0);
    EXPECT_EQ(depthOf(note, 2), 1); // a blank line too
    EXPECT_EQ(depthOf(note, 3), 1);
}

TEST(EditorStylingState, TheFirstTwoOffsetsStartFromAnEmptyState) {
    const auto indentNormal = optionsWith([](MarkdownOptions& o) { o.indentNormalLines = true; });
    // The code line reports the depth it inherits: nothing at offset 1, the line above at 2.
    const StyledNote atOne(u"\n    code\n", indentNormal);
    EXPECT_EQ(depthOf(atOne, 0), 1);
    EXPECT_EQ(depthOf(atOne, 1), 0);
    EXPECT_DOUBLE_EQ(atOne.style(1).headIndent, 0.0);
    const StyledNote atTwo(u"x\n    code\n", indentNormal);
    EXPECT_EQ(depthOf(atTwo, 1), 1);
    EXPECT_DOUBLE_EQ(atTwo.style(1).headIndent, 30.0);
}

TEST(EditorStylingState, AnEmptyLineRangeChangesNothing) {
    StyledNote note(u"- a\n");
    const auto before = note.text.attributeRuns();
    RangeDict empty;
    empty.lineRange = {2, 0};
    empty.type = BlockType::header;
    EXPECT_EQ(note.engine.markdown(note.text, empty), 0);
    const auto after = note.text.attributeRuns();
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i].range, after[i].range);
        EXPECT_TRUE(before[i].attributes == after[i].attributes);
    }
}

TEST(EditorStylingState, StaleStateOnTheLineIsReplacedWhateverItHeld) {
    // Attributes left on a line by its earlier text must not survive its restyling.
    StyledNote note(u"```\nx\n```\n");
    TextAttributes stale;
    stale.mdBlocks = std::make_shared<const BlockStack>(stack({kList}));
    stale.link = std::make_shared<const std::u16string>(u"http://old");
    stale.mdBlockLinkLabel = std::make_shared<const std::u16string>(u"old");
    stale.strikethroughStyle = 1;
    note.text.addAttributes({0, note.text.length()}, stale);
    note.restyleAll();
    for (std::size_t line = 0; line < 3; ++line) {
        const TextAttributes attributes = note.at(note.line(line).location);
        EXPECT_FALSE(attributes.mdBlocks) << line;
        EXPECT_FALSE(attributes.link) << line;
        EXPECT_FALSE(attributes.mdBlockLinkLabel) << line;
        EXPECT_FALSE(attributes.strikethroughStyle) << line;
    }
    EXPECT_EQ(blocksOf(note.state(2)), std::nullopt);
}
