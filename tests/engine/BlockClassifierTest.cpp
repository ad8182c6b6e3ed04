// The dialect examples (tests/dialect/10-blocks.md) show the common shapes of every kind and
// line record; these cases pin down what they cannot: terminators inside the range, ranges that
// start inside the line, Unicode blanks and digits, astral characters, the depth argument, kinds
// that hold no inline elements and very long lines.

#include "engine/MarkdownString.h"

#include <gtest/gtest.h>
#include <unicode/uchar.h>

namespace quillet {

static void PrintTo(const Range& range, std::ostream* out) {
    *out << range.toString();
}
static void PrintTo(BlockType type, std::ostream* out) {
    *out << '"' << blockTypeName(type) << '"';
}

namespace {

std::u16string textAt(std::u16string_view line, Range range) {
    if (!range.found() || range.location > line.size()) return u"<none>";
    return std::u16string(line.substr(range.location, range.length));
}

struct Expected {
    std::u16string_view line;
    BlockType type;
    std::u16string_view content; // the text at "strRange"
    long depth;
};

class BlockClassifier : public ::testing::Test {
protected:
    std::optional<BlockDict> classify(std::u16string_view line, long depth = 0) {
        return engine.findBlockElement(line, {0, line.size()}, depth);
    }

    void expectAll(std::initializer_list<Expected> cases) {
        for (const Expected& c : cases) {
            const std::string shown = ::testing::PrintToString(std::u16string(c.line));
            const auto block = classify(c.line);
            ASSERT_TRUE(block) << shown;
            EXPECT_EQ(block->type, c.type) << shown;
            EXPECT_EQ(textAt(c.line, block->strRange), c.content) << shown;
            EXPECT_EQ(block->depth, c.depth) << shown;
        }
    }

    void expectNone(std::initializer_list<std::u16string_view> lines) {
        for (std::u16string_view line : lines)
            EXPECT_FALSE(classify(line)) << ::testing::PrintToString(std::u16string(line));
    }
    RangeDict record(std::u16string_view line) { return engine.rangeDictForLine(line, {0, line.size()}); }

    MarkdownString engine;
};

TEST_F(BlockClassifier, TerminatorsStayInTheContent) {
    expectAll({
        {u"## Title\n", BlockType::header, u"Title\n", 1},
        {u"* a\r\n", BlockType::list, u"a\r\n", 1},
        {u"1. a\r\n", BlockType::decimallist, u"a\r\n", 1},
        {u">\n", BlockType::quote, u"", 0},
        {u">  \r\n", BlockType::quote, u"", 0},
        {u"- - -\n", BlockType::hr, u"- - -\n", 0},
        {u"***\r\n", BlockType::hr, u"***\r\n", 0},
        {u"    \n", BlockType::codeblock, u"    \n", 0},
        {u"<div>x</div>\n", BlockType::htmlBlock, u"<div>x</div>\n", 0},
        // The text's length is measured back from the range's end by the closing run, which
        // stops before a final terminator.
        {u"### T ###\n", BlockType::header, u"T ", 1},
    });
    expectNone({u"##  \n", u"1.\n", u"1. \n", u"[id]:   \n"});
    EXPECT_EQ(classify(u"[my label]:   <http://x>\n")->urlString, u"<http://x>");
}

TEST_F(BlockClassifier, UnicodeBlanksDigitsAndAstralCharacters) {
    expectAll({
        {u"#\u00A0Title", BlockType::header, u"Title", 1},
        {u"-\u2003item", BlockType::list, u"item", 1},
        {u"-\u00A0-\u00A0-", BlockType::hr, u"-\u00A0-\u00A0-", 0},
        {u"\u0663. a", BlockType::decimallist, u"a", 1},
        // Content that begins with a surrogate pair keeps the pair whole.
        {u"# \U0001F600 smile", BlockType::header, u"\U0001F600 smile", 1},
        {u"- \U0001D400x", BlockType::list, u"\U0001D400x", 1},
        {u"2. \U0001F600", BlockType::decimallist, u"\U0001F600", 1},
        {u"<h1\u00E9>", BlockType::beginHtmlBlock, u"<h1\u00E9>", 0},
    });
    EXPECT_EQ(classify(u"\u0663. a")->decimalDigit, u"\u0663");
    expectNone({u"\u00A0- x", u"<1a>"});
}

TEST_F(BlockClassifier, RangesThatStartInsideTheLineAndTheDepthArgument) {
    auto b = engine.findBlockElement(u"xx- a", {2, 3}, 0);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->range, Range({2, 3}));
    EXPECT_EQ(b->strRange, Range({4, 1}));
    b = engine.findBlockElement(u"> ## Inner", {2, 8}, 4);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->strRange, Range({5, 5}));
    EXPECT_EQ(b->depth, 1) << "a header's depth is 1 whatever depth it is given";
    EXPECT_EQ(engine.findBlockElement(u"# Title ##", {0, 7}, 0)->strRange, Range({2, 5}))
        << "the search sees only its range";

