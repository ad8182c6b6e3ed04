// The engine's blank and line-terminator tests against ICU's White_Space property and the line
// terminators of ICU's regular expressions, for every UTF-16 code unit.

#include "engine/CharacterSets.h"

#include "engine/RegexSearch.h"

#include <gtest/gtest.h>
#include <string>
#include <unicode/uchar.h>

namespace quillet {
namespace {

TEST(CharacterSets, BlanksAreIcuWhiteSpaceAndTerminatorsWhatDotDoesNotMatch) {
    const RegexSearch dot(u".");
    int blanks = 0, terminators = 0;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        const std::u16string unit(1, static_cast<char16_t>(c));
        const bool blank = u_isUWhiteSpace(static_cast<UChar32>(c));
        EXPECT_EQ(isWhitespace(unit[0]), blank) << "U+" << std::hex << static_cast<unsigned>(c);
        blanks += blank;
        if (c >= 0xD800 && c <= 0xDFFF) continue; // a lone surrogate is a code point of its own
        const bool terminator = !dot.find(unit, {0, 1}).found();
        EXPECT_EQ(isNewline(unit[0]), terminator) << "U+" << std::hex << static_cast<unsigned>(c);
        terminators += terminator;
    }
    EXPECT_EQ(blanks, 25);
    EXPECT_EQ(terminators, 7);
}

} // namespace
} // namespace quillet
