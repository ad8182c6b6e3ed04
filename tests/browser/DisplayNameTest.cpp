#include "browser/DisplayName.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(DisplayName, TitleOfHeaderLines) {
    EXPECT_EQ(displaynameFromFirstline(u"# Shopping list #"), QStringLiteral("Shopping list"));
    EXPECT_EQ(displaynameFromFirstline(u"##   Plan"), QStringLiteral("Plan"));
    EXPECT_EQ(displaynameFromFirstline(u"  indented"), QStringLiteral("indented"));
    EXPECT_EQ(displaynameFromFirstline(u"Plain words"), QStringLiteral("Plain words"));
    EXPECT_EQ(displaynameFromFirstline(u"### Deep ###   "), QStringLiteral("Deep ###   "));
    EXPECT_EQ(displaynameFromFirstline(u"# a"), QStringLiteral("a"));
}

TEST(DisplayName, OnlyTheFirstLineCounts) {
    EXPECT_EQ(displaynameFromFirstline(u"# Title\nsecond line"), QStringLiteral("Title"));
    EXPECT_EQ(displaynameFromFirstline(u"# Title\r\nsecond"), QStringLiteral("Title"));
    EXPECT_EQ(displaynameFromFirstline(u"Title\u2029rest"), QStringLiteral("Title"));
    EXPECT_EQ(displaynameFromFirstline(u"\n# Title"), QString());
    EXPECT_EQ(displaynameFromFirstline(u""), QString());
}

TEST(DisplayName, MarkersWithoutTitleKeepTheWholeLine) {
    EXPECT_EQ(displaynameFromFirstline(u"## #"), QStringLiteral("## #"));
    EXPECT_EQ(displaynameFromFirstline(u"###"), QStringLiteral("###"));
    EXPECT_EQ(displaynameFromFirstline(u"#   "), QStringLiteral("#   "));
}

TEST(DisplayName, TitleRanges) {
    EXPECT_EQ(stringRangeInHeader(u""), (Range{0, 0}));
    EXPECT_EQ(stringRangeInHeader(u"# Shopping list #"), (Range{2, 13}));
    EXPECT_EQ(stringRangeInHeader(u"no markers"), (Range{0, 10}));
    EXPECT_EQ(stringRangeInHeader(u"## #"), (Range{3, 0}));
    EXPECT_EQ(stringRangeInHeader(u"# x"), (Range{2, 1}));
    EXPECT_EQ(stringRangeInHeader(u"\t#\tTabbed\t##"), (Range{3, 6}));
}

TEST(DisplayName, HugeFirstLinesKeepTheirExactTitle) {
    // Long runs of blanks or of text once made the closing-marker search quadratic.
    const QString blanks = QStringLiteral("T") + QString(300000, u' ') + QStringLiteral("x");
    EXPECT_EQ(displaynameFromFirstline(QStringLiteral("# ") + blanks + QStringLiteral(" ##")), blanks);
    const QString text(1000000, u'a');
    EXPECT_EQ(displaynameFromFirstline(QStringLiteral("# ") + text + QStringLiteral(" #\nnext")), text);
}

} // namespace
} // namespace quillet
