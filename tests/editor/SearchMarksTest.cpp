// Search marks: every occurrence painted orange, an empty target clears them, marking never
// restyles, and marks follow edits.

#include "editor/SearchMarks.h"

#include "EditorTestSupport.h"
#include "editor/StyleRenderer.h"

#include <QTest>

namespace quillet::test {
namespace {

using SearchMarksTest = EditorFixture;

bool markedAt(const QTextBlock& block, int position) {
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
        if (position >= range.start && position < range.start + range.length &&
            range.format.background().color() == StyleRenderer::searchMarkColor())
            return true;
    return false;
}

TEST_F(SearchMarksTest, EveryOccurrenceIsMarkedAndAnEmptyTargetClearsThem) {
    editor.setString(QStringLiteral("foo bar foo\nfoofoo # foo\n"));
    editor.setSearchTarget(QStringLiteral("foo"));
    EXPECT_EQ(editor.searchTarget(), QStringLiteral("foo"));
    EXPECT_TRUE(markedAt(block(0), 0));
    EXPECT_TRUE(markedAt(block(0), 2));
    EXPECT_FALSE(markedAt(block(0), 3));
    EXPECT_TRUE(markedAt(block(0), 8));
    EXPECT_TRUE(markedAt(block(1), 0));
    EXPECT_TRUE(markedAt(block(1), 5));
    EXPECT_TRUE(markedAt(block(1), 9));
    EXPECT_FALSE(markedAt(block(1), 6));

    editor.markSearchTarget(QStringLiteral("Foo")); // case-sensitive: nothing
    EXPECT_FALSE(markedAt(block(0), 0));
    editor.markSearchTarget(QStringLiteral("foo"));
    editor.setSearchTarget(QString());
    for (int i = 0; i < block(1).length() - 1; ++i)
        EXPECT_FALSE(markedAt(block(1), i)) << i;
}

TEST_F(SearchMarksTest, MarkingNeverRestylesAndANewTextIsMarkedAgain) {
    editor.setString(QStringLiteral("# find me\n"));
    const TextAttributes before = attributesAt(4);
    const int autosaves = host.edits;
    const bool wasModified = document().isModified();
    editor.setSearchTarget(QStringLiteral("me"));
    EXPECT_TRUE(attributesAt(4) == before);
    EXPECT_EQ(host.edits, autosaves);
    EXPECT_EQ(document().isModified(), wasModified);
    EXPECT_FALSE(document().isUndoAvailable());
    // The header styling is still drawn under the mark.
    EXPECT_TRUE(markedAt(block(0), 7));

    editor.setString(QStringLiteral("me and me"));
    EXPECT_TRUE(markedAt(block(0), 0));
    EXPECT_TRUE(markedAt(block(0), 7));
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
