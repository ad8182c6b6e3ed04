// The fuzz targets' ground: their seed notes replayed through the same checks, the lenient
// decoding they read their bytes with, and proof that the checks catch what they are meant to
// catch and let through only the named exceptions.
#include "fuzz/EngineChecks.h"
#include "fuzz/LenientUtf8.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

namespace quillet {
namespace {

namespace fs = std::filesystem;

std::u16string decode(std::string_view bytes) {
    return fuzz::decodeLenientUtf8(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    if (fs::is_directory(folder))
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Replays one input exactly as both fuzz targets run it.
void replay(const fs::path& file) {
    const std::string bytes = readBytes(file);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::u16string text = fuzz::decodeLenientUtf8(data, bytes.size());
    EXPECT_EQ(fuzz::checkLineRecords(text, fuzz::choiceFromBytes(data, bytes.size())), "") << file;
    EXPECT_EQ(fuzz::checkConversion(text, MarkdownOptions::defaults()), "") << file;
    EXPECT_EQ(fuzz::checkConversion(text, fuzz::flippedOptions()), "") << file;
}

TEST(FuzzRegression, LenientDecodingReachesEveryCodeUnit) {
    EXPECT_EQ(decode("a\tb"), u"a\tb");
    EXPECT_EQ(decode("caf\xC3\xA9 \xE6\x97\xA5"), u"café 日");
    EXPECT_EQ(decode("\xF0\x9F\x98\x80"), std::u16string({0xD83D, 0xDE00}));
    // Encoded surrogates give lone surrogates, in either order.
    EXPECT_EQ(decode("\xED\xA0\x80x\xED\xBF\xBF"), std::u16string({0xD800, u'x', 0xDFFF}));
    EXPECT_EQ(decode("\xEF\xBF\xBF"), std::u16string({0xFFFF}));
    // Anything malformed becomes U+FFFD, one per byte, and decoding goes on after it.
    EXPECT_EQ(decode("\x80z"), u"\uFFFDz");
    EXPECT_EQ(decode("\xC3"), u"\uFFFD");
    EXPECT_EQ(decode("\xC0\xAF"), u"\uFFFD\uFFFD");                     // overlong
    EXPECT_EQ(decode("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");           // overlong
    EXPECT_EQ(decode("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD"); // beyond U+10FFFF
    EXPECT_EQ(decode("\xE6\x97z"), u"\uFFFD\uFFFDz");
}

TEST(FuzzRegression, ChecksCatchBrokenRecords) {
    fuzz::detail::RecordChecker outside(Range{0, 10}, 20);
    RangeDict line;
    line.lineRange = {0, 10};
    line.strRange = Range{4, 7};
    outside.rangeDict(line);
    EXPECT_NE(outside.problem.find("outside"), std::string::npos) << outside.problem;

    fuzz::detail::RecordChecker overlap(Range{0, 10}, 20);
    SpanDict first;
    first.type = SpanType::em;
    first.typeId = spanTypeId(SpanType::em);
    first.range = Range{0, 5};
    first.strRange = {1, 3};
    SpanDict second = first;
    second.range = Range{4, 3};
    second.strRange = {5, 1};
    RangeDict spans;
    spans.lineRange = {0, 10};
    spans.spanArray = {first, second};
    overlap.rangeDict(spans);
    EXPECT_NE(overlap.problem.find("overlaps"), std::string::npos) << overlap.problem;

    fuzz::detail::RecordChecker depth(Range{0, 10}, 20);
    BlockDict marker;
    marker.type = BlockType::list;
    marker.depth = 2;
    marker.strRange = {2, 8};
    marker.range = {0, 10};
    RangeDict markers;
    markers.lineRange = {0, 10};
    markers.blockArray = {marker};
    markers.depth = 1;
    depth.rangeDict(markers);
    EXPECT_NE(depth.problem.find("sum"), std::string::npos) << depth.problem;
}

TEST(FuzzRegression, ChecksAllowOnlyTheNamedExceptions) {
    // A rule examined over part of its line still covers the whole line; any other line may not.
    RangeDict rule;
    rule.lineRange = {1, 2};
    rule.type = BlockType::hr;
    rule.strRange = Range{0, 5};
    fuzz::detail::RecordChecker ruleChecker(Range{1, 2}, 5);
    ruleChecker.rangeDict(rule);
    EXPECT_EQ(ruleChecker.problem, "");
    rule.type = BlockType::header;
    fuzz::detail::RecordChecker headerChecker(Range{1, 2}, 5);
    headerChecker.rangeDict(rule);
    EXPECT_NE(headerChecker.problem, "");

    // '[t][]' may take its closing bracket from one past the range, and no further.
    SpanDict link;
    link.type = SpanType::link;
    link.typeId = spanTypeId(SpanType::link);
    link.linkType = LinkType::local;
    link.range = Range{0, 5};
    link.strRange = link.refRange = link.urlRange = {1, 1};
    RangeDict line;
    line.lineRange = {0, 4};
    line.spanArray = {link};
    fuzz::detail::RecordChecker oneBeyond(Range{0, 4}, 5);
    oneBeyond.rangeDict(line);
    EXPECT_EQ(oneBeyond.problem, "");
    line.lineRange = {0, 3};
    fuzz::detail::RecordChecker twoBeyond(Range{0, 3}, 5);
    twoBeyond.rangeDict(line);
    EXPECT_NE(twoBeyond.problem, "");
}

TEST(FuzzRegression, EngineRecordsOfCutRangesPassTheChecks) {
    MarkdownString engine;
    // A rule whose range starts inside it, and a self-labelled link cut before its last bracket.
    EXPECT_EQ(fuzz::checkRangeDictForLine(engine, u"***\n * x\n---\n", {1, 11}), "");
    const std::u16string cut = u"[t[r] [x\")5[t][r] [t][] ![a](p.png)";
    EXPECT_EQ(fuzz::checkRangeDictForLine(engine, cut, {5, 17}), "");
    const RangeDict record = engine.rangeDictForLine(cut, {5, 17});
    ASSERT_EQ(record.spanArray.size(), 2u);
    EXPECT_EQ(record.spanArray[1].range, (Range{18, 5}));
}

TEST(FuzzRegression, SeedNotesPassTheChecks) {
    const auto seeds = filesIn(fs::path(QUILLET_TEST_DATA) / ".." / "fuzz" / "corpus");
    ASSERT_GE(seeds.size(), 12u);
    for (const auto& file : seeds)
        replay(file);
}

} // namespace
} // namespace quillet
