#include "BlockTestPrinting.h"
#include "engine/MarkdownString.h"

#include <gtest/gtest.h>

using namespace quillet;
using blocktest::textAt;

namespace {

class BlockClassifier : public ::testing::Test {
protected:
    std::optional<BlockDict> classify(std::u16string_view line, long depth = 0) {
        return engine.findBlockElement(line, {0, line.size()}, depth);
    }
    std::optional<BlockDict> classifyFrom(std::u16string_view line, std::size_t start) {
        return engine.findBlockElement(line, Range::fromBounds(start, line.size()), 0);
    }

    MarkdownString engine;
};

} // namespace

TEST_F(BlockClassifier, RangesShorterThanTwoHoldNoBlock) {
    EXPECT_FALSE(classify(u"-"));
    EXPECT_FALSE(classify(u"#"));
    EXPECT_FALSE(classify(u""));
    EXPECT_FALSE(engine.findBlockElement(u"- - x", {4, 1}, 0));
    EXPECT_FALSE(engine.findBlockElement(u"- x", {7, 3}, 0)) << "a range past the text";
}

TEST_F(BlockClassifier, Headers) {
    const std::u16string title = u"# Title";
    auto h = classify(title, 3);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->type, BlockType::header);
    EXPECT_EQ(h->depth, 1) << "a header's depth is 1 whatever depth it is given";
    EXPECT_EQ(h->headerDepth, 1);
    EXPECT_EQ(h->quoteDepth, 0);
    EXPECT_EQ(textAt(title, h->strRange), "Title");
    EXPECT_EQ(h->range, Range({0, 7}));

    const std::u16string withTerminator = u"## Title\n";
    h = classify(withTerminator);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->headerDepth, 2);
    EXPECT_EQ(textAt(withTerminator, h->strRange), "Title\n")
        << "without closing hashes the terminator stays";

    const std::u16string closed = u"### T ###";
    h = classify(closed);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->headerDepth, 3);
    EXPECT_EQ(textAt(closed, h->strRange), "T");

    // The text's length is measured back from the range's end by the closing run's length,
    // which stops before a final terminator.
    const std::u16string closedWithTerminator = u"### T ###\n";
    h = classify(closedWithTerminator);
    ASSERT_TRUE(h);
    EXPECT_EQ(textAt(closedWithTerminator, h->strRange), "T ");

    const std::u16string hashesInText = u"# C# and F#";
    h = classify(hashesInText);
    ASSERT_TRUE(h);
    EXPECT_EQ(textAt(hashesInText, h->strRange), "C# and F#") << "closing hashes need a blank before them";

    EXPECT_FALSE(classify(u"#Title"));
    EXPECT_FALSE(classify(u"###"));
    EXPECT_FALSE(classify(u"##  \n")) << "only blanks after the hashes";
}

TEST_F(BlockClassifier, HeaderAfterAnOuterMarker) {
    const std::u16string line = u"> ## Inner";
    const auto h = engine.findBlockElement(line, {2, 8}, 0);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->type, BlockType::header);
    EXPECT_EQ(h->headerDepth, 2);
    EXPECT_EQ(h->range, Range({2, 8}));
    EXPECT_EQ(textAt(line, h->strRange), "Inner");
}

TEST_F(BlockClassifier, UnicodeBlanksSeparateMarkersFromText) {
    // Pattern blanks are Unicode white space, so a no-break space or an em space will do.
    const std::u16string header = u"#\u00A0Title";
    auto b = classify(header);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::header);
    EXPECT_EQ(textAt(header, b->strRange), "Title");

    const std::u16string item = u"-\u2003item";
    b = classify(item);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::list);
    EXPECT_EQ(textAt(item, b->strRange), "item");

    b = classify(u"-\u00A0-\u00A0-");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::hr);
}

