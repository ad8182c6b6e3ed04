#include "engine/LinkLabels.h"

#include "engine/MarkdownString.h"

#include <gtest/gtest.h>
#include <string>

using namespace quillet;

namespace {

std::vector<std::u16string> labelsOf(const LinkLabelTable& table) {
    std::vector<std::u16string> labels;
    for (const LinkLabelRef& record : table.records())
        labels.push_back(record->label);
    return labels;
}

std::u16string numbered(int n) {
    const std::string digits = std::to_string(n);
    return u"label-" + std::u16string(digits.begin(), digits.end());
}

} // namespace

TEST(LinkLabelTable, DefinitionsAndUsesShareOneRecordPerLabel) {
    LinkLabelTable table;
    const LinkLabelRef use = table.linkLabel(u"id", {9, 2});
    EXPECT_FALSE(use->urlString) << "a use alone has no URL";
    EXPECT_EQ(table.linkLabel(u"id", {9, 2}), use);
    table.registerLinkLabel(u"id", u"http://old", u"Old", {1, 2});
    table.registerLinkLabel(u"id", u"http://new", std::u16string_view(), {5, 2});
    EXPECT_EQ(labelsOf(table), std::vector<std::u16string>{u"id"});
    EXPECT_EQ(use->urlString, u"http://new");
    EXPECT_FALSE(use->options) << "an empty title removes the options";
    EXPECT_EQ(use->references, std::vector<Range>({{9, 2}})) << "equal ranges are recorded once";
}

TEST(LinkLabelTable, WithdrawingKeepsARecordOnlyWhileItIsDefinedOrUsed) {
    LinkLabelTable table;
    table.registerLinkLabel(u"used", u"http://u", u"T", {1, 4});
    table.linkLabel(u"used", {3, 4});
    table.registerLinkLabel(u"unused", u"http://n", std::nullopt, {1, 6});
    table.removeLinkLabel(u"used");
    const LinkLabelRef kept = table.labelDictForLabel(u"used");
    ASSERT_TRUE(kept) << "links still use it";
    EXPECT_FALSE(kept->urlString || kept->options);
    table.removeLinkLabel(u"unused");
    EXPECT_FALSE(table.labelDictForLabel(u"unused"));
    table.registerLinkLabel(u"used", u"http://again", std::nullopt, {1, 4});
    EXPECT_EQ(kept->urlString, u"http://again") << "a later definition fills the kept record";

    table.linkLabel(u"undefined", {1, 9});
    table.linkLabel(u"undefined", {20, 9});
    table.disableLinkForLabel(u"undefined", {1, 9});
    EXPECT_FALSE(table.labelDictForLabel(u"undefined")) << "without a definition the record goes";
    table.linkLabel(u"used", {5, 4});
    table.disableLinkForLabel(u"used", {3, 4});
    table.disableLinkForLabel(u"used", {99, 4});
    EXPECT_EQ(kept->references, std::vector<Range>({{5, 4}}));
}

TEST(LinkLabelTable, ResolvingALabelLink) {
    LinkLabelTable table;
    table.registerLinkLabel(u"t", u"http://t", u"tt", {1, 1});
    table.linkLabel(u"x", {5, 1});
    EXPECT_EQ(table.resolve(u"x", u"t"), table.labelDictForLabel(u"t"))
        << "an undefined label falls back to the text";
    EXPECT_FALSE(table.resolve(u"missing", u"t")) << "no record at all: no URL, no fallback";
    table.registerLinkLabel(u"x", u"http://x", std::nullopt, {1, 1});
    EXPECT_EQ(table.resolve(u"x", u"t"), table.labelDictForLabel(u"x"));
    table.registerLinkLabel(u"empty", u"", std::nullopt, {1, 5});
    EXPECT_FALSE(table.resolve(u"empty", u"t")) << "an empty URL resolves to nothing";
}

