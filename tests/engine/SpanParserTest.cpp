// The inline parser: which elements a range of a line holds, where they lie, how they nest, and
// how a line that would cost too much is cut short.

#include "engine/MarkdownString.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quillet {
namespace {

std::string narrow(std::u16string_view text) {
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// "type(content){children}" for each element, blank-separated: the shape of a result at a glance.
std::string outline(const std::vector<SpanDict>& spans, std::u16string_view s) {
    std::string out;
    for (const SpanDict& span : spans) {
        if (!out.empty()) out += ' ';
        out += std::string(spanTypeName(span.type)) + "(" +
               narrow(s.substr(span.strRange.location, span.strRange.length)) + ")";
        if (!span.spanArray.empty()) out += "{" + outline(span.spanArray, s) + "}";
    }
    return out;
}

class SpanParserTest : public ::testing::Test {
protected:
    std::vector<SpanDict> parse(std::u16string_view line) {
        return engine.findSpanElements(line, {0, line.size()});
    }
    std::string shape(std::u16string_view line) { return outline(parse(line), line); }

    MarkdownString engine;
};

TEST_F(SpanParserTest, EachKindWithItsMarkersAndId) {
    struct Kind {
        std::u16string line;
        SpanType type;
        int typeId;
        Range range;
        Range strRange;
    };
    const std::vector<Kind> kinds = {
        {u"**a**", SpanType::strong, 2, {0, 5}, {2, 1}},
        {u"*a* b", SpanType::em, 1, {0, 3}, {1, 1}},
        {u"__ab__", SpanType::strong, 2, {0, 6}, {2, 2}},
        {u"x _ab_ y", SpanType::em, 1, {2, 4}, {3, 2}},
        {u"~~x~~", SpanType::strikethrough, 4, {0, 5}, {2, 1}},
        {u"H~2~O", SpanType::subscript, 1024, {1, 3}, {2, 1}},
        {u"x^2^", SpanType::superscript, 512, {1, 3}, {2, 1}},
        {u"a `b` c", SpanType::code, 8, {2, 3}, {3, 1}},
        {u"a \\<b> c", SpanType::backslash, 256, {2, 4}, {3, 3}},
    };
    for (const Kind& kind : kinds) {
        const auto spans = parse(kind.line);
        ASSERT_EQ(spans.size(), 1u) << narrow(kind.line);
        EXPECT_EQ(spans[0].type, kind.type) << narrow(kind.line);
        EXPECT_EQ(spans[0].typeId, kind.typeId) << narrow(kind.line);
        EXPECT_EQ(spans[0].range, kind.range) << narrow(kind.line);
        EXPECT_EQ(spans[0].strRange, kind.strRange) << narrow(kind.line);
    }
}

TEST_F(SpanParserTest, ClosingMarkersNeedABlankOrTheEndOrAWordBoundary) {
    EXPECT_EQ(shape(u"x**a**y"), "");
    EXPECT_EQ(shape(u"x**a** y"), "strong(a)");
    EXPECT_EQ(shape(u"snake_case_name"), "");
    EXPECT_EQ(shape(u"a__b__ c"), "strong(b)"); // "__" is searched from its own position
    EXPECT_EQ(shape(u"a_b_ c"), "");            // "_" is searched in the whole range
    EXPECT_EQ(shape(u"* a*"), "");
    EXPECT_EQ(shape(u"*a *"), "");
    EXPECT_EQ(shape(u"*a\\* b"), "");
    EXPECT_EQ(shape(u"`a\\` b"), "");
    EXPECT_EQ(shape(u"`*a*` b"), "code(*a*)"); // code holds no elements
}

TEST_F(SpanParserTest, ContentIsOneCharacterFirstOtherwiseGreedyToTheLastCloser) {
    EXPECT_EQ(shape(u"*a* and *b*"), "em(a) em(b)");
    EXPECT_EQ(shape(u"*ab* and *cd*"), "em(ab* and *cd)");
    EXPECT_EQ(shape(u"**a** and **b**"), "strong(a) strong(b)");
    EXPECT_EQ(shape(u"_a_ and _b_"), "em(a) em(b)");
    EXPECT_EQ(shape(u"~a~ and ~b~"), "subscript(a) subscript(b)");
    EXPECT_EQ(shape(u"^a^ and ^b^"), "superscript(a) superscript(b)");
    // Code tries the long content first.
    EXPECT_EQ(shape(u"`a` and `b`"), "code(a` and `b)");
    // A supplementary character is one character.
    const std::u16string face = u"*\U0001F600* and *b*";
    ASSERT_EQ(parse(face).size(), 2u);
    EXPECT_EQ(parse(face)[0].strRange, (Range{1, 2}));
}

TEST_F(SpanParserTest, ElementsNestInsideTheirContent) {
    EXPECT_EQ(shape(u"**a *b* c**"), "strong(a *b* c){em(b)}");
    EXPECT_EQ(shape(u"*see [x](u)*"), "em(see [x](u)){link(x)}");
    EXPECT_EQ(shape(u"[*x* y](u)"), "link(*x* y){em(x)}");
    EXPECT_EQ(shape(u"[![i](p.png)](u)"), "link(![i](p.png)){image(i)}");
    EXPECT_EQ(shape(u"~~a **b** c~~"), "strikethrough(a **b** c){strong(b)}");
    // The greedy outer element holds the middle ones.
    EXPECT_EQ(shape(u"*ab* *cd* *ef*"), "em(ab* *cd* *ef){em(cd)}");
}

TEST_F(SpanParserTest, TheBlankAfterAClosingMarkerStaysOutside) {
    const std::u16string lines[] = {u"*ab* x", u"*ab*\tx",     u"*ab*\n",
                                    u"*ab*\r", u"*ab*\u00a0x", u"`ab`\u2028"};
    for (const auto& line : lines) {
        const auto spans = parse(line);
        ASSERT_EQ(spans.size(), 1u) << narrow(line);
        EXPECT_EQ(spans[0].range, (Range{0, 4})) << narrow(line);
        EXPECT_EQ(spans[0].strRange, (Range{1, 2})) << narrow(line);
    }
}

TEST_F(SpanParserTest, EscapedMarkersBeginNothingAndTheScanGoesOn) {
    EXPECT_EQ(shape(u"\\*a* *b*"), "em(b)");
    EXPECT_EQ(shape(u"\\[x](u) *b*"), "em(b)");
    EXPECT_EQ(shape(u"! *b*"), "em(b)");
    EXPECT_EQ(shape(u"x***a"), "");

    const auto tag = parse(u"a \\<b");
    ASSERT_EQ(tag.size(), 1u);
    EXPECT_EQ(tag[0].range, (Range{2, 1}));
    EXPECT_EQ(tag[0].strRange, Range::notFound());
    // Only the first backslash of a range without markers is looked at.
    EXPECT_EQ(shape(u"a \\x \\<b>"), "");
    EXPECT_EQ(shape(u"*a* \\<b>"), "em(a) backslash(<b>)");
}

TEST_F(SpanParserTest, ExternalLinksAndImages) {
    const std::u16string line = u"[t](page.html \"T\") x";
    const auto spans = parse(line);
    ASSERT_EQ(spans.size(), 1u);
    const SpanDict& link = spans[0];
    EXPECT_EQ(link.type, SpanType::link);
    EXPECT_EQ(link.typeId, 16);
    EXPECT_EQ(link.linkType, LinkType::external);
    EXPECT_EQ(link.range, (Range{0, 18}));
    EXPECT_EQ(link.strRange, (Range{1, 1}));
    EXPECT_EQ(link.refRange, link.strRange);
    EXPECT_EQ(link.urlRange, (Range{4, 9}));
    EXPECT_EQ(link.reference, u"page.html");
    EXPECT_EQ(link.optionRange, (Range{15, 1}));

    const auto image = parse(u"a ![alt](p.png)");
    ASSERT_EQ(image.size(), 1u);
    EXPECT_EQ(image[0].type, SpanType::image);
    EXPECT_EQ(image[0].typeId, 64);
    EXPECT_EQ(image[0].range, (Range{2, 13}));
    EXPECT_EQ(image[0].strRange, (Range{4, 3}));
    EXPECT_EQ(image[0].reference, u"p.png");
    EXPECT_EQ(image[0].optionRange, Range::notFound());
}

TEST_F(SpanParserTest, LinkTitlesAndTheirOddCorners) {
    const auto title = [&](std::u16string_view line) {
        const auto spans = parse(line);
        if (spans.empty() || !spans[0].optionRange || !spans[0].optionRange->found()) return std::string("-");
        return narrow(line.substr(spans[0].optionRange->location, spans[0].optionRange->length));
    };
    EXPECT_EQ(title(u"[t](u 'single')"), "single");
    EXPECT_EQ(title(u"[t](u (paren))"), "paren");
    EXPECT_EQ(title(u"[t](u \u201ccurly\u201d)"), "curly");
    EXPECT_EQ(title(u"[t](u \"\")"), "\"\"");           // two characters are kept as found
    EXPECT_EQ(title(u"[t](u) and \"later\""), "later"); // the title search runs past the ')'
    EXPECT_EQ(title(u"[t](u)"), "-");
    // The URL stops at a blank, a '"' or a ')'; blanks before it do not move the text's end.
    const std::u16string spaced = u"[t](  u\"x\")";
    const auto spans = parse(spaced);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].reference, u"u");
    EXPECT_EQ(spans[0].strRange, (Range{1, 1}));
}

