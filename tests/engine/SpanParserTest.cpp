// The inline parser beyond what the dialect examples show (tests/dialect/20-inline.md): link
// titles, label uses, single candidates, every offset of a scanned block, and lines that would
// cost too much.

#include "engine/MarkdownString.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quillet {
namespace {

std::string narrow(std::u16string_view text) {
    std::string out(text.size(), '?');
    std::transform(text.begin(), text.end(), out.begin(),
                   [](char16_t c) { return c < 0x80 ? char(c) : '?'; });
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

TEST_F(SpanParserTest, TheBlankAfterAClosingMarkerStaysOutside) {
    for (const std::u16string line :
         {u"*ab* x", u"*ab*\tx", u"*ab*\n", u"*ab*\r", u"*ab*\u00a0x", u"`ab`\u2028"}) {
        const auto spans = parse(line);
        ASSERT_EQ(spans.size(), 1u) << narrow(line);
        EXPECT_TRUE(spans[0].range == (Range{0, 4}) && spans[0].strRange == (Range{1, 2})) << narrow(line);
    }
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
    EXPECT_EQ(title(u"[t](u \"\")"), "\"\""); // two characters are kept as found
    EXPECT_EQ(title(u"[t](u)"), "-");
    // The URL stops at a blank, a '"' or a ')'; blanks before it do not move the text's end.
    const auto spans = parse(u"[t](  u\"x\")");
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].reference, u"u");
    EXPECT_EQ(spans[0].strRange, (Range{1, 1}));
}

TEST_F(SpanParserTest, LabelLinksRecordTheirUseInTheTable) {
    EXPECT_EQ(shape(u"[t][r] and [s][] ![i][logo]"), "link(t) link(s) image(i)");
    const LinkLabelRef r = engine.labelDictForLabel(u"r");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->references, std::vector<Range>{(Range{4, 1})});
    EXPECT_FALSE(r->urlString.has_value());
    EXPECT_TRUE(engine.labelDictForLabel(u"s"));
    EXPECT_TRUE(engine.labelDictForLabel(u"logo"));
    EXPECT_FALSE(engine.labelDictForLabel(u"t"));
}

TEST_F(SpanParserTest, SingleCandidates) {
    // Nothing begins at the candidate: a record without a range that names it.
    const auto nothing = engine.findSpanElement(u"ab*cd", {0, 5});
    ASSERT_TRUE(nothing);
    EXPECT_FALSE(nothing->range.has_value());
    EXPECT_EQ(nothing->strRange, (Range{2, 0}));
    EXPECT_FALSE(engine.findSpanElement(u"plain text", {0, 10}));
    // A match may begin after the candidate.
    const auto later = engine.findSpanElement(u"a* *b*", {0, 6});
    ASSERT_TRUE(later && later->range);
    EXPECT_EQ(*later->range, (Range{3, 3}));
    // What a search learns about one text is not carried over to the next.
    ASSERT_TRUE(engine.findSpanElement(u"*ab cd* and some more text", {0, 26})->range);
    EXPECT_FALSE(engine.findSpanElement(u"*ab\vcd* x", {0, 10})->range);
    // The character before the range still escapes the candidate.
    EXPECT_FALSE(engine.findSpanElement(u"\\*a*", {1, 3})->range.has_value());
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
    const std::u16string elements[] = {u"*a*", u"**a**", u"_a_",    u"__a__",   u"~~a~~", u"~a~",
                                       u"^a^", u"`a`",   u"[a](u)", u"![a](u)", u"\\<b>"};
    const std::string shapes[] = {
        "em(a)",          "strong(a)", "em(a)",   "strong(a)", "strikethrough(a)", "subscript(a)",
        "superscript(a)", "code(a)",   "link(a)", "image(a)",  "backslash(<b>)"};
    for (const char16_t filler : {u'w', u'\u00e9', u'\u65e5', u']', u'Z', u'a'}) {
        for (std::size_t offset = 0; offset < 20; ++offset) {
            for (std::size_t kind = 0; kind < std::size(elements); ++kind) {
                const std::u16string line = std::u16string(offset, filler) + u" " + elements[kind] + u" z";
                const auto spans = parse(line);
                EXPECT_EQ(outline(spans, line), shapes[kind]) << narrow(line);
                EXPECT_TRUE(spans.size() != 1 || spans[0].range->location == offset + 1) << narrow(line);
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
