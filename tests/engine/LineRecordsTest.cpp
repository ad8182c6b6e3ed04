// A line's record beyond the shapes tests/dialect/10-blocks.md shows: terminators inside the
// range, ranges that start inside the line, kinds that hold no inline elements, and a long line.

#include "BlockTestPrinting.h"
#include "engine/MarkdownString.h"

#include <gtest/gtest.h>

using namespace quillet;
using blocktest::textAt;

namespace {

class LineRecords : public ::testing::Test {
protected:
    RangeDict record(std::u16string_view line) { return engine.rangeDictForLine(line, {0, line.size()}); }

    MarkdownString engine;
};

} // namespace

TEST_F(LineRecords, OnlyAnEmptyLineIsBlank) {
    const RangeDict blank = engine.rangeDictForLine(u"\n", {7, 1});
    EXPECT_EQ(blank.lineRange, Range({7, 1}));
    EXPECT_EQ(blank.type, BlockType::blankline);
    EXPECT_FALSE(blank.strRange) << "a blank line holds its range and type only";
    for (std::u16string_view notBlank : {u"  ", u"\r", u"\r\n", u"\u2028"}) {
        const RangeDict r = record(notBlank);
        EXPECT_EQ(r.type, BlockType::none) << ::testing::PrintToString(std::u16string(notBlank));
        EXPECT_FALSE(r.strRange);
    }
}

TEST_F(LineRecords, CodeRulesAndHtmlHoldNoInlineElements) {
    for (std::u16string_view line :
         {u"```*c*", u"    *code*", u"***", u"<em>*x*</em>", u"<div>", u"</div> *x*"}) {
        const RangeDict r = record(line);
        EXPECT_TRUE(r.blockArray.empty() && r.spanArray.empty() && !r.depth && r.strRange)
            << ::testing::PrintToString(std::u16string(line));
    }
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
