#include "engine/MarkdownString.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(MarkdownOptionsStartUp, WithoutStoredOptionsTheDefaultsAreInstalledAndWritten) {
    InMemoryMarkdownDefaults defaults;
    MarkdownString engine(defaults);
    EXPECT_EQ(engine.markdownOptions(), MarkdownOptions::defaults());
    EXPECT_DOUBLE_EQ(engine.indentWidth, 30.0);
    const MarkdownOptions::KeyValues expected = {
        {"indentNormalLines", 0},  {"resetIndentByBlankline", 0}, {"resetIndentByHeader", 1},
        {"resetIndentByBlock", 0}, {"indentWidthByChars", 3},     {"removeProceeding4SpacesInCodeBlock", 1},
    };
    ASSERT_TRUE(defaults.markdownOptions());
    EXPECT_EQ(*defaults.markdownOptions(), expected) << "exactly the six keys are written back";
}

TEST(MarkdownOptionsStartUp, StoredOptionsAreReadAndLeftAsTheyAre) {
    const MarkdownOptions::KeyValues stored = {{"indentWidthByChars", 4}, {"resetIndentByBlankline", 1}};
    InMemoryMarkdownDefaults defaults(stored);
    MarkdownString engine(defaults);
    EXPECT_TRUE(engine.markdownOptions().resetIndentByBlankline);
    EXPECT_FALSE(engine.markdownOptions().resetIndentByHeader) << "a missing key reads as false";
    EXPECT_DOUBLE_EQ(engine.indentWidth, 40.0);
    EXPECT_EQ(*defaults.markdownOptions(), stored);

    InMemoryMarkdownDefaults withoutWidth(MarkdownOptions::KeyValues{{"indentNormalLines", 1}});
    EXPECT_DOUBLE_EQ(MarkdownString(withoutWidth).indentWidth, 0.0) << "a missing width reads as 0";
}

TEST(MarkdownOptionsStartUp, SettingOptionsForgetsEveryLabelAndRecomputesTheIndent) {
    MarkdownString engine;
    engine.rangeDictForLine(u"[a]: http://a", {0, 13});
    engine.linkLabel(u"b", {1, 1});
    engine.setFontWidth(8.0);
    MarkdownOptions options = MarkdownOptions::defaults();
    options.indentWidthByChars = 2;
    engine.setMarkdownOptions(options);
    EXPECT_TRUE(engine.localLinkLabels().empty());
    EXPECT_DOUBLE_EQ(engine.indentWidth, 16.0);
}
