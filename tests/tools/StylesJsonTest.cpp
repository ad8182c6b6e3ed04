// The converter's --styles output and its arguments.

#include "tools/StylesJson.h"

#include "tools/CommandLine.h"

#include <gtest/gtest.h>

using namespace quillet::convert;

namespace {

ParsedCommandLine parse(std::vector<std::string> arguments) {
    return parseCommandLine(arguments);
}

} // namespace

TEST(StylesJson, OneObjectPerLineWithItsStateIndentsAndRuns) {
    const std::string json = stylesFromMarkdown(u"- *a*\n", ConversionSettings{});
    EXPECT_EQ(
        json,
        "{\"line\":0,\"range\":[0,6],\"MD_INDENT_DEPTH\":1,\"MD_BLOCKS\":[\"list\"],\"headIndent\":30,"
        "\"firstLineHeadIndent\":10,\"runs\":[{\"range\":[0,3],\"font\":\"regular\",\"color\":\"gray\"},"
        "{\"range\":[3,1],\"font\":\"italic\",\"color\":\"text\"},"
        "{\"range\":[4,1],\"font\":\"regular\",\"color\":\"gray\"},"
        "{\"range\":[5,1],\"font\":\"regular\",\"color\":\"text\"}]}\n");

    EXPECT_EQ(stylesFromMarkdown(u"", ConversionSettings{}), "");
    // The last line needs no terminator; a CR LF pair is one line's end.
    const std::string twoLines = stylesFromMarkdown(u"a\r\nb", ConversionSettings{});
    EXPECT_NE(twoLines.find("{\"line\":0,\"range\":[0,3],"), std::string::npos) << twoLines;
    EXPECT_NE(twoLines.find("{\"line\":1,\"range\":[3,1],"), std::string::npos) << twoLines;
}

TEST(StylesJson, TheFontWidthScalesTheIndents) {
    ConversionSettings narrow;
    narrow.fontWidth = 6.5;
    const std::string json = stylesFromMarkdown(u"- a\n", narrow);
    EXPECT_NE(json.find("\"headIndent\":19.5,\"firstLineHeadIndent\":6.5,"), std::string::npos) << json;
}

TEST(StylesJson, OptionalRunKeysAndTextsAreEscaped) {
    const std::string json =
        stylesFromMarkdown(u"```\n~~x~~\n```\n[a\"b]: http://x.org\n", ConversionSettings{});
    EXPECT_NE(json.find("\"MD_CODE_PARAGRAPH\":3"), std::string::npos) << json;
    EXPECT_NE(json.find("\"baselineOffset\":4"), std::string::npos) << json;
    EXPECT_NE(json.find("\"MD_BLOCK_LINKLABEL\":\"a\\\"b\""), std::string::npos) << json;
    EXPECT_EQ(json.find("\"strikethrough\""), std::string::npos) << json; // code shows no inline elements
    const std::string strike = stylesFromMarkdown(u"~~x~~ [t](http://x.org)\n", ConversionSettings{});
    EXPECT_NE(strike.find("{\"range\":[2,1],\"font\":\"regular\",\"color\":\"text\",\"strikethrough\":1}"),
              std::string::npos)
        << strike;
    EXPECT_NE(strike.find("\"color\":\"gray\",\"link\":\"http://x.org\"}"), std::string::npos) << strike;
}

TEST(StylesJson, ArgumentsSelectTheOutputAndTheWidth) {
    const ParsedCommandLine styles = parse({"--styles", "--font-width", "7.25", "note.md"});
    ASSERT_TRUE(styles.ok()) << styles.error;
    EXPECT_EQ(styles.command.settings.output, OutputKind::styles);
    EXPECT_DOUBLE_EQ(styles.command.settings.fontWidth, 7.25);
    EXPECT_DOUBLE_EQ(parse({"--styles"}).command.settings.fontWidth, 10.0);

    EXPECT_EQ(parse({"--styles", "--records"}).error,
              "--styles cannot be combined with --fragment or --records");
    EXPECT_EQ(parse({"--fragment", "--styles"}).error,
              "--styles cannot be combined with --fragment or --records");
    for (const char* bad : {"0", "-3", "abc", "", "7pt", "nan", "inf"})
        EXPECT_EQ(parse({"--styles", "--font-width", bad}).error,
                  std::string("--font-width needs a positive number of points, got '") + bad + "'")
            << bad;
    EXPECT_EQ(parse({"--styles", "--font-width"}).error, "option '--font-width' needs a value");
}
