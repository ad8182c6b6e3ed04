#include "documents/OutlineLines.h"
#include "documents/SearchCaseFolding.h"

#include <gtest/gtest.h>
#include <string>

namespace quillet {
namespace {

// Every line break, at every offset of texts longer than two vector steps, among units that
// differ from a line break in one bit or sit next to one.
TEST(SearchLines, EveryLineBreakAtEveryOffset) {
    const char16_t breaks[] = {u'\n', u'\r', 0x0085, 0x2028, 0x2029};
    const char16_t lookalikes[] = {0x000B, 0x000C, 0x000E, 0x0084, 0x0086, 0x2027, 0x202A, 0x202C,
                                   0x2128, 0x3028, 0x0228, 0x00E9, u'x',   0x008D, 0x200A, 0x1028};
    for (std::size_t size : {1u, 7u, 8u, 9u, 15u, 16u, 17u, 33u, 70u}) {
        std::u16string text;
        for (std::size_t i = 0; i < size; ++i)
            text += lookalikes[(i * 7 + size) % std::size(lookalikes)];
        const char16_t* units = text.data();
        EXPECT_EQ(CaseInsensitiveFinder::nextLineBreak(units, 0, size), size) << size;
        EXPECT_EQ(CaseInsensitiveFinder::lineStartBefore(units, size, 0), 0u) << size;
        for (const char16_t lineBreak : breaks) {
            for (std::size_t at = 0; at < size; ++at) {
                std::u16string withBreak = text;
                withBreak[at] = lineBreak;
                const char16_t* with = withBreak.data();
                for (std::size_t from = 0; from <= size; ++from) {
                    const std::size_t expectedNext = from <= at ? at : size;
                    ASSERT_EQ(CaseInsensitiveFinder::nextLineBreak(with, from, size), expectedNext)
                        << "size " << size << " break " << int(lineBreak) << " at " << at << " from " << from;
                    const std::size_t expectedStart = from > at ? at + 1 : 0;
                    ASSERT_EQ(CaseInsensitiveFinder::lineStartBefore(with, from, 0), expectedStart)
                        << "size " << size << " break " << int(lineBreak) << " at " << at << " from " << from;
                }
                // The floor bounds the look back.
                if (at + 1 < size) {
                    EXPECT_EQ(CaseInsensitiveFinder::lineStartBefore(with, size, at + 1), at + 1);
                    EXPECT_EQ(CaseInsensitiveFinder::lineStartBefore(with, size, size), size);
                }
            }
        }
    }
}

// The line around an occurrence, for every line break on either side of it at every distance up
// to beyond two vector steps, and with none at all.
TEST(SearchLines, TheLineAroundAnOccurrence) {
    const char16_t breaks[] = {u'\n', u'\r', 0x0085, 0x2028, 0x2029};
    const std::size_t size = 150;
    const char16_t fillers[] = {0x000B, 0x000C, 0x000E, 0x0084, 0x0086, 0x2027, 0x202A, 0x2128, 0x3028, u'x'};
    std::u16string text;
    for (std::size_t i = 0; i < size; ++i)
        text += fillers[i * 7 % std::size(fillers)];
    const std::size_t position = 75, end = 78;
    EXPECT_EQ(CaseInsensitiveFinder::lineAround(text.data(), position, end, size), (Range{0, size}));
    for (const char16_t lineBreak : breaks) {
        for (std::size_t before = 0; before < position; ++before) {
            std::u16string withBreak = text;
            withBreak[before] = lineBreak;
            ASSERT_EQ(CaseInsensitiveFinder::lineAround(withBreak.data(), position, end, size),
                      Range::fromBounds(before + 1, size))
                << "break " << int(lineBreak) << " at " << before;
        }
        for (std::size_t after = end; after < size; ++after) {
            std::u16string withBreak = text;
            withBreak[after] = lineBreak;
            withBreak[10] = lineBreak;
            ASSERT_EQ(CaseInsensitiveFinder::lineAround(withBreak.data(), position, end, size),
                      Range::fromBounds(11, after))
                << "break " << int(lineBreak) << " at " << after;
        }
    }
    // Occurrences at the text's ends, and an empty line between two breaks.
    EXPECT_EQ(CaseInsensitiveFinder::lineAround(text.data(), 0, 2, size), (Range{0, size}));
    EXPECT_EQ(CaseInsensitiveFinder::lineAround(text.data(), size - 2, size, size), (Range{0, size}));
    const std::u16string lines = u"ab\n\ncd";
    EXPECT_EQ(CaseInsensitiveFinder::lineAround(lines.data(), 5, 6, lines.size()), (Range{4, 2}));
    EXPECT_EQ(CaseInsensitiveFinder::lineAround(lines.data(), 0, 1, lines.size()), (Range{0, 2}));
}

TEST(SearchLines, TheFirstBreakAheadAndTheLastBehind) {
    const std::u16string text = u"one\ntwo\u2028three\r\nfour and some more words to go past a step\u0085end";
    const std::size_t size = text.size();
    const char16_t* units = text.data();
    EXPECT_EQ(CaseInsensitiveFinder::nextLineBreak(units, 0, size), 3u);
    EXPECT_EQ(CaseInsensitiveFinder::nextLineBreak(units, 4, size), 7u);
    EXPECT_EQ(CaseInsensitiveFinder::nextLineBreak(units, 8, size), 13u);
    EXPECT_EQ(CaseInsensitiveFinder::nextLineBreak(units, 14, size), 14u); // the LF of CR LF
    EXPECT_EQ(CaseInsensitiveFinder::nextLineBreak(units, 15, size), text.find(u'\u0085'));
    EXPECT_EQ(CaseInsensitiveFinder::lineStartBefore(units, size, 0), text.find(u'\u0085') + 1);
    EXPECT_EQ(CaseInsensitiveFinder::lineStartBefore(units, text.find(u'\u0085'), 0), 15u);
    EXPECT_EQ(CaseInsensitiveFinder::lineStartBefore(units, 12, 0), 8u);
    EXPECT_EQ(CaseInsensitiveFinder::lineStartBefore(units, 2, 0), 0u);
}

} // namespace
} // namespace quillet