TEST_F(BlockClassifier, ContentStartingWithAnAstralCharacterKeepsItWhole) {
    const std::u16string header = u"# \U0001F600 smile";
    auto b = classify(header);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->strRange.location, 2u);
    EXPECT_EQ(textAt(header, b->strRange), blocktest::utf8(u"\U0001F600 smile"));

    const std::u16string item = u"- \U0001D400x";
    b = classify(item);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::list);
    EXPECT_EQ(b->strRange, Range({2, 3}));

    const std::u16string numbered = u"2. \U0001F600";
    b = classify(numbered);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->strRange, Range({3, 2}));
}

TEST_F(BlockClassifier, HorizontalRules) {
    for (std::u16string_view rule : {u"---", u"***", u"_ _ _", u"- - -\n", u"***\r\n", u"-\t-\t-"}) {
        const auto b = classify(rule);
        ASSERT_TRUE(b) << blocktest::utf8(rule);
        EXPECT_EQ(b->type, BlockType::hr) << blocktest::utf8(rule);
        EXPECT_EQ(b->strRange, Range({0, rule.size()}));
        EXPECT_EQ(b->range, Range({0, rule.size()}));
        EXPECT_EQ(b->depth, 0);
    }
    EXPECT_FALSE(classify(u"--"));
    EXPECT_FALSE(classify(u"**x**"));
    EXPECT_FALSE(classify(u"___x"));
    EXPECT_FALSE(classify(u"+++")) << "'+' makes no rule, and no blank follows";

    const auto list = classify(u"* * x");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->type, BlockType::list);
    EXPECT_EQ(list->depth, 2);

    const auto tabbed = classify(u"\t---");
    ASSERT_TRUE(tabbed);
    EXPECT_EQ(tabbed->type, BlockType::codeblock) << "a rule after tabs is code";
    EXPECT_EQ(tabbed->depth, 1);
}

TEST_F(BlockClassifier, IsHorizontalRulesCountsTheRuleCharacters) {
    EXPECT_EQ(MarkdownString::isHorizontalRules(u"***"), 3);
    EXPECT_EQ(MarkdownString::isHorizontalRules(u"- - - -"), 4);
    EXPECT_EQ(MarkdownString::isHorizontalRules(u"___\nx"), 3) << "a newline ends the scan";
    EXPECT_EQ(MarkdownString::isHorizontalRules(u"--"), 0);
    EXPECT_EQ(MarkdownString::isHorizontalRules(u"-- x"), 0);
    EXPECT_EQ(MarkdownString::isHorizontalRules(u"*-*"), 0);
    EXPECT_EQ(MarkdownString::isHorizontalRules(u"+++"), 0);
    EXPECT_EQ(MarkdownString::isHorizontalRules(u"x"), 0);
}

TEST_F(BlockClassifier, CountCharacterMovesTheRange) {
    Range r{0, 8};
    EXPECT_EQ(MarkdownString::countCharacter(u'#', u"## Title", r), 2);
    EXPECT_EQ(r, Range({2, 6})) << "the range begins with the blank before the text";

    r = {0, 3};
    EXPECT_EQ(MarkdownString::countCharacter(u'*', u"**b", r), 2);
    EXPECT_EQ(r, Range({2, 1})) << "no blank seen: no step back";

    r = {2, 3};
    EXPECT_EQ(MarkdownString::countCharacter(u'-', u"x - y", r), 1);
    EXPECT_EQ(r, Range({3, 2}));

    r = {0, 5};
    EXPECT_EQ(MarkdownString::countCharacter(u'>', u"> > a", r), 2) << "blanks between markers are skipped";
    EXPECT_EQ(r, Range({3, 2}));

    r = {0, 2};
    EXPECT_EQ(MarkdownString::countCharacter(u'#', u"##", r), 2);
    EXPECT_EQ(r, Range({2, 0}));

    r = {0, 3};
    EXPECT_EQ(MarkdownString::countCharacter(u'\t', u"\u00A0\tx", r), 0) << "only U+0020 is skipped";
    EXPECT_EQ(r, Range({0, 3}));
}

