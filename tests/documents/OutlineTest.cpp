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

TEST(Outline, HeadersNestByLevelOverEveryLineBreak) {
    const OutlineNodeRef root = createOutline(u"# A\r\n## B\ntext\u2028# C\n");
    EXPECT_EQ(root->range, (Range{0, 19}));
    ASSERT_EQ(headersOf(*root), (QStringList{"# A", "# C"}));
    const OutlineNode& a = *root->children[0];
    EXPECT_EQ(a.depth, 1);
    EXPECT_EQ(a.headerRange, (Range{0, 5}));
    EXPECT_EQ(a.range, (Range{5, 10})); // after A's line, up to C's
    ASSERT_EQ(headersOf(a), QStringList{"## B"});
    EXPECT_EQ(a.children[0]->depth, 2);
    EXPECT_EQ(a.children[0]->range, (Range{10, 5}));
    const OutlineNode& c = *root->children[1];
    EXPECT_EQ(c.headerRange, (Range{15, 4}));
    EXPECT_EQ(c.range, (Range{19, 0}));
    EXPECT_TRUE(createOutline(u"")->children.empty());
    EXPECT_EQ(createOutline(u"one\ntwo\n")->range, (Range{0, 8}));
}

TEST(Outline, SkippedLevelsNestOneDeeper) {
    const OutlineNodeRef root = createOutline(u"# A\n### B\n## C\n");
    ASSERT_EQ(headersOf(*root->children[0]), (QStringList{"### B", "## C"}));
    EXPECT_EQ(root->children[0]->children[1]->depth, 2);

    const OutlineNodeRef early = createOutline(u"intro\n## X\n## W\n# Y\n### Z");
    ASSERT_EQ(headersOf(*early), (QStringList{"## X", "## W", "# Y"}));
    EXPECT_EQ(early->children[1]->depth, 1);
    const OutlineNode& z = *early->children[2]->children[0];
    EXPECT_EQ(z.depth, 2);
    EXPECT_EQ(z.headerString, QStringLiteral("### Z")); // no line break
    EXPECT_EQ(z.headerRange, (Range{20, 5}));
}

TEST(Outline, WhatIsAHeader) {
    const struct {
        const char16_t* line;
        QChar key;
        int level;
    } cases[] = {{u"# A\n", u'#', 1}, {u"####### x", u'#', 7}, {u"== x", u'=', 2}, {u"#word", u'#', 0},
                 {u"#\tx", u'#', 0},  {u"# \n", u'#', 0},      {u"# ", u'#', 0},   {u"###", u'#', 0},
                 {u"", u'#', 0},      {u" # x", u'#', 0}};
    for (const auto& c : cases)
        EXPECT_EQ(lengthOfSequence(c.line, c.key), c.level) << QString::fromUtf16(c.line).toStdString();
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

    // A range ends at a shallower header.
    const QString text = QStringLiteral("## a\ntext\n# b\n## c\n");
    OutlineNode node;
    EXPECT_EQ(updateOutline(node, text, {0, std::size_t(text.size())}, 2), 10u);
    EXPECT_EQ(headersOf(node), QStringList{"## a"});
}

TEST(Outline, TitlesOfHeaderLines) {
    const struct {
        const char16_t* line;
        int level;
        const char* title;
    } cases[] = {{u"# Title ##", 1, "Title"},
                 {u"## Plan\n", 2, "Plan"},
                 {u"## Plan\r\n", 2, "Plan"},
                 {u"# Title ##\n", 1, "Title"},
                 {u"# A#", 1, "A#"},
                 {u"#  ##", 1, ""},
                 {u"# ", 1, ""},
                 {u"#", 1, ""},
                 {u"", 3, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(titleInLine(c.line, c.level), QString::fromUtf8(c.title))
            << QString::fromUtf16(c.line).toStdString();
    // The closing hashes are found in one pass: a pattern that backtracks takes forever here.
    const QString longTitle(1000000, u'a');
    EXPECT_EQ(titleInLine(QStringLiteral("# ") + longTitle + QStringLiteral(" ##\n"), 1), longTitle);
}

} // namespace
} // namespace quillet
