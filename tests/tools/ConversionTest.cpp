#include "tools/Conversion.h"

#include "engine/MarkdownString.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::convert;

namespace {

std::vector<RangeDict> lineRecords(std::u16string_view note) {
    MarkdownString engine;
    std::vector<RangeDict> records;
    forEachLineRecord(engine, note, [&records](const RangeDict& record) { records.push_back(record); });
    return records;
}

std::vector<Range> lineRangesOf(std::u16string_view note) {
    std::vector<Range> ranges;
    for (const RangeDict& record : lineRecords(note))
        ranges.push_back(record.lineRange);
    return ranges;
}

} // namespace

TEST(Conversion, LineRecordsFollowThePlatformLines) {
    // CR LF, LINE SEPARATOR, NEL, a lone CR and PARAGRAPH SEPARATOR end lines; VT does not, and
    // the FF that ends the text is dropped as the final newline character.
    const std::u16string note = u"a\r\nb\u2028c\u0085\rd\u2029\ve\f";
    EXPECT_EQ(lineRangesOf(note), (std::vector<Range>{{0, 2}, {3, 1}, {5, 1}, {7, 0}, {8, 1}, {10, 2}}));
    EXPECT_EQ(lineRangesOf(u"x"), (std::vector<Range>{{0, 1}}));
    EXPECT_EQ(lineRangesOf(u"x\n"), (std::vector<Range>{{0, 1}}));
    EXPECT_EQ(lineRangesOf(u"\n\n"), (std::vector<Range>{{0, 0}, {1, 0}}));
    EXPECT_TRUE(lineRangesOf(u"").empty());
}

TEST(Conversion, OnlyOneTerminatorCharacterIsDroppedBeforeClassifying) {
    const auto records = lineRecords(u"\r\n\n---\r\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].type, BlockType::none) << "the CR of a CR LF stays: no blank line";
    EXPECT_EQ(records[0].lineRange, (Range{0, 1}));
    EXPECT_EQ(records[1].type, BlockType::blankline);
    EXPECT_EQ(records[1].lineRange, (Range{2, 0}));
    EXPECT_EQ(records[2].type, BlockType::hr);
    EXPECT_EQ(records[2].lineRange, (Range{3, 4}));
}

TEST(Conversion, TheThreeOutputsAgree) {
    const std::u16string note = u"# Title\n\n- item *em*\n[x]: http://x\n";
    ConversionSettings settings;
    const std::string fragment = fragmentFromMarkdown(note, settings);
    const std::string document = documentFromMarkdown(note, settings);
    EXPECT_FALSE(fragment.empty());
    EXPECT_TRUE(document.ends_with("<body>" + fragment + "</body></html>")) << document;

    settings.output = OutputKind::fragment;
    EXPECT_EQ(convertMarkdown(note, settings), fragment);
    settings.output = OutputKind::document;
    EXPECT_EQ(convertMarkdown(note, settings), document);
    settings.output = OutputKind::records;
    const std::string records = convertMarkdown(note, settings);
    EXPECT_EQ(std::count(records.begin(), records.end(), '\n'), 4);
    EXPECT_EQ(records.find("{\"lineRange\":[0,7],\"type\":\"header\""), 0u) << records;
}

TEST(Conversion, TitleAndLanguageReachTheDocument) {
    ConversionSettings settings;
    settings.title = u"\U0001F600 & co";
    settings.lang = u"ja";
    const std::string document = documentFromMarkdown(u"", settings);
    EXPECT_NE(document.find("<title>\xF0\x9F\x98\x80 & co</title>"), std::string::npos) << document;
    EXPECT_NE(document.find("<meta content=\"ja\" http-equiv=\"content-language\">"), std::string::npos);
    EXPECT_TRUE(document.ends_with("<body/></html>"));
}