TEST_F(BlockClassifier, TabCount) {
    EXPECT_EQ(MarkdownString::tabCount(u"\t\tx"), 2);
    EXPECT_EQ(MarkdownString::tabCount(u"\t \t"), 1);
    EXPECT_EQ(MarkdownString::tabCount(u"x\t"), 0);
    EXPECT_EQ(MarkdownString::tabCount(u""), 0);
}

TEST_F(BlockClassifier, DecimalLists) {
    const std::u16string one = u"1. a";
    auto b = classify(one);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::decimallist);
    EXPECT_EQ(b->depth, 1);
    EXPECT_FALSE(b->decimalDigit) << "\"1\" is not recorded";
    EXPECT_EQ(b->strRange, Range({3, 1}));
    EXPECT_EQ(b->range, Range({0, 4}));

    b = classify(u"3. a");
    ASSERT_TRUE(b && b->decimalDigit);
    EXPECT_EQ(*b->decimalDigit, u"3");

    b = classify(u"1.2. a");
    ASSERT_TRUE(b && b->decimalDigit);
    EXPECT_EQ(b->depth, 2);
    EXPECT_EQ(*b->decimalDigit, u"2");

    b = classify(u"2.1. a");
    ASSERT_TRUE(b);
    EXPECT_FALSE(b->decimalDigit) << "the number before the last dot is 1";

    const std::u16string sentence = u"3. see fig. 2";
    b = classify(sentence);
    ASSERT_TRUE(b && b->decimalDigit);
    EXPECT_EQ(*b->decimalDigit, u"3");
    EXPECT_EQ(textAt(sentence, b->strRange), "see fig. 2");

    b = classify(u"10. ten");
    ASSERT_TRUE(b && b->decimalDigit);
    EXPECT_EQ(*b->decimalDigit, u"10");

    b = classify(u"\u0663. a");
    ASSERT_TRUE(b && b->decimalDigit) << "any Unicode decimal digit";
    EXPECT_EQ(*b->decimalDigit, u"\u0663");

    b = classify(u"\t2. a");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::decimallist);
    EXPECT_EQ(b->depth, 2) << "one tab and one dot";
    EXPECT_EQ(b->range, Range({1, 4}));

    for (std::u16string_view notAList : {u"1 a", u"1.a", u"12", u"1.\n", u"1. \n", u"1x. a", u"1."})
        EXPECT_FALSE(classify(notAList)) << blocktest::utf8(notAList);
}

TEST_F(BlockClassifier, BulletLists) {
    const std::u16string item = u"- x";
    auto b = classify(item);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::list);
    EXPECT_EQ(b->depth, 1);
    EXPECT_EQ(b->strRange, Range({2, 1}));
    EXPECT_EQ(b->range, Range({0, 3}));

    b = classify(u"\t- x");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->depth, 2);
    EXPECT_EQ(b->range, Range({1, 3}));

    b = classify(u"- - x");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->depth, 2);
    EXPECT_EQ(b->strRange, Range({4, 1}));

    b = classify(u"+ plus");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::list);

    const std::u16string crlf = u"* a\r\n";
    b = classify(crlf);
    ASSERT_TRUE(b);
    EXPECT_EQ(textAt(crlf, b->strRange), "a\r\n");

    EXPECT_FALSE(classify(u"**bold**"));
    EXPECT_FALSE(classify(u"-x"));
    EXPECT_FALSE(classify(u"- "));
    EXPECT_FALSE(classify(u"  - x")) << "a line that begins with a blank is no list";

    b = classify(u"\t - x");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::codeblock) << "a blank after the tabs becomes the first character";
}

