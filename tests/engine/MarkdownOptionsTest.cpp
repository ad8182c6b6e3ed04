#include "engine/MarkdownString.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(MarkdownOptionsStartUp, WithoutStoredOptionsTheDefaultsAreInstalledAndWritten) {
    InMemoryMarkdownDefaults defaults;
    MarkdownString engine(defaults);

    const MarkdownOptions& options = engine.markdownOptions();
    EXPECT_FALSE(options.indentNormalLines);
    EXPECT_FALSE(options.resetIndentByBlankline);
    EXPECT_TRUE(options.resetIndentByHeader);
    EXPECT_FALSE(options.resetIndentByBlock);
    EXPECT_EQ(options.indentWidthByChars, 3);
    EXPECT_TRUE(options.removeProceeding4SpacesInCodeBlock);
    EXPECT_EQ(engine.indentWidthByChars, 3);
    EXPECT_DOUBLE_EQ(engine.fontWidth, 10.0);
    EXPECT_DOUBLE_EQ(engine.indentWidth, 30.0);
    EXPECT_EQ(engine.tabWidth, 4);

    const MarkdownOptions::KeyValues expected = {
        {"indentNormalLines", 0},  {"resetIndentByBlankline", 0}, {"resetIndentByHeader", 1},
        {"resetIndentByBlock", 0}, {"indentWidthByChars", 3},     {"removeProceeding4SpacesInCodeBlock", 1},
    };
    ASSERT_TRUE(defaults.markdownOptions());
    EXPECT_EQ(*defaults.markdownOptions(), expected) << "exactly the six keys are written back";
    EXPECT_TRUE(engine.localLinkLabels().empty());
}

TEST(MarkdownOptionsStartUp, StoredOptionsAreReadAndLeftAsTheyAre) {
    const MarkdownOptions::KeyValues stored = {{"indentWidthByChars", 4}, {"resetIndentByBlankline", 1}};
    InMemoryMarkdownDefaults defaults(stored);
    MarkdownString engine(defaults);

    EXPECT_TRUE(engine.markdownOptions().resetIndentByBlankline);
    EXPECT_FALSE(engine.markdownOptions().resetIndentByHeader) << "a missing key reads as false";
    EXPECT_FALSE(engine.markdownOptions().removeProceeding4SpacesInCodeBlock);
    EXPECT_EQ(engine.indentWidthByChars, 4);
    EXPECT_DOUBLE_EQ(engine.indentWidth, 40.0);
    EXPECT_EQ(*defaults.markdownOptions(), stored);

    InMemoryMarkdownDefaults withoutWidth(MarkdownOptions::KeyValues{{"indentNormalLines", 1}});
    MarkdownString narrow(withoutWidth);
    EXPECT_EQ(narrow.indentWidthByChars, 0) << "a missing width reads as 0";
    EXPECT_DOUBLE_EQ(narrow.indentWidth, 0.0);
    EXPECT_TRUE(narrow.markdownOptions().indentNormalLines);
}

TEST(MarkdownOptionsStartUp, SettingOptionsForgetsEveryLabelAndRecomputesTheIndent) {
    MarkdownString engine;
    engine.rangeDictForLine(u"[a]: http://a", {0, 13});
    engine.linkLabel(u"b", {1, 1});
    ASSERT_EQ(engine.localLinkLabels().size(), 2u);

    engine.setFontWidth(8.0);
    EXPECT_DOUBLE_EQ(engine.indentWidth, 24.0);
    MarkdownOptions options = MarkdownOptions::defaults();
    options.indentWidthByChars = 2;
    engine.setMarkdownOptions(options);

    EXPECT_TRUE(engine.localLinkLabels().empty());
    EXPECT_FALSE(engine.labelDictForLabel(u"a"));
    EXPECT_EQ(engine.markdownOptions(), options);
    EXPECT_EQ(engine.indentWidthByChars, 2);
    EXPECT_DOUBLE_EQ(engine.indentWidth, 16.0);
}