TEST_F(SpanParserTest, LabelLinksRecordTheirUse) {
    const std::u16string line = u"[t][r] and [s][]";
    const auto spans = parse(line);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].linkType, LinkType::local);
    EXPECT_EQ(spans[0].reference, u"r");
    EXPECT_EQ(spans[0].urlRange, (Range{4, 1}));
    EXPECT_EQ(spans[0].range, (Range{0, 6}));
    EXPECT_EQ(spans[0].strRange, (Range{1, 1}));
    EXPECT_FALSE(spans[0].optionRange.has_value());
    EXPECT_EQ(spans[1].reference, u"s");
    EXPECT_EQ(spans[1].urlRange, (Range{12, 1}));
    EXPECT_EQ(spans[1].range, (Range{11, 5}));

    const LinkLabelRef r = engine.labelDictForLabel(u"r");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->references, std::vector<Range>{(Range{4, 1})});
    EXPECT_FALSE(r->urlString.has_value());
    ASSERT_TRUE(engine.labelDictForLabel(u"s"));
    EXPECT_FALSE(engine.labelDictForLabel(u"t"));

    const auto image = parse(u"![i][logo]");
    ASSERT_EQ(image.size(), 1u);
    EXPECT_EQ(image[0].type, SpanType::image);
    EXPECT_EQ(image[0].range, (Range{0, 10}));
    EXPECT_TRUE(engine.labelDictForLabel(u"logo"));
}