TEST_F(BlockClassifier, Quotes) {
    const std::u16string quote = u"> a";
    auto b = classify(quote);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::quote);
    EXPECT_EQ(b->quoteDepth, 1);
    EXPECT_EQ(b->depth, 0) << "a quote adds no depth";
    EXPECT_EQ(b->strRange, Range({2, 1}));
    EXPECT_EQ(b->range, Range({0, 3}));

    b = classify(u">> a");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->quoteDepth, 2);
    EXPECT_EQ(b->strRange, Range({3, 1}));

    b = classify(u"> > a");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->quoteDepth, 2);
    EXPECT_EQ(b->strRange, Range({4, 1}));

    b = classify(u">\n");
    ASSERT_TRUE(b) << "a quote marker followed by a terminator is an empty quote";
    EXPECT_EQ(b->strRange, Range({2, 0}));

    b = classify(u">  \r\n");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->strRange, Range({5, 0}));

    b = classify(u"\t> a");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::quote);
    EXPECT_EQ(b->depth, 1);

    EXPECT_FALSE(classify(u">text"));
}

TEST_F(BlockClassifier, CodeLines) {
    auto b = classify(u"\t\tfoo");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::codeblock);
    EXPECT_EQ(b->depth, 2);
    EXPECT_EQ(b->strRange, Range({0, 5}));
    EXPECT_EQ(b->range, Range({0, 5}));

    b = classify(u"    foo");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::codeblock);
    EXPECT_EQ(b->depth, 0);

    b = classify(u"    \n");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::codeblock);
    EXPECT_FALSE(classify(u"    ")) << "four blanks alone are too short";
    EXPECT_FALSE(classify(u"   x"));

    const std::u16string fence = u"```swift";
    b = classify(fence);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::codeparagraph);
    EXPECT_EQ(textAt(fence, b->strRange), "swift");
    EXPECT_EQ(b->range, Range({0, 8}));

    b = classify(u"~~~");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::codeparagraph);
    EXPECT_EQ(b->strRange, Range({3, 0}));

    EXPECT_FALSE(classify(u"~~~ ```")) << "a tilde fence only counts without any backquote fence";
    EXPECT_FALSE(classify(u"x ```"));
    EXPECT_FALSE(engine.findBlockElement(u"> ```", {2, 3}, 0)) << "code only where the line begins";

    b = classify(u"plain", 2);
    ASSERT_TRUE(b) << "a depth given from outside makes any unmarked line code";
    EXPECT_EQ(b->type, BlockType::codeblock);
}

TEST_F(BlockClassifier, HtmlLines) {
    auto b = classify(u"<div>");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::beginHtmlBlock);
    EXPECT_EQ(b->strRange, Range({0, 5}));
    EXPECT_EQ(b->range, Range({0, 5}));

    b = classify(u"<div>x</div>\n");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::htmlBlock);
    EXPECT_EQ(b->strRange, Range({0, 13}));
    EXPECT_EQ(b->range, Range({0, 5}));

    b = classify(u"<p>a</b>");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::htmlBlock) << "any closing tag will do";

    b = classify(u"</div> tail");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::endHtmlBlock);
    EXPECT_EQ(b->strRange, Range({0, 6}));
    EXPECT_EQ(b->range, Range({0, 6}));

    b = classify(u"<h1\u00E9>");
    ASSERT_TRUE(b) << "tag names continue with any word character";

    EXPECT_FALSE(classify(u"<div class=x>"));
    EXPECT_FALSE(classify(u" <div>"));
    EXPECT_FALSE(classify(u"<br/>"));
    EXPECT_FALSE(classify(u"<1a>"));
    EXPECT_FALSE(engine.findBlockElement(u"x <div>", {2, 5}, 0)) << "HTML only where the line begins";
}

TEST_F(BlockClassifier, LinkDefinitions) {
    const std::u16string line = u"[id]: http://x.org/a \"The title\"";
    const auto b = classify(line);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::linklabel);
    EXPECT_EQ(b->label, u"id");
    EXPECT_EQ(b->range, Range({1, 2}));
    EXPECT_EQ(b->urlString, u"http://x.org/a");
    EXPECT_EQ(b->urlRange, Range({6, 14}));
    ASSERT_TRUE(b->options);
    EXPECT_EQ(*b->options, u"The title");
    EXPECT_EQ(b->strRange, Range({0, line.size()}));
    EXPECT_EQ(b->depth, 0);

    const LinkLabelRef record = engine.labelDictForLabel(u"id");
    ASSERT_TRUE(record) << "classifying a definition registers it";
    EXPECT_EQ(record->urlString, u"http://x.org/a");
    EXPECT_EQ(record->options, u"The title");
    EXPECT_EQ(record->range, Range({1, 2}));
}

