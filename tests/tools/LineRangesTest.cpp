#include "tools/LineRanges.h"

#include <gtest/gtest.h>

using quillet::Range;
using quillet::convert::lineRangeAt;

TEST(LineRanges, EveryTerminatorEndsALine) {
    for (std::u16string terminator : {u"\n", u"\r", u"\r\n", u"\u0085", u"\u2028", u"\u2029"}) {
        const std::u16string text = u"ab" + terminator + u"cd";
        const std::size_t second = 2 + terminator.size();
        EXPECT_EQ(lineRangeAt(text, 0), (Range{0, second})) << text.size();
        EXPECT_EQ(lineRangeAt(text, 2), (Range{0, second})) << "on the terminator";
        EXPECT_EQ(lineRangeAt(text, second), (Range{second, 2}));
        EXPECT_EQ(lineRangeAt(text, second + 1), (Range{second, 2}));
    }
}

TEST(LineRanges, VerticalTabAndFormFeedDoNotEndALine) {
    EXPECT_EQ(lineRangeAt(u"a\vb\fc\nd", 4), (Range{0, 6}));
}

TEST(LineRanges, CrLfIsOneTerminator) {
    const std::u16string text = u"a\r\nb\n\r\nc";
    EXPECT_EQ(lineRangeAt(text, 2), (Range{0, 3})) << "the LF of a pair belongs to the line the pair ends";
    EXPECT_EQ(lineRangeAt(text, 3), (Range{3, 2}));
    EXPECT_EQ(lineRangeAt(text, 5), (Range{5, 2})) << "an empty line ended by CR LF";
    EXPECT_EQ(lineRangeAt(text, 6), (Range{5, 2}));
    EXPECT_EQ(lineRangeAt(u"\n\r", 1), (Range{1, 1})) << "LF CR is two terminators";
}

TEST(LineRanges, EndsOfTheText) {
    EXPECT_EQ(lineRangeAt(u"", 0), (Range{0, 0}));
    EXPECT_EQ(lineRangeAt(u"ab", 2), (Range{0, 2}));
    EXPECT_EQ(lineRangeAt(u"ab", 99), (Range{0, 2}));
    EXPECT_EQ(lineRangeAt(u"ab\n", 3), (Range{3, 0}));
    EXPECT_EQ(lineRangeAt(u"\n\n", 1), (Range{1, 1}));
}
