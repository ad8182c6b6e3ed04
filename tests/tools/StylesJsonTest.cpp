// The converter's --styles output where tests/dialect/50-styles.md cannot reach: line ends other
// than LF, the font width, and texts that need escaping.

#include "tools/StylesJson.h"

#include <gtest/gtest.h>

using namespace quillet::convert;

TEST(StylesJson, LinesEndsWidthsAndEscapedTexts) {
    EXPECT_EQ(stylesFromMarkdown(u"", ConversionSettings{}), "");
    // The last line needs no terminator; a CR LF pair is one line's end.
    const std::string twoLines = stylesFromMarkdown(u"a\r\nb", ConversionSettings{});
    EXPECT_EQ(twoLines.find("{\"line\":0,\"range\":[0,3],"), 0u) << twoLines;
    EXPECT_NE(twoLines.find("\n{\"line\":1,\"range\":[3,1],"), std::string::npos) << twoLines;

    ConversionSettings narrow;
    narrow.fontWidth = 6.5;
    const std::string indented = stylesFromMarkdown(u"- a\n", narrow);
    EXPECT_NE(indented.find("\"headIndent\":19.5,\"firstLineHeadIndent\":6.5,"), std::string::npos)
        << indented;

    const std::string label = stylesFromMarkdown(u"[a\"b]: http://x.org\n", ConversionSettings{});
    EXPECT_NE(label.find("\"MD_BLOCK_LINKLABEL\":\"a\\\"b\""), std::string::npos) << label;
}