TEST_F(BlockClassifier, LinkDefinitionTitles) {
    struct Case {
        std::u16string_view line;
        std::optional<std::u16string> options;
    };
    const Case cases[] = {
        {u"[a]: u 'single'", u"single"},         {u"[a]: u (paren)", u"paren"},
        {u"[a]: u \u2018curly\u2019", u"curly"}, {u"[a]: u \u201Cdouble\u201D", u"double"},
        {u"[a]: u \"\"", std::nullopt},          {u"[a]: u ()", std::nullopt},
        {u"[a]: u \"unclosed", std::nullopt},    {u"[a]: u", std::nullopt},
        {u"[a]: u trailing \"t\"", u"t"},
    };
    for (const Case& c : cases) {
        const auto b = classify(c.line);
        ASSERT_TRUE(b) << blocktest::utf8(c.line);
        EXPECT_EQ(b->options, c.options) << blocktest::utf8(c.line);
    }
}

TEST_F(BlockClassifier, LinkDefinitionShapes) {
    const std::u16string spaced = u"[my label]:   <http://x>\n";
    auto b = classify(spaced);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->label, u"my label");
    EXPECT_EQ(b->urlString, u"<http://x>") << "the URL stops before the terminator";

    b = classify(u"[a] b [c]: u");
    ASSERT_TRUE(b) << "the first bracketed text followed by a colon is the label";
    EXPECT_EQ(b->label, u"a] b [c");

    EXPECT_FALSE(classify(u"[id]:")) << "no URL";
    EXPECT_FALSE(classify(u"[id]:   \n"));
    EXPECT_FALSE(classify(u"[]: u")) << "an empty label";
    EXPECT_FALSE(classify(u"[a]:")) << "shorter than five";
    EXPECT_FALSE(classify(u"[a] u"));
    EXPECT_FALSE(classify(u"[a\n]: u"));
    EXPECT_FALSE(classify(u"[a]: u", 1)) << "not inside an outer block";
    EXPECT_FALSE(engine.labelDictForLabel(u"id")) << "a line that is no definition registers nothing";
    EXPECT_FALSE(engine.labelDictForLabel(u"a"));

    b = engine.findBlockElement(u"- [n]: u", {2, 6}, 0);
    ASSERT_TRUE(b) << "after an outer marker a definition is still found";
    EXPECT_EQ(b->strRange, Range({2, 6}));
    EXPECT_TRUE(engine.labelDictForLabel(u"n"));
}

TEST_F(BlockClassifier, RangesThatStartInsideTheLine) {
    const std::u16string line = u"xx- a";
    const auto b = engine.findBlockElement(line, {2, 3}, 0);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->type, BlockType::list);
    EXPECT_EQ(b->range, Range({2, 3}));
    EXPECT_EQ(b->strRange, Range({4, 1}));

    const auto limited = engine.findBlockElement(u"# Title ##", {0, 7}, 0);
    ASSERT_TRUE(limited);
    EXPECT_EQ(limited->strRange, Range({2, 5})) << "the search sees only its range";
}

TEST_F(BlockClassifier, VeryLongLines) {
    const std::u16string body(1 << 20, u'a');
    const std::u16string item = u"- " + body;
    auto b = classify(item);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->strRange, Range({2, body.size()}));

    const std::u16string header = u"# " + body + u" #";
    b = classify(header);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->strRange, Range({2, body.size()}));

    const std::u16string definition = u"[" + body + u"]: u";
    b = classify(definition);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->label.size(), body.size());

    const std::u16string brackets(1 << 20, u'[');
    EXPECT_FALSE(classify(brackets));
    EXPECT_FALSE(classify(u"<a" + body));
}
