#include "tools/LineRanges.h"

#include <gtest/gtest.h>

using quillet::Range;
using quillet::convert::lineRangeAt;

TEST(LineRanges, EveryTerminatorEndsALineAndCrLfIsOne) {
    for (std::u16string terminator : {u"\n", u"\r", u"\r\n", u"\u0085", u"\u2028", u"\u2029"}) {
        const std::u16string text = u"ab" + terminator + u"cd";
        const std::size_t second = 2 + terminator.size();
        EXPECT_EQ(lineRangeAt(text, 2), (Range{0, second})) << "on the terminator " << int(terminator[0]);
        EXPECT_EQ(lineRangeAt(text, second - 1), (Range{0, second})) << int(terminator[0]);
        EXPECT_EQ(lineRangeAt(text, second), (Range{second, 2})) << int(terminator[0]);
    }
    EXPECT_EQ(lineRangeAt(u"a\vb\fc\nd", 4), (Range{0, 6})) << "VT and FF end no line";
    EXPECT_EQ(lineRangeAt(u"a\n\r\nc", 2), (Range{2, 2})) << "an empty line ended by CR LF";
    EXPECT_EQ(lineRangeAt(u"\n\r", 1), (Range{1, 1})) << "LF CR is two terminators";
}

TEST(LineRanges, EndsOfTheText) {
    EXPECT_EQ(lineRangeAt(u"", 0), (Range{0, 0}));
    EXPECT_EQ(lineRangeAt(u"ab", 99), (Range{0, 2}));
    EXPECT_EQ(lineRangeAt(u"ab\n", 3), (Range{3, 0}));
}
