#include "engine/Range.h"

#include <gtest/gtest.h>

using quillet::Range;

TEST(Range, TextFormRoundTripsAndMalformedTextIsRefused) {
    EXPECT_EQ(Range({12, 5}).toString(), "{12, 5}");
    EXPECT_EQ(Range::parse(" { 0 ,0 } "), Range({0, 0}));
    EXPECT_EQ(Range::parse(Range({123456789, 42}).toString()), Range({123456789, 42}));
    for (const char* bad : {"", "{}", "{1}", "{1,}", "{1, 2", "1, 2}", "{-1, 2}", "{1, 2} x", "{a, 2}"})
        EXPECT_FALSE(Range::parse(bad).has_value()) << bad;
}

TEST(Range, EndsAreNotContained) {
    const Range r{10, 5};
    EXPECT_EQ(r.end(), 15u);
    EXPECT_FALSE(r.contains(15u));
    EXPECT_TRUE(r.contains(Range{11, 4}));
    EXPECT_FALSE(r.contains(Range{11, 5}));
}
