#include "documents/SearchCaseFolding.h"

#include <QString>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// The units where a match may start are those whose character's folding begins with the search
// string's first folded unit: compared with folding every unit of the first plane on its own.
TEST(SearchStartUnits, EveryUnitWhoseFoldingBeginsLikeTheSearchString) {
    for (const char16_t* needle : {u"k", u"Ss", u"\u00DF", u"\u03C3", u"i\u0307", u"1", u"\u00E9t\u00E9"}) {
        const CaseInsensitiveFinder finder(needle);
        const char16_t first = foldedCase(needle)[0].unicode();
        for (char32_t unit = 0; unit < 0x10000; ++unit) {
            if (QChar::isSurrogate(unit)) continue;
            const QChar character(static_cast<char16_t>(unit));
            ASSERT_EQ(finder.mayStartWith(char16_t(unit)), foldedCase(QStringView(&character, 1))[0] == first)
                << QString::fromUtf16(needle).toStdString() << " " << std::hex << unsigned(unit);
        }
    }
    EXPECT_TRUE(CaseInsensitiveFinder(u"\U00010428").mayStartWith(0xD801)); // its lead surrogate
    EXPECT_FALSE(CaseInsensitiveFinder(u"\U00010428").mayStartWith(0xDC28));
}

} // namespace
} // namespace quillet
