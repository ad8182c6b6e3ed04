// Restyling after an edit: which lines are restyled, what range is returned, link definitions.

#include "EditorStylingTestSupport.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

// A store that passes everything to an AttributedText and notes the lines whose fonts were
// repaired (once per restyled line) and how many attribute changes it was asked for.
class RecordingStore final : public TextStore {
public:
    explicit RecordingStore(AttributedText& inner) : inner_(inner) {}

    std::size_t length() const override { return inner_.length(); }
    char16_t characterAt(std::size_t index) const override { return inner_.characterAt(index); }
    std::u16string_view characters(Range range, std::u16string& scratch) const override {
        return inner_.characters(range, scratch);
    }
    Range lineRange(std::size_t position) const override { return inner_.lineRange(position); }
    TextAttributes attributesAt(std::size_t position, Range* effective) const override {
        return inner_.attributesAt(position, effective);
    }
    void setAttributes(Range range, const TextAttributes& attributes) override {
        ++changes;
        inner_.setAttributes(range, attributes);
    }
    void changeAttributes(Range range, const TextAttributes& added, AttributeKeys removed) override {
        ++changes;
        inner_.changeAttributes(range, added, removed);
    }
    std::vector<FontRun> fontRuns(Range range) const override { return inner_.fontRuns(range); }
    void fixFontAttributes(Range range) override {
        repairedLines.push_back(range);
        inner_.fixFontAttributes(range);
    }

    std::vector<Range> repairedLines;
    int changes = 0;

private:
    AttributedText& inner_;
};

// Restyles `range` of the note through a RecordingStore; returns the lines restyled.
std::vector<Range> restyledLines(StyledNote& note, Range range, Range* returned = nullptr) {
    RecordingStore store(note.text);
    const Range result = note.engine.processMarkdown(store, range);
    if (returned) *returned = result;
    return store.repairedLines;
}

std::vector<Range> lines(const StyledNote& note, std::size_t first, std::size_t last) {
    std::vector<Range> result;
    for (std::size_t i = first; i <= last; ++i)
        result.push_back(note.line(i));
    return result;
}

} // namespace

TEST(EditorStylingRestyle, AnEmptyRangeRestylesItsLineThenFollowsTheIndentedLines) {
    StyledNote note(u"top\n- a\n- b\n\t- c\ntext\n\n\nz\n");
    Range returned;
    // Lines: 0 top, 1 - a, 2 - b, 3 \t- c, 4 text (still in the list), 5 blank (depth 1),
    // 6 blank (depth 0, the first counted), 7 z.
    EXPECT_EQ(restyledLines(note, {note.line(1).location + 1, 0}, &returned), lines(note, 1, 7));
    EXPECT_EQ(returned, Range::fromBounds(note.line(1).location + 1, note.line(7).end()));

    StyledNote plain(u"a\n\n\nb\n\nc\n");
    // Two blank lines at depth 0 end the pass; the second is restyled but not counted.
    EXPECT_EQ(restyledLines(plain, {0, 0}, &returned), lines(plain, 0, 2));
    EXPECT_EQ(returned, (Range{0, plain.line(1).end()}));
    EXPECT_EQ(restyledLines(plain, {plain.line(3).location, 0}, &returned), lines(plain, 3, 5));
    EXPECT_EQ(returned, Range::fromBounds(plain.line(3).location, plain.line(5).end()));
}

TEST(EditorStylingRestyle, AHeaderOutsideAnyContainerEndsThePass) {
    StyledNote note(u"- a\n- b\n# H\nc\n");
    Range returned;
    EXPECT_EQ(restyledLines(note, {0, 1}, &returned), lines(note, 0, 2));
    EXPECT_EQ(returned, (Range{0, note.line(1).end()})); // the header is restyled, not counted

    // A range over several lines restyles each of them first.
    StyledNote longer(u"a\nb\nc\n\n\nd\n");
    EXPECT_EQ(restyledLines(longer, {1, 3}), lines(longer, 0, 4));
}

TEST(EditorStylingRestyle, OneLineIsStyledWithAFewCallsOnTheStore) {
    StyledNote note(u"x\n- an *item* with `code` and a [link](http://x.org)\n");
    RecordingStore store(note.text);
    note.engine.processMarkdown(store, {note.line(1).location, 0});
    ASSERT_EQ(store.repairedLines.size(), 1u);
    // One call for the whole line, one for the list marker, a few per inline element.
    EXPECT_LE(store.changes, 12);
}

