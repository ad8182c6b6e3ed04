// Which keys a line's record holds for each kind, how nested markers add up, and the two ways the
// walk over nested markers ends early (a header inside an item, a definition after a marker).
// tests/dialect/10-blocks.md shows the same records for the common shapes.

#include "BlockTestPrinting.h"
#include "engine/MarkdownString.h"

#include <gtest/gtest.h>

using namespace quillet;
using blocktest::textAt;

namespace {

class LineRecords : public ::testing::Test {
protected:
    RangeDict record(std::u16string_view line) { return engine.rangeDictForLine(line, {0, line.size()}); }

    // A single-line kind: "type" and "strRange", nothing of the other kinds.
    static void expectOnlyKind(const RangeDict& r, BlockType type) {
        EXPECT_EQ(r.type, type);
        EXPECT_TRUE(r.blockArray.empty());
        EXPECT_TRUE(r.spanArray.empty());
        EXPECT_FALSE(r.depth);
        EXPECT_FALSE(r.headerDepth);
        EXPECT_FALSE(r.range);
        EXPECT_FALSE(r.label);
    }

    MarkdownString engine;
};

} // namespace

TEST_F(LineRecords, BlankAndPlainLines) {
    for (std::u16string_view blank : {u"", u"\n"}) {
        const RangeDict r = engine.rangeDictForLine(blank, {7, blank.size()});
        EXPECT_EQ(r.lineRange, Range({7, blank.size()}));
        expectOnlyKind(r, BlockType::blankline);
        EXPECT_FALSE(r.strRange) << "a blank line holds its range and type only";
    }
    for (std::u16string_view notBlank : {u"  ", u"\r", u"\r\n", u"\u2028"}) {
        const RangeDict r = record(notBlank);
        EXPECT_EQ(r.type, BlockType::none) << ::testing::PrintToString(std::u16string(notBlank));
        EXPECT_FALSE(r.strRange);
        EXPECT_TRUE(r.spanArray.empty());
    }
    const RangeDict plain = record(u"a **b** c");
    EXPECT_FALSE(plain.strRange);
    ASSERT_EQ(plain.spanArray.size(), 1u);
    EXPECT_EQ(plain.spanArray[0].type, SpanType::strong);
}

TEST_F(LineRecords, SingleLineKindsCarryNoInlineElements) {
    const std::pair<std::u16string_view, BlockType> kinds[] = {
        {u"```*c*", BlockType::codeparagraph},
        {u"    *code*", BlockType::codeblock},
        {u"***", BlockType::hr},
        {u"<em>*x*</em>", BlockType::htmlBlock},
        {u"<div>", BlockType::beginHtmlBlock},
        {u"</div> *x*", BlockType::endHtmlBlock},
    };
    for (const auto& [line, type] : kinds) {
        const RangeDict r = record(line);
        expectOnlyKind(r, type);
        EXPECT_TRUE(r.strRange);
    }
}

TEST_F(LineRecords, HeadersAndDefinitions) {
    const std::u16string header = u"# A *b*";
    RangeDict r = record(header);
    EXPECT_EQ(r.type, BlockType::header);
    EXPECT_EQ(r.headerDepth, 1);
    EXPECT_EQ(r.depth, 1);
    EXPECT_EQ(textAt(header, *r.strRange), u"A *b*");
    ASSERT_EQ(r.spanArray.size(), 1u);
    EXPECT_EQ(r.spanArray[0].range, Range({4, 3}));

    const std::u16string definition = u"[home]: http://h.example 'Home'";
    r = record(definition);
    EXPECT_EQ(r.type, BlockType::linklabel);
    EXPECT_EQ(r.strRange, Range({0, definition.size()}));
    EXPECT_EQ(r.range, Range({1, 4}));
    EXPECT_EQ(r.label, u"home");
    EXPECT_EQ(r.urlRange, Range({8, 16}));
    EXPECT_EQ(r.options, u"Home");
    EXPECT_TRUE(r.spanArray.empty());
    EXPECT_FALSE(r.depth);
    EXPECT_FALSE(record(u"[bare]: u").options);
}

TEST_F(LineRecords, NestedMarkersAddTheirDepths) {
    const std::u16string line = u"> - 1.2. *x*";
    const RangeDict r = record(line);
    EXPECT_EQ(r.type, BlockType::none);
    ASSERT_EQ(r.blockArray.size(), 3u);
    EXPECT_EQ(r.blockArray[0].type, BlockType::quote);
    EXPECT_EQ(r.blockArray[1].type, BlockType::list);
    EXPECT_EQ(r.blockArray[2].type, BlockType::decimallist);
    EXPECT_EQ(r.depth, 0 + 1 + 2);
    EXPECT_EQ(textAt(line, *r.strRange), u"*x*");
    ASSERT_EQ(r.spanArray.size(), 1u);
    EXPECT_EQ(r.spanArray[0].range, Range({9, 3})) << "the innermost content's inline elements";
}

TEST_F(LineRecords, HeaderInsideAnItemEndsTheMarkers) {
    const std::u16string line = u"> # Title *x*";
    const RangeDict r = record(line);
    ASSERT_EQ(r.blockArray.size(), 1u);
    EXPECT_EQ(r.depth, 0) << "the header's depth is not added";
    EXPECT_EQ(textAt(line, *r.strRange), u"Title *x*");
    ASSERT_EQ(r.spanArray.size(), 1u);
    const SpanDict& header = r.spanArray[0];
    EXPECT_EQ(header.type, SpanType::header);
    EXPECT_EQ(header.headerDepth, 1);
    EXPECT_EQ(header.range, Range({2, 11}));
    EXPECT_EQ(header.strRange, *r.strRange);
    ASSERT_EQ(header.spanArray.size(), 1u);
    EXPECT_EQ(header.spanArray[0].type, SpanType::em);
}

TEST_F(LineRecords, DefinitionAfterAMarkerIsPlainContent) {
    const std::u16string line = u"- [ref]: http://r.example";
    const RangeDict r = record(line);
    ASSERT_EQ(r.blockArray.size(), 1u) << "the definition is no marker, and the walk ends";
    EXPECT_EQ(r.depth, 1);
    EXPECT_EQ(textAt(line, *r.strRange), u"[ref]: http://r.example");
    EXPECT_EQ(r.type, BlockType::none);
    const LinkLabelRef label = engine.labelDictForLabel(u"ref");
    ASSERT_TRUE(label) << "its label is registered all the same";
    EXPECT_EQ(label->urlString, u"http://r.example");
}

TEST_F(LineRecords, TerminatorsAndRangesInsideTheLine) {
    const std::u16string header = u"## T\r\n";
    EXPECT_EQ(textAt(header, *record(header).strRange), u"T\r\n");
    RangeDict r = record(u">\r\n");
    ASSERT_EQ(r.blockArray.size(), 1u);
    EXPECT_EQ(r.strRange, Range({3, 0}));

    const std::u16string line = u"xx# Head";
    r = engine.rangeDictForLine(line, {2, 6});
    EXPECT_EQ(r.lineRange, Range({2, 6}));
    EXPECT_EQ(r.type, BlockType::header);
    EXPECT_EQ(textAt(line, *r.strRange), u"Head");
}

TEST_F(LineRecords, AMegabyteLine) {
    std::u16string line = u"> - ";
    for (int i = 0; i < 200000; ++i)
        line += u"word ";
    const RangeDict r = record(line);
    EXPECT_EQ(r.blockArray.size(), 2u);
    EXPECT_EQ(r.strRange, Range::fromBounds(4, line.size()));
}