TEST_F(SpanParserTest, ABracketThatOpensNoLinkHidesTheRestOfTheRange) {
    EXPECT_EQ(shape(u"see [x] and *y*"), "");
    EXPECT_EQ(shape(u"*a* see ![x] and *y*"), "em(a)");
    EXPECT_EQ(shape(u"[x](no closing *y*"), "");
    // Only the rest of the range: the enclosing element's scan goes on after it.
    EXPECT_EQ(shape(u"**a [b c** *d*"), "strong(a [b c) em(d)");

    const SpanDict failed = engine.findLinkElement(u"ab[x] *c*", {2, 7});
    EXPECT_FALSE(failed.range.has_value());
    EXPECT_EQ(failed.strRange, (Range{3, 6}));
}

TEST_F(SpanParserTest, SingleCandidates) {
    // Nothing begins at the candidate: a record without a range that names it.
    const auto nothing = engine.findSpanElement(u"ab*cd", {0, 5});
    ASSERT_TRUE(nothing);
    EXPECT_FALSE(nothing->range.has_value());
    EXPECT_EQ(nothing->type, SpanType::none);
    EXPECT_EQ(nothing->strRange, (Range{2, 0}));
    EXPECT_FALSE(engine.findSpanElement(u"*", {0, 1}));
    EXPECT_FALSE(engine.findSpanElement(u"plain text", {0, 10}));
    // A match may begin after the candidate.
    const auto later = engine.findSpanElement(u"a* *b*", {0, 6});
    ASSERT_TRUE(later && later->range);
    EXPECT_EQ(*later->range, (Range{3, 3}));
    // What a search learns about one text is not carried over to the next.
    ASSERT_TRUE(engine.findSpanElement(u"*ab cd* and some more text", {0, 26})->range);
    EXPECT_FALSE(engine.findSpanElement(u"*ab\vcd* x", {0, 10})->range);
    // The character before the range still escapes the candidate.
    const auto escaped = engine.findSpanElement(u"\\*a*", {1, 3});
    ASSERT_TRUE(escaped);
    EXPECT_FALSE(escaped->range.has_value());
}