TEST(LinkLabelTable, ManyLabelsKeepTheirOrderThroughRemovalsAndReplacement) {
    LinkLabelTable table;
    constexpr int kCount = 100000;
    for (int i = 0; i < kCount; ++i)
        table.registerLinkLabel(numbered(i), numbered(i), std::nullopt, {1, 6});
    // Withdraw every other definition, front to back, as deleting the text of a long note does.
    for (int i = 0; i < kCount; i += 2)
        table.removeLinkLabel(numbered(i));
    const auto& records = table.records();
    ASSERT_EQ(records.size(), static_cast<std::size_t>(kCount / 2));
    EXPECT_EQ(records.front()->label, numbered(1));
    EXPECT_EQ(records.back()->label, numbered(kCount - 1));
    ASSERT_TRUE(table.labelDictForLabel(numbered(777)));
    EXPECT_EQ(table.labelDictForLabel(numbered(777))->urlString, numbered(777));
    EXPECT_FALSE(table.labelDictForLabel(numbered(kCount - 2)));
    table.removeLinkLabel(numbered(3));
    table.registerLinkLabel(numbered(0), u"u", std::nullopt, {1, 1});
    EXPECT_EQ(table.records()[1]->label, numbered(5));
    EXPECT_EQ(table.records().back()->label, numbered(0)) << "a label defined again goes last";

    // Replacing the records drops empty entries and later duplicates.
    auto one = std::make_shared<LinkLabel>(LinkLabel{u"one", u"http://1", Range{1, 3}, {}, std::nullopt});
    table.setRecords({one, nullptr, std::make_shared<LinkLabel>(*one)});
    EXPECT_EQ(labelsOf(table), std::vector<std::u16string>{u"one"});
    EXPECT_EQ(table.labelDictForLabel(u"one"), one);
}

TEST(EngineLinkLabels, CreateLocalLinkLablesRegistersEveryDefinitionAndUse) {
    MarkdownString engine;
    engine.createLocalLinkLables(u"Text [a][one] here.\n"
                                 u"[one]: http://one \"First\"\r\n"
                                 u"[two]: http://two\r"
                                 u"- [three]: http://three\u2028"
                                 u"> text\n"
                                 u"[four]: http://four");
    for (std::u16string label : {u"one", u"two", u"three", u"four"}) {
        ASSERT_TRUE(engine.labelDictForLabel(label)) << std::string(label.begin(), label.end());
        EXPECT_EQ(engine.labelDictForLabel(label)->urlString, u"http://" + label);
    }
    EXPECT_EQ(engine.labelDictForLabel(u"one")->options, u"First");
    EXPECT_EQ(engine.labelDictForLabel(u"one")->references, std::vector<Range>({{9, 3}}));
    EXPECT_EQ(engine.localLinkLabels().front()->label, u"one") << "the use above the definition came first";
}

TEST(EngineLinkLabels, CreateLocalLinkLablesClassifiesTheEscapedLine) {
    MarkdownString engine;
    engine.createLocalLinkLables(u"[q&a]: http://x?a=1&b=2\n"
                                 u"[x< y]: u1\n"
                                 u"[<b>]: u2\n"
                                 u"[<$x>]: u3\n"
                                 u"[a</b>]: u4\n");
    ASSERT_TRUE(engine.labelDictForLabel(u"q&amp;a"));
    EXPECT_EQ(engine.labelDictForLabel(u"q&amp;a")->urlString, u"http://x?a=1&amp;b=2");
    EXPECT_TRUE(engine.labelDictForLabel(u"x&lt; y"));
    EXPECT_TRUE(engine.labelDictForLabel(u"<b>")) << "a lowercase letter keeps the '<'";
    EXPECT_TRUE(engine.labelDictForLabel(u"<$x>"));
    EXPECT_TRUE(engine.labelDictForLabel(u"a</b>"));
    EXPECT_FALSE(engine.labelDictForLabel(u"q&a"));

    engine.createLocalLinkLables(u"[Q]: <A>");
    ASSERT_TRUE(engine.labelDictForLabel(u"Q"));
    EXPECT_EQ(engine.labelDictForLabel(u"Q")->urlString, u"&lt;A>");
}
