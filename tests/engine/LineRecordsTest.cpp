#include "BlockTestPrinting.h"
#include "engine/MarkdownString.h"

#include <gtest/gtest.h>

using namespace quillet;
using blocktest::textAt;

namespace {

class LineRecords : public ::testing::Test {
protected:
    RangeDict record(std::u16string_view line) { return engine.rangeDictForLine(line, {0, line.size()}); }

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

TEST_F(LineRecords, BlankLinesHoldOnlyTheirRangeAndType) {
    for (std::u16string_view blank : {u"", u"\n"}) {
        const RangeDict r = engine.rangeDictForLine(blank, {7, blank.size()});
        EXPECT_EQ(r.lineRange, Range({7, blank.size()}));
        expectOnlyKind(r, BlockType::blankline);
        EXPECT_FALSE(r.strRange);
    }
    // Only an empty line or a lone line feed is blank.
    for (std::u16string_view notBlank : {u"  ", u"\r", u"\r\n", u"\u2028"}) {
        const RangeDict r = record(notBlank);
        EXPECT_EQ(r.type, BlockType::none) << blocktest::utf8(notBlank);
        EXPECT_TRUE(r.spanArray.empty());
        EXPECT_FALSE(r.strRange);
    }
}

TEST_F(LineRecords, PlainLinesCarryTheirInlineElements) {
    const std::u16string line = u"a **b** c";
    const RangeDict r = record(line);
    EXPECT_EQ(r.type, BlockType::none);
    EXPECT_FALSE(r.strRange);
    ASSERT_EQ(r.spanArray.size(), 1u);
    EXPECT_EQ(r.spanArray[0].type, SpanType::strong);

    EXPECT_TRUE(record(u"just words").spanArray.empty());
}

TEST_F(LineRecords, SingleLineKinds) {
    auto r = record(u"```c");
    expectOnlyKind(r, BlockType::codeparagraph);
    EXPECT_EQ(r.strRange, Range({3, 1}));

    r = record(u"    *code*");
    expectOnlyKind(r, BlockType::codeblock);
    EXPECT_EQ(r.strRange, Range({0, 10}));

    r = record(u"***");
    expectOnlyKind(r, BlockType::hr);
    EXPECT_EQ(r.strRange, Range({0, 3}));

    r = record(u"<em>*x*</em>");
    expectOnlyKind(r, BlockType::htmlBlock);
    r = record(u"<div>");
    expectOnlyKind(r, BlockType::beginHtmlBlock);
    r = record(u"</div>");
    expectOnlyKind(r, BlockType::endHtmlBlock);
    EXPECT_EQ(r.strRange, Range({0, 6}));
}

TEST_F(LineRecords, Headers) {
    const std::u16string line = u"# A *b*";
    const RangeDict r = record(line);
    EXPECT_EQ(r.type, BlockType::header);
    EXPECT_EQ(r.headerDepth, 1);
    EXPECT_EQ(r.depth, 1);
    EXPECT_EQ(textAt(line, *r.strRange), "A *b*");
    ASSERT_EQ(r.spanArray.size(), 1u);
    EXPECT_EQ(r.spanArray[0].type, SpanType::em);
    EXPECT_EQ(r.spanArray[0].range, Range({4, 3}));
    EXPECT_TRUE(r.blockArray.empty());
}

TEST_F(LineRecords, LinkDefinitionLines) {
    const std::u16string line = u"[home]: http://h.example 'Home'";
    const RangeDict r = record(line);
    EXPECT_EQ(r.type, BlockType::linklabel);
    EXPECT_EQ(r.strRange, Range({0, line.size()}));
    EXPECT_EQ(r.range, Range({1, 4}));
    EXPECT_EQ(r.label, u"home");
    EXPECT_EQ(r.urlRange, Range({8, 16}));
    EXPECT_EQ(r.options, u"Home");
    EXPECT_TRUE(r.spanArray.empty());
    EXPECT_TRUE(engine.labelDictForLabel(u"home"));

    EXPECT_FALSE(record(u"[bare]: u").options) << "no title, no options";
}

TEST_F(LineRecords, OneListMarker) {
    const std::u16string line = u"- item";
    const RangeDict r = record(line);
    EXPECT_EQ(r.type, BlockType::none) << "marker lines have no type";
    ASSERT_EQ(r.blockArray.size(), 1u);
    EXPECT_EQ(r.blockArray[0].type, BlockType::list);
    EXPECT_EQ(r.blockArray[0].depth, 1);
    EXPECT_EQ(r.depth, 1);
    EXPECT_EQ(textAt(line, *r.strRange), "item");
    EXPECT_TRUE(r.spanArray.empty());
}

TEST_F(LineRecords, NestedMarkersFromTheOutsideIn) {
    const std::u16string line = u"\t- > text";
    RangeDict r = record(line);
    ASSERT_EQ(r.blockArray.size(), 2u);
    EXPECT_EQ(r.blockArray[0].type, BlockType::list);
    EXPECT_EQ(r.blockArray[0].depth, 2);
    EXPECT_EQ(r.blockArray[1].type, BlockType::quote);
    EXPECT_EQ(r.blockArray[1].depth, 0);
    EXPECT_EQ(r.depth, 2);
    EXPECT_EQ(textAt(line, *r.strRange), "text");

    const std::u16string deep = u"> - 1.2. *x*";
    r = record(deep);
    ASSERT_EQ(r.blockArray.size(), 3u);
    EXPECT_EQ(r.blockArray[2].type, BlockType::decimallist);
    EXPECT_EQ(r.depth, 0 + 1 + 2);
    EXPECT_EQ(textAt(deep, *r.strRange), "*x*");
    ASSERT_EQ(r.spanArray.size(), 1u);
    EXPECT_EQ(r.spanArray[0].type, SpanType::em) << "the innermost content's inline elements";

    r = record(u"- > ```");
    EXPECT_EQ(r.blockArray.size(), 2u) << "a fence after markers is ordinary text";
    EXPECT_EQ(r.strRange, Range({4, 3}));
}

TEST_F(LineRecords, HeaderInsideAnItem) {
    const std::u16string line = u"> # Title *x*";
    const RangeDict r = record(line);
    ASSERT_EQ(r.blockArray.size(), 1u);
    EXPECT_EQ(r.blockArray[0].type, BlockType::quote);
    EXPECT_EQ(r.depth, 0) << "the header's depth is not added";
    EXPECT_EQ(textAt(line, *r.strRange), "Title *x*");
    ASSERT_EQ(r.spanArray.size(), 1u);
    const SpanDict& header = r.spanArray[0];
    EXPECT_EQ(header.type, SpanType::header);
    EXPECT_EQ(header.headerDepth, 1);
    EXPECT_EQ(header.depth, 1);
    EXPECT_EQ(header.range, Range({2, 11}));
    EXPECT_EQ(header.strRange, *r.strRange);
    ASSERT_EQ(header.spanArray.size(), 1u);
    EXPECT_EQ(header.spanArray[0].type, SpanType::em);

    const RangeDict inList = record(u"- ## T");
    EXPECT_EQ(inList.depth, 1);
    ASSERT_EQ(inList.spanArray.size(), 1u);
    EXPECT_EQ(inList.spanArray[0].headerDepth, 2);
    EXPECT_TRUE(inList.spanArray[0].spanArray.empty());
}

TEST_F(LineRecords, DefinitionAfterAMarkerIsPlainContent) {
    const std::u16string line = u"- [ref]: http://r.example";
    const RangeDict r = record(line);
    ASSERT_EQ(r.blockArray.size(), 1u) << "the definition is not a marker";
    EXPECT_EQ(r.blockArray[0].type, BlockType::list);
    EXPECT_EQ(r.depth, 1);
    EXPECT_EQ(textAt(line, *r.strRange), "[ref]: http://r.example");
    EXPECT_EQ(r.type, BlockType::none);
    const LinkLabelRef label = engine.labelDictForLabel(u"ref");
    ASSERT_TRUE(label) << "but its label is registered";
    EXPECT_EQ(label->urlString, u"http://r.example");
}

TEST_F(LineRecords, CarriageReturnLineFeedLines) {
    const std::u16string header = u"## T\r\n";
    RangeDict r = record(header);
    EXPECT_EQ(r.type, BlockType::header);
    EXPECT_EQ(textAt(header, *r.strRange), "T\r\n");

    const std::u16string item = u"- a\r\n";
    r = record(item);
    EXPECT_EQ(textAt(item, *r.strRange), "a\r\n");

    r = record(u">\r\n");
    ASSERT_EQ(r.blockArray.size(), 1u);
    EXPECT_EQ(r.strRange, Range({3, 0}));
}

TEST_F(LineRecords, RangesNotStartingAtZero) {
    // The record keeps the range it was given; classification happens inside it.
    const std::u16string line = u"xx# Head";
    const RangeDict r = engine.rangeDictForLine(line, {2, 6});
    EXPECT_EQ(r.lineRange, Range({2, 6}));
    EXPECT_EQ(r.type, BlockType::header);
    EXPECT_EQ(textAt(line, *r.strRange), "Head");
}

TEST_F(LineRecords, AMegabyteLine) {
    std::u16string line = u"> - ";
    for (int i = 0; i < 200000; ++i)
        line += u"word ";
    const RangeDict r = record(line);
    EXPECT_EQ(r.blockArray.size(), 2u);
    EXPECT_EQ(r.strRange->location, 4u);
    EXPECT_EQ(r.strRange->end(), line.size());
}
