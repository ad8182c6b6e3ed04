#include "documents/SearchCaseFolding.h"

#include <QString>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// The units where a match may start are those whose character's folding begins with the search
// string's first folded unit: compared with folding every unit of the first plane on its own.
TEST(SearchStartUnits, EveryUnitWhoseFoldingBeginsLikeTheSearchString) {
    for (const QString& needle : {QStringLiteral("k"), QStringLiteral("Ss"), QStringLiteral("\u00DF"),
                                  QStringLiteral("\u03C3"), QStringLiteral("i\u0307"), QStringLiteral("1"),
                                  QStringLiteral("\u00E9t\u00E9"), QStringLiteral("\U00010428")}) {
        const CaseInsensitiveFinder finder(needle);
        const char16_t first = foldedCase(needle)[0].unicode();
        std::size_t starters = 0;
        for (char32_t unit = 0; unit < 0x10000; ++unit) {
            if (QChar::isSurrogate(unit)) continue;
            const QChar character(static_cast<char16_t>(unit));
            const bool expected = foldedCase(QStringView(&character, 1))[0].unicode() == first;
            starters += expected;
            ASSERT_EQ(finder.mayStartWith(static_cast<char16_t>(unit)), expected)
                << needle.toStdString() << " " << std::hex << unsigned(unit);
        }
        if (!QChar::isSurrogate(first)) {
            EXPECT_GT(starters, 0u);
        }
    }
    EXPECT_TRUE(CaseInsensitiveFinder(u"k").mayStartWith(0x212A));          // KELVIN SIGN
    EXPECT_TRUE(CaseInsensitiveFinder(u"s").mayStartWith(0x017F));          // LONG S
    EXPECT_TRUE(CaseInsensitiveFinder(u"ss").mayStartWith(0x1E9E));         // CAPITAL SHARP S
    EXPECT_TRUE(CaseInsensitiveFinder(u"\U00010428").mayStartWith(0xD801)); // its lead surrogate
    EXPECT_FALSE(CaseInsensitiveFinder(u"\U00010428").mayStartWith(0xDC28));
}

} // namespace
} // namespace quillet