// "*_ *_ ... filler ... x* x*": each level of emphasis holds the next one. With `opener` "*_ "
// each level's first candidate, a '_', is searched for through the whole level in vain.
std::u16string nestedEmphasis(int levels, std::u16string_view opener, std::size_t filler = 0) {
    std::u16string line;
    for (int level = 0; level < levels; ++level)
        line += opener;
    line += std::u16string(filler, u'y');
    for (int level = 0; level < levels; ++level)
        line += u" x*";
    return line;
}

int depthOf(const std::vector<SpanDict>& spans) {
    int depth = 0;
    for (const SpanDict& span : spans)
        depth = std::max(depth, 1 + depthOf(span.spanArray));
    return depth;
}

TEST_F(SpanParserTest, PathologicalLinesAreCutShortNotHung) {
    EXPECT_EQ(depthOf(parse(nestedEmphasis(100, u"*x "))), 100);
    // Deeper nesting than the parser allows: the line holds no element past the limit.
    const int deep = depthOf(parse(nestedEmphasis(5000, u"*x ")));
    EXPECT_GT(deep, 100);
    EXPECT_LT(deep, 5000);

    EXPECT_TRUE(parse(std::u16string(100000, u'[')).empty());

    // Every level searches all of a megabyte for its '_': the line's work runs out long before
    // the innermost level.
    EXPECT_EQ(depthOf(parse(nestedEmphasis(200, u"*_ "))), 200);
    const int costlyDepth = depthOf(parse(nestedEmphasis(200, u"*_ ", 1000000)));
    EXPECT_GT(costlyDepth, 0);
    EXPECT_LT(costlyDepth, 200);
    // The budget starts afresh for each line.
    EXPECT_EQ(depthOf(parse(nestedEmphasis(200, u"*_ "))), 200);
}

// Plain text is passed over eight units at a time: every kind of candidate is found wherever it
// falls in a block, after ASCII and non-ASCII filler alike.
TEST_F(SpanParserTest, CandidatesAreFoundAtEveryOffset) {
    const std::vector<std::pair<std::u16string, std::string>> elements = {
        {u"*a*", "em(a)"},
        {u"**a**", "strong(a)"},
        {u"_a_", "em(a)"},
        {u"__a__", "strong(a)"},
        {u"~~a~~", "strikethrough(a)"},
        {u"~a~", "subscript(a)"},
        {u"^a^", "superscript(a)"},
        {u"`a`", "code(a)"},
        {u"[a](u)", "link(a)"},
        {u"![a](u)", "image(a)"},
        {u"\\<b>", "backslash(<b>)"},
    };
    for (const char16_t filler : {u'w', u'\u00e9', u'\u65e5', u']', u'Z', u'a'}) {
        for (std::size_t offset = 0; offset < 20; ++offset) {
            for (const auto& [element, expected] : elements) {
                const std::u16string line = std::u16string(offset, filler) + u" " + element + u" z";
                EXPECT_EQ(shape(line), expected) << narrow(line);
                const auto spans = parse(line);
                ASSERT_EQ(spans.size(), 1u) << narrow(line);
                EXPECT_EQ(spans[0].range->location, offset + 1) << narrow(line);
            }
            // An escaped candidate begins nothing, wherever it falls.
            const std::u16string escaped = std::u16string(offset, filler) + u"\\*a* z";
            EXPECT_EQ(shape(escaped), "") << narrow(escaped);
        }
    }
}

// Content may not run over a line terminator: the search for the end of the line finds every
// terminator wherever it falls, and takes the characters next to them in value for text.
TEST_F(SpanParserTest, ContentStopsAtATerminatorAtEveryOffset) {
    for (std::size_t offset = 0; offset < 20; ++offset) {
        const std::u16string filler(offset, u'w');
        for (const char16_t terminator : {u'\n', u'\r', u'\v', u'\f', u'\u0085', u'\u2028', u'\u2029'}) {
            const std::u16string line = u"*a" + filler + terminator + u"b*";
            EXPECT_EQ(shape(line), "") << narrow(line) << " terminator " << int(terminator);
        }
        for (const char16_t neighbour : {u'\t', u'\u000e', u'\u0084', u'\u0086', u'\u2027', u'\u202a'}) {
            const std::u16string line = u"*a" + filler + neighbour + u"b*";
            EXPECT_EQ(shape(line), "em(a" + narrow(filler + neighbour) + "b)")
                << narrow(line) << " neighbour " << int(neighbour);
        }
    }
}

} // namespace
} // namespace quillet
