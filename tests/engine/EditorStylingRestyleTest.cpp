// Restyling after an edit: which lines are restyled, what range is returned, and what the edit
// takes away (link definitions, links, labels).

#include "EditorStylingTestSupport.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

// Restyles `range` as the editor does after an edit; returns the range it reports restyled.
Range restyled(StyledNote& note, Range range) {
    return note.engine.processMarkdown(note.text, range);
}

} // namespace

TEST(EditorStylingRestyle, ThePassFollowsIndentedLinesAndEndsAtTwoBlankLinesOrAHeader) {
    // 0 top, 1 - a, 2 - b, 3 \t- c, 4 text (still in the list), 5 blank (depth 1), 6 blank
    // (depth 0, the first counted), 7 z.
    StyledNote list(u"top\n- a\n- b\n\t- c\ntext\n\n\nz\n");
    const std::size_t inItem = list.line(1).location + 1;
    EXPECT_EQ(restyled(list, {inItem, 0}), Range::fromBounds(inItem, list.line(7).end()));
    // Two blank lines at depth 0 end the pass, and so does a header outside any container; the
    // line that ends it is not counted.
    StyledNote plain(u"a\n\n\nb\n\nc\n");
    EXPECT_EQ(restyled(plain, {0, 0}), (Range{0, plain.line(1).end()}));
    StyledNote header(u"- a\n- b\n# H\nc\n");
    EXPECT_EQ(restyled(header, {0, 1}), (Range{0, header.line(1).end()}));
}

TEST(EditorStylingRestyle, OpeningAndClosingAFenceRestylesEveryLineItHolds) {
    StyledNote note(u"intro\n\n# One\ntext *x*\n\n\n- item\n\n\n# Two\nlast\n");
    note.edit({0, 0}, u"```\n");
    for (std::size_t line = 1; line < 12; ++line)
        EXPECT_EQ(note.state(line).codeParagraph, 2) << line;
    EXPECT_EQ(note.at(u"x*").font, note.engine.codeFont());

    const Range returned = note.edit({note.line(3).location, 0}, u"```\n");
    EXPECT_EQ(note.state(3).codeParagraph, 1);
    for (std::size_t line = 4; line < 13; ++line)
        EXPECT_EQ(note.state(line).codeParagraph, std::nullopt) << line;
    EXPECT_EQ(note.at(u"x*").font, note.engine.italicFont());
    EXPECT_EQ(note.state(8).indentDepth, 1);
    EXPECT_EQ(returned, Range::fromBounds(note.line(3).location, note.text.length()));
}

TEST(EditorStylingRestyle, PastTheUsualStopTheLinesBelowFollowAChangedState) {
    // The blank lines below the new list item hand on the same state as before.
    StyledNote list(u"a\n\n\n- b\nc\n");
    const Range listed = list.edit({0, 0}, u"- ");
    EXPECT_EQ(listed, Range::fromBounds(0, list.line(1).end()));

    // Opening an HTML block changes the state of every line below, blank lines or not.
    StyledNote html(u"a\n\n\nb\n\n\nc\n");
    const Range opened = html.edit({0, 0}, u"<div>\n");
    EXPECT_EQ(opened, Range::fromBounds(0, html.text.length()));
    for (std::size_t line = 1; line < 8; ++line)
        EXPECT_EQ(html.state(line).htmlBlock, 2) << line;

    // Once past the usual stop, the pass ends at the first line that hands on what it did before.
    StyledNote closing(u"x\n\n\n</div>\nz\n\n\nw\n");
    closing.text.replaceCharacters({0, 0}, u"<div>\n");
    // Now: 0 <div>, 1-3 inside (3 is where the usual rule stops), 4 </div>, 5 z as before.
    EXPECT_EQ(restyled(closing, {0, 6}), Range::fromBounds(0, closing.line(5).end()));
    EXPECT_EQ(closing.state(4).htmlBlock, 1);
    EXPECT_EQ(closing.state(5).htmlBlock, std::nullopt);
}

TEST(EditorStylingRestyle, DefinitionsAreWithdrawnBeforeAnEditAndRegisteredAfterIt) {
    StyledNote note(u"[t][id]\n[id]: http://a.com \"A\"\n[other]: http://o.org\n");
    MarkdownString& engine = note.engine;
    note.edit(note.find(u"a.com"), u"b.net");
    ASSERT_TRUE(engine.labelDictForLabel(u"id"));
    EXPECT_EQ(engine.labelDictForLabel(u"id")->urlString, u"http://b.net");
    EXPECT_EQ(engine.labelDictForLabel(u"id")->options, u"A");
    note.edit(note.find(u" \"A\""), u"");
    EXPECT_EQ(engine.labelDictForLabel(u"id")->options, std::nullopt);

    // A new label: the old one loses its definition and keeps its use; the new one stands.
    note.edit(note.find(u"id]:"), u"ik]:");
    ASSERT_TRUE(engine.labelDictForLabel(u"id") && engine.labelDictForLabel(u"ik"));
    EXPECT_EQ(engine.labelDictForLabel(u"id")->urlString, std::nullopt);
    EXPECT_EQ(engine.labelDictForLabel(u"ik")->urlString, u"http://b.net");
    EXPECT_EQ(*note.at(u"ik").mdBlockLinkLabel, u"ik");

    // Deleting a definition line that nothing uses removes its record; editing another line
    // leaves the definitions alone.
    note.edit(note.line(2), u"");
    EXPECT_FALSE(engine.labelDictForLabel(u"other"));
    note.edit({0, 0}, u"x");
    ASSERT_TRUE(engine.labelDictForLabel(u"ik"));
    EXPECT_EQ(engine.labelDictForLabel(u"ik")->urlString, u"http://b.net");

    // A definition broken by an edit loses its label styling.
    note.edit(note.find(u"]:"), u"] ");
    EXPECT_FALSE(note.at(u"ik").mdBlockLinkLabel);
    EXPECT_EQ(note.at(u"ik").foregroundColor, TextColor::text);
}

TEST(EditorStylingRestyle, ALinkBrokenByAnEditLosesItsTarget) {
    StyledNote note(u"[t](http://a.com) x\n");
    ASSERT_TRUE(note.at(u"http://a.com").link);
    note.edit(note.find(u"]("), u" (");
    EXPECT_FALSE(note.at(u"http://a.com").link);
}