TEST(EditorStylingRestyle, OpeningAFenceRestylesEveryLineItNowHolds) {
    StyledNote note(u"intro\n\n# One\ntext *x*\n\n\n- item\n\n\n# Two\nlast\n");
    note.edit({0, 0}, u"```\n");
    for (std::size_t line = 1; line < 12; ++line)
        EXPECT_EQ(note.state(line).codeParagraph, 2) << line;
    EXPECT_EQ(note.at(u"*x*", 1).font, note.engine.codeFont());

    // Closing it again gives the lines their own styling back.
    const Range returned = note.edit({note.line(3).location, 0}, u"```\n");
    EXPECT_EQ(note.state(3).codeParagraph, 1);
    for (std::size_t line = 4; line < 13; ++line)
        EXPECT_EQ(note.state(line).codeParagraph, std::nullopt) << line;
    EXPECT_EQ(note.at(u"*x*", 1).font, note.engine.italicFont());
    EXPECT_EQ(note.at(u"item").font, note.engine.selectedFont());
    EXPECT_EQ(note.state(8).indentDepth, 1);
    // The range covers every line that was restyled.
    EXPECT_EQ(returned, Range::fromBounds(note.line(3).location, note.text.length()));
}

TEST(EditorStylingRestyle, PastTheUsualStopTheLinesBelowFollowAChangedState) {
    // The blank lines below the new list item hand on the same state as before: the pass ends
    // at the second of them as usual.
    StyledNote list(u"a\n\n\n- b\nc\n");
    const Range listed = list.edit({0, 0}, u"- ");
    EXPECT_EQ(listed, Range::fromBounds(0, list.line(1).end()));
    EXPECT_EQ(blocksOf(list.state(1)), stack({}));

    // Opening an HTML block changes the state of every line below, blank lines or not.
    StyledNote html(u"a\n\n\nb\n\n\nc\n");
    const Range opened = html.edit({0, 0}, u"<div>\n");
    EXPECT_EQ(opened, Range::fromBounds(0, html.text.length()));
    for (std::size_t line = 1; line < 8; ++line)
        EXPECT_EQ(html.state(line).htmlBlock, 2) << line;
    const Range closed = html.edit({html.line(2).location, 0}, u"</div>\n");
    EXPECT_EQ(html.state(2).htmlBlock, 1);
    for (std::size_t line = 3; line < 9; ++line)
        EXPECT_EQ(html.state(line).htmlBlock, std::nullopt) << line;
    EXPECT_EQ(html.at(u"c").font, html.engine.selectedFont());
    EXPECT_EQ(closed, Range::fromBounds(html.line(2).location, html.text.length()));

    // Once past the usual stop, the pass ends at the first line that hands on what it did before.
    StyledNote closing(u"x\n\n\n</div>\nz\n\n\nw\n");
    closing.text.replaceCharacters({0, 0}, u"<div>\n");
    Range returned;
    // Now: 0 <div>, 1-3 inside (3 is where the usual rule stops), 4 </div>, 5 z as before.
    EXPECT_EQ(restyledLines(closing, {0, 6}, &returned), lines(closing, 0, 5));
    EXPECT_EQ(returned, Range::fromBounds(0, closing.line(5).end()));
    EXPECT_EQ(closing.state(3).htmlBlock, 2);
    EXPECT_EQ(closing.state(4).htmlBlock, 1);
    EXPECT_EQ(closing.state(5).htmlBlock, std::nullopt);
}

TEST(EditorStylingRestyle, DefinitionsAreWithdrawnBeforeAnEditAndRegisteredAfterIt) {
    StyledNote note(u"[t][id]\n[id]: http://a.com \"A\"\n[other]: http://o.org\n");
    MarkdownString& engine = note.engine;
    ASSERT_TRUE(engine.labelDictForLabel(u"id"));
    EXPECT_EQ(engine.labelDictForLabel(u"id")->urlString, u"http://a.com");

    note.edit(note.find(u"a.com"), u"b.net");
    EXPECT_EQ(engine.labelDictForLabel(u"id")->urlString, u"http://b.net");
    EXPECT_EQ(engine.labelDictForLabel(u"id")->options, u"A");

    note.edit(note.find(u" \"A\""), u"");
    EXPECT_EQ(engine.labelDictForLabel(u"id")->options, std::nullopt);

    // A new label: the old one loses its definition and keeps its use; the new one stands.
    note.edit(note.find(u"id]:"), u"ik]:");
    ASSERT_TRUE(engine.labelDictForLabel(u"id"));
    EXPECT_EQ(engine.labelDictForLabel(u"id")->urlString, std::nullopt);
    ASSERT_TRUE(engine.labelDictForLabel(u"ik"));
    EXPECT_EQ(engine.labelDictForLabel(u"ik")->urlString, u"http://b.net");
    EXPECT_EQ(*note.at(u"ik").mdBlockLinkLabel, u"ik");

    // Deleting a definition line that nothing uses removes its record.
    note.edit(note.line(2), u"");
    EXPECT_FALSE(engine.labelDictForLabel(u"other"));
    // Editing another line leaves the definitions alone.
    note.edit({0, 0}, u"x");
    EXPECT_EQ(engine.labelDictForLabel(u"ik")->urlString, u"http://b.net");
}
