// Search marks: every occurrence painted orange, an empty target clears them, marking never
// restyles, and marks follow edits.

#include "editor/SearchMarks.h"

#include "EditorTestSupport.h"
#include "editor/StyleRenderer.h"

#include <QFontInfo>

namespace quillet::test {
namespace {

using SearchMarksTest = EditorFixture;

// The block's text with every character drawn on the search mark's colour shown as '^'.
std::string marksIn(const QTextBlock& block) {
    std::string marks(static_cast<std::size_t>(block.length() - 1), ' ');
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
        if (range.format.background().color() == StyleRenderer::searchMarkColor())
            marks.replace(static_cast<std::size_t>(range.start), static_cast<std::size_t>(range.length),
                          static_cast<std::size_t>(range.length), '^');
    return marks;
}

TEST_F(SearchMarksTest, EveryOccurrenceIsMarkedAndAnEmptyTargetClearsThem) {
    editor.setString(QStringLiteral("foo bar foo\nfoofoo # foo\n"));
    editor.setSearchTarget(QStringLiteral("foo"));
    EXPECT_EQ(marksIn(block(0)), "^^^     ^^^");
    EXPECT_EQ(marksIn(block(1)), "^^^^^^   ^^^");
    editor.markSearchTarget(QStringLiteral("Foo")); // case-sensitive: nothing
    EXPECT_EQ(marksIn(block(0)), "           ");
    editor.markSearchTarget(QStringLiteral("foo"));
    editor.setSearchTarget(QString());
    EXPECT_EQ(marksIn(block(1)), "            ");
}

TEST_F(SearchMarksTest, MarkingNeverRestylesAndANewTextIsMarkedAgain) {
    editor.setString(QStringLiteral("# find me\n"));
    const TextAttributes before = attributesAt(4);
    const int autosaves = host.edits;
    editor.setSearchTarget(QStringLiteral("me"));
    EXPECT_TRUE(attributesAt(4) == before);
    EXPECT_EQ(host.edits, autosaves);
    EXPECT_FALSE(document().isModified());
    EXPECT_FALSE(document().isUndoAvailable());
    EXPECT_EQ(marksIn(block(0)), "       ^^");
    EXPECT_GE(QFontInfo(drawnFormat(block(0), 7).font()).weight(), QFont::DemiBold); // the header under it

    editor.setString(QStringLiteral("me and me"));
    EXPECT_EQ(marksIn(block(0)), "^^     ^^");
}

TEST(SearchMarksModel, MarksFollowEditsAroundAndInsideThem) {
    SearchMarks marks;
    marks.mark(u"ab ab ab", u"ab");
    ASSERT_EQ(marks.ranges().size(), 3u);
    marks.textReplaced(0, 0, 2); // typed before the first mark
    EXPECT_EQ(marks.ranges()[0], (Range{2, 2}));
    marks.textReplaced(3, 0, 1); // typed inside it
    EXPECT_EQ(marks.ranges()[0], (Range{2, 3}));
    marks.textReplaced(6, 4, 0); // the second mark and the head of the third deleted
    EXPECT_EQ(marks.ranges().size(), 2u);
    EXPECT_EQ(marks.ranges()[1], (Range{6, 1}));
    EXPECT_EQ(marks.within(3, 7), (std::vector<Range>{{3, 2}, {6, 1}}));
    EXPECT_EQ(marks.within(4, 6), (std::vector<Range>{{4, 1}}));
    marks.mark(u"aaaa", u"aa");
    EXPECT_EQ(marks.ranges(), (std::vector<Range>{{0, 2}, {2, 2}}));
    marks.mark(u"text", u"");
    EXPECT_TRUE(marks.ranges().empty());
}

} // namespace
} // namespace quillet::test