    EXPECT_FALSE(engine.findBlockElement(u"- - x", {4, 1}, 0)) << "shorter than two";
    EXPECT_FALSE(engine.findBlockElement(u"- x", {7, 3}, 0)) << "past the text";
    EXPECT_FALSE(engine.findBlockElement(u"- > ---", {4, 3}, 0)) << "a rule must be the whole line";
    EXPECT_FALSE(engine.findBlockElement(u"> ```", {2, 3}, 0)) << "fences only where the line begins";
    EXPECT_FALSE(engine.findBlockElement(u"x <div>", {2, 5}, 0));
    EXPECT_FALSE(classify(u"[a]: u", 1)) << "no definition with an outer depth";

    const auto code = classify(u"plain", 2);
    ASSERT_TRUE(code) << "a depth given from outside makes an unmarked line code";
    EXPECT_EQ(code->type, BlockType::codeblock);
    EXPECT_EQ(code->depth, 2);
}

TEST_F(BlockClassifier, LinkDefinitionTitlesAndLabels) {
    const std::pair<std::u16string_view, std::optional<std::u16string>> titles[] = {
        {u"[a]: u \u2018c\u2019url\u2019 x", u"c\u2019url"},
        {u"[a]: u ()", std::nullopt},
        {u"[a]: u \"unclosed", std::nullopt},
        {u"[a]: u trailing \"t\"", u"t"},
    };
    for (const auto& [line, options] : titles)
        EXPECT_EQ(classify(line)->options, options) << ::testing::PrintToString(std::u16string(line));
    EXPECT_EQ(classify(u"[a] b [c]: u")->label, u"a] b [c")
        << "the first bracket followed later by ']:' opens the label";
    expectNone({u"[z] u", u"[z\n]: u"});
    EXPECT_FALSE(engine.labelDictForLabel(u"z")) << "a line that is no definition registers nothing";
}

TEST_F(BlockClassifier, VeryLongLines) {
    const std::u16string body(1 << 20, u'a');
    expectAll({
        {u"- " + body, BlockType::list, body, 1},
        {u"# " + body + u" #", BlockType::header, body, 1},
    });
    EXPECT_EQ(classify(u"[" + body + u"]: u")->label.size(), body.size());
    expectNone({std::u16string(1 << 20, u'['), u"<a" + body});
    const RangeDict record = engine.rangeDictForLine(u"> - " + body, {0, body.size() + 4});
    EXPECT_EQ(record.blockArray.size(), 2u);
    EXPECT_EQ(record.strRange, Range::fromBounds(4, body.size() + 4));
}

// Lines are settled from their first character when it can begin no marker: every character
// that begins one still does, after any of the shapes that follow markers, and no other does.
TEST_F(BlockClassifier, OnlyMarkerCharactersBeginBlocks) {
    const std::u16string_view tails[] = {u" x", u". x",   u"x",   u"  x", u"   x",
                                         u"a>", u"a]: u", u"``x", u"~~x", u"__"};
    std::u16string beginners;
    for (char32_t c = 1; c <= 0xFFFF; ++c) {
        const auto first = static_cast<char16_t>(c);
        for (std::u16string_view tail : tails) {
            if (classify(first + std::u16string(tail))) {
                beginners += first;
                break;
            }
        }
    }
    std::u16string nonAsciiDigits;
    for (char16_t c : beginners)
        if (c >= 0x80) nonAsciiDigits += c;
    EXPECT_EQ(beginners.substr(0, beginners.size() - nonAsciiDigits.size()), u"\t #*+-0123456789<>[_`~");
    for (char16_t c : nonAsciiDigits)
        EXPECT_TRUE(u_isdigit(c)) << int(c);
    EXPECT_GT(nonAsciiDigits.size(), 300u) << "digits of other scripts begin numbered items";
}

TEST_F(BlockClassifier, OnlyAnEmptyLineIsBlank) {
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

TEST_F(BlockClassifier, CodeRulesAndHtmlHoldNoInlineElements) {
    for (std::u16string_view line :
         {u"```*c*", u"    *code*", u"***", u"<em>*x*</em>", u"<div>", u"</div> *x*"}) {
        const RangeDict r = record(line);
        EXPECT_TRUE(r.blockArray.empty() && r.spanArray.empty() && !r.depth && r.strRange)
            << ::testing::PrintToString(std::u16string(line));
    }
}

TEST_F(BlockClassifier, TerminatorsAndRangesInsideTheLine) {
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

} // namespace
} // namespace quillet
