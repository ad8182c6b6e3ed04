#include "documents/Outline.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quillet {
namespace {

QStringList headersOf(const OutlineNode& node) {
    QStringList headers;
    for (const OutlineNodeRef& child : node.children)
        headers.append(child->headerString);
    return headers;
}

TEST(Outline, HeadersNestByLevel) {
    const QString text = QStringLiteral("# A\n## B\nplain\n# C\n");
    const OutlineNodeRef root = createOutline(text);
    EXPECT_EQ(root->range, (Range{0, 19}));
    ASSERT_EQ(headersOf(*root), (QStringList{"# A", "# C"}));
    const OutlineNode& a = *root->children[0];
    EXPECT_EQ(a.depth, 1);
    EXPECT_EQ(a.headerRange, (Range{0, 4}));
    EXPECT_EQ(a.range, (Range{4, 11})); // after A's line, up to C's
    ASSERT_EQ(headersOf(a), QStringList{"## B"});
    EXPECT_EQ(a.children[0]->depth, 2);
    EXPECT_EQ(a.children[0]->range, (Range{9, 6}));
    EXPECT_TRUE(a.children[0]->children.empty());
    const OutlineNode& c = *root->children[1];
    EXPECT_EQ(c.depth, 1);
    EXPECT_EQ(c.headerRange, (Range{15, 4}));
    EXPECT_EQ(c.range, (Range{19, 0}));
}

TEST(Outline, SkippedLevelsNest) {
    const OutlineNodeRef root = createOutline(u"# A\n### B\n## C\n");
    ASSERT_EQ(headersOf(*root), QStringList{"# A"});
    const OutlineNode& a = *root->children[0];
    ASSERT_EQ(headersOf(a), (QStringList{"### B", "## C"}));
    EXPECT_EQ(a.children[0]->depth, 2);
    EXPECT_EQ(a.children[1]->depth, 2);

    const OutlineNodeRef early = createOutline(u"intro\n## X\n# Y\n### Z");
    ASSERT_EQ(headersOf(*early), (QStringList{"## X", "# Y"}));
    EXPECT_EQ(early->children[0]->depth, 1);
    EXPECT_EQ(early->children[1]->children[0]->depth, 2);
    EXPECT_EQ(early->children[1]->children[0]->headerString, QStringLiteral("### Z")); // no line break
    EXPECT_EQ(early->children[1]->children[0]->headerRange, (Range{15, 5}));
}

TEST(Outline, WhatIsAHeader) {
    EXPECT_EQ(lengthOfSequence(u"# A\n", u'#'), 1);
    EXPECT_EQ(lengthOfSequence(u"####### x", u'#'), 7);
    EXPECT_EQ(lengthOfSequence(u"== x", u'='), 2);
    EXPECT_EQ(lengthOfSequence(u"#word", u'#'), 0);
    EXPECT_EQ(lengthOfSequence(u"#\tx", u'#'), 0);
    EXPECT_EQ(lengthOfSequence(u"# \n", u'#'), 0);
    EXPECT_EQ(lengthOfSequence(u"# ", u'#'), 0);
    EXPECT_EQ(lengthOfSequence(u"###", u'#'), 0);
    EXPECT_EQ(lengthOfSequence(u"", u'#'), 0);
    EXPECT_EQ(lengthOfSequence(u" # x", u'#'), 0);
    EXPECT_TRUE(createOutline(u"#word\n#\n# \n#\tx\n")->children.empty());
}

TEST(Outline, EmptyAndHeaderlessTexts) {
    const OutlineNodeRef empty = createOutline(u"");
    EXPECT_TRUE(empty->children.empty());
    EXPECT_EQ(empty->range, (Range{0, 0}));
    const OutlineNodeRef plain = createOutline(u"one\ntwo\n");
    EXPECT_TRUE(plain->children.empty());
    EXPECT_EQ(plain->range, (Range{0, 8}));
}

TEST(Outline, AllLineBreaksCount) {
    const OutlineNodeRef root = createOutline(u"# A\r\n## B\r\ntext\u2028# C");
    ASSERT_EQ(headersOf(*root), (QStringList{"# A", "# C"}));
    EXPECT_EQ(root->children[0]->headerRange, (Range{0, 5}));
    EXPECT_EQ(root->children[0]->children[0]->headerRange, (Range{5, 6}));
    EXPECT_EQ(root->children[0]->range, (Range{5, 11}));
}

TEST(Outline, UpdatingReusesNodesAndDropsStaleOnes) {
    OutlineNode root;
    updateRoot(root, u"# A\n## A1\n## A2\n# B\n");
    ASSERT_EQ(root.children.size(), 2u);
    const OutlineNodeRef firstNode = root.children[0];
    updateRoot(root, u"# New\n");
    ASSERT_EQ(headersOf(root), QStringList{"# New"});
    EXPECT_EQ(root.children[0], firstNode);
    EXPECT_TRUE(firstNode->children.empty());
    EXPECT_EQ(firstNode->range, (Range{6, 0}));
}

TEST(Outline, UpdatingARangeStopsAtAShallowerHeader) {
    const QString text = QStringLiteral("## a\ntext\n# b\n## c\n");
    OutlineNode node;
    const std::size_t consumed = updateOutline(node, text, {0, static_cast<std::size_t>(text.size())}, 2);
    EXPECT_EQ(consumed, 10u);
    EXPECT_EQ(node.range, (Range{0, 10}));
    EXPECT_EQ(headersOf(node), QStringList{"## a"});
}

TEST(Outline, HugeNotesStayLinear) {
    QString text = QStringLiteral("# Start\n");
    const QString line = QStringLiteral("a line of the note that goes on for a while\n");
    while (text.size() < 25'000'000)
        text += line; // 50 MB of UTF-16
    text += QStringLiteral("## End");
    const OutlineNodeRef root = createOutline(text);
    ASSERT_EQ(root->children.size(), 1u);
    ASSERT_EQ(root->children[0]->children.size(), 1u);
    EXPECT_EQ(root->children[0]->range.end(), static_cast<std::size_t>(text.size()));
}

TEST(Outline, TitlesOfHeaderLines) {
    EXPECT_EQ(titleInLine(u"# Title ##", 1), QStringLiteral("Title"));
    EXPECT_EQ(titleInLine(u"## Plan\n", 2), QStringLiteral("Plan"));
    EXPECT_EQ(titleInLine(u"## Plan\r\n", 2), QStringLiteral("Plan"));
    EXPECT_EQ(titleInLine(u"# Title ##\n", 1), QStringLiteral("Title"));
    EXPECT_EQ(titleInLine(u"# A", 1), QStringLiteral("A"));
    EXPECT_EQ(titleInLine(u"# A#", 1), QStringLiteral("A#"));
    EXPECT_EQ(titleInLine(u"#  ##", 1), QString()); // all closing markers
    EXPECT_EQ(titleInLine(u"# ", 1), QString());
    EXPECT_EQ(titleInLine(u"#", 1), QString());
    EXPECT_EQ(titleInLine(u"", 3), QString());
    const QString longTitle(1000000, u'a');
    EXPECT_EQ(titleInLine(QStringLiteral("# ") + longTitle + QStringLiteral(" ##\n"), 1), longTitle);
}

} // namespace
} // namespace quillet
