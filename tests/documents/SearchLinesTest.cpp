#include "documents/OutlineLines.h"
#include "documents/SearchCaseFolding.h"

#include <gtest/gtest.h>
#include <string>

namespace quillet {
namespace {

const char16_t kBreaks[] = {u'\n', u'\r', 0x0085, 0x2028, 0x2029};

// Units that differ from a line break in one bit or sit next to one.
std::u16string lookalikes(std::size_t size) {
    const char16_t units[] = {0x000B, 0x000C, 0x000E, 0x0084, 0x0086, 0x2027, 0x202A, 0x202C,
                              0x2128, 0x3028, 0x0228, 0x00E9, u'x',   0x008D, 0x200A, 0x1028};
    std::u16string text;
    for (std::size_t i = 0; i < size; ++i)
        text += units[(i * 7 + size) % std::size(units)];
    return text;
}

// Every line break at every offset of texts up to beyond two vector steps, looked for from
// every position both ways, and with a floor to the look back.
TEST(SearchLines, EveryLineBreakAtEveryOffset) {
    for (std::size_t size : {1u, 7u, 8u, 9u, 15u, 16u, 17u, 33u, 70u}) {
        const std::u16string text = lookalikes(size);
        EXPECT_EQ(CaseInsensitiveFinder::nextLineBreak(text.data(), 0, size), size);
        EXPECT_EQ(CaseInsensitiveFinder::lineStartBefore(text.data(), size, 0), 0u);
        for (const char16_t lineBreak : kBreaks)
            for (std::size_t at = 0; at < size; ++at) {
                std::u16string with = text;
                with[at] = lineBreak;
                for (std::size_t from = 0; from <= size; ++from) {
                    SCOPED_TRACE(::testing::Message() << "size " << size << " break " << int(lineBreak)
                                                      << " at " << at << " from " << from);
                    ASSERT_EQ(CaseInsensitiveFinder::nextLineBreak(with.data(), from, size),
                              from <= at ? at : size);
                    ASSERT_EQ(CaseInsensitiveFinder::lineStartBefore(with.data(), from, 0),
                              from > at ? at + 1 : 0);
                    const std::size_t floor = std::min(from, at + 2); // just above the break
                    ASSERT_EQ(CaseInsensitiveFinder::lineStartBefore(with.data(), from, floor), floor);
                }
            }
    }
}

// The line around an occurrence, for every line break on either side of it at every distance up
// to beyond two vector steps, and with none at all.
TEST(SearchLines, TheLineAroundAnOccurrence) {
    const std::size_t size = 150, position = 75, end = 78;
    const std::u16string text = lookalikes(size);
    EXPECT_EQ(CaseInsensitiveFinder::lineAround(text.data(), position, end, size), (Range{0, size}));
    EXPECT_EQ(CaseInsensitiveFinder::lineAround(text.data(), 0, 2, size), (Range{0, size}));
    EXPECT_EQ(CaseInsensitiveFinder::lineAround(text.data(), size - 2, size, size), (Range{0, size}));
    for (const char16_t lineBreak : kBreaks) {
        for (std::size_t before = 0; before < position; ++before) {
            std::u16string with = text;
            with[before] = lineBreak;
            ASSERT_EQ(CaseInsensitiveFinder::lineAround(with.data(), position, end, size),
                      Range::fromBounds(before + 1, size))
                << "break " << int(lineBreak) << " at " << before;
        }
        for (std::size_t after = end; after < size; ++after) {
            std::u16string with = text;
            with[after] = with[10] = lineBreak;
            ASSERT_EQ(CaseInsensitiveFinder::lineAround(with.data(), position, end, size),
                      Range::fromBounds(11, after))
                << "break " << int(lineBreak) << " at " << after;
        }
    }
    const std::u16string lines = u"ab\n\ncd";
    EXPECT_EQ(CaseInsensitiveFinder::lineAround(lines.data(), 5, 6, lines.size()), (Range{4, 2}));
    EXPECT_EQ(CaseInsensitiveFinder::lineAround(lines.data(), 3, 3, lines.size()), (Range{3, 0}));
}

} // namespace
} // namespace quillet
