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

// What the checker finds wrong with `line`, examined over `examined` of a text `length` long.
std::string problemOf(const RangeDict& line, Range examined, std::size_t length) {
    fuzz::detail::RecordChecker checker(examined, length);
    checker.rangeDict(line);
    return checker.problem;
}

SpanDict span(SpanType type, Range range, Range content) {
    SpanDict span;
    span.type = type;
    span.typeId = spanTypeId(type);
    span.range = range;
    span.strRange = content;
    return span;
}

TEST(FuzzRegression, LenientDecodingReachesEveryCodeUnit) {
    // Encoded surrogates give lone surrogates, in either order; anything malformed (overlong,
    // beyond U+10FFFF, cut short) becomes U+FFFD, one per byte, and decoding goes on after it.
    const std::pair<std::string_view, std::u16string> cases[] = {
        {"caf\xC3\xA9 \xE6\x97\xA5", u"caf\u00e9 \u65e5"},
        {"\xF0\x9F\x98\x80", {0xD83D, 0xDE00}},
        {"\xED\xA0\x80x\xED\xBF\xBF", {0xD800, u'x', 0xDFFF}},
        {"\xEF\xBF\xBF", {0xFFFF}},
        {"\x80z", u"\uFFFDz"},
        {"\xC3", u"\uFFFD"},
        {"\xC0\xAF", u"\uFFFD\uFFFD"},
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xE6\x97z", u"\uFFFD\uFFFDz"}};
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(decode(bytes), expected) << ::testing::PrintToString(bytes);
}

TEST(FuzzRegression, ChecksCatchBrokenRecords) {
    RangeDict outside;
    outside.lineRange = {0, 10};
    outside.strRange = Range{4, 7};
    EXPECT_NE(problemOf(outside, {0, 10}, 20).find("outside"), std::string::npos);

    RangeDict overlapping;
    overlapping.lineRange = {0, 10};
    overlapping.spanArray = {span(SpanType::em, {0, 5}, {1, 3}), span(SpanType::em, {4, 3}, {5, 1})};
    EXPECT_NE(problemOf(overlapping, {0, 10}, 20).find("overlaps"), std::string::npos);

    BlockDict marker;
    marker.type = BlockType::list;
    marker.depth = 2;
    marker.strRange = {2, 8};
    marker.range = {0, 10};
    RangeDict markers;
    markers.lineRange = {0, 10};
    markers.blockArray = {marker};
    markers.depth = 1;
    EXPECT_NE(problemOf(markers, {0, 10}, 20).find("sum"), std::string::npos);
}

TEST(FuzzRegression, ChecksAllowOnlyTheNamedExceptions) {
    // A rule examined over part of its line still covers the whole line; any other line may not.
    RangeDict rule;
    rule.lineRange = {1, 2};
    rule.type = BlockType::hr;
    rule.strRange = Range{0, 5};
    EXPECT_EQ(problemOf(rule, {1, 2}, 5), "");
    rule.type = BlockType::header;
    EXPECT_NE(problemOf(rule, {1, 2}, 5), "");

    // '[t][]' may take its closing bracket from one past the range, and no further.
    SpanDict link = span(SpanType::link, {0, 5}, {1, 1});
    link.linkType = LinkType::local;
    link.refRange = link.urlRange = {1, 1};
    RangeDict line;
    line.lineRange = {0, 4};
    line.spanArray = {link};
    EXPECT_EQ(problemOf(line, {0, 4}, 5), "");
    line.lineRange = {0, 3};
    EXPECT_NE(problemOf(line, {0, 3}, 5), "");

    // What the engine itself records for such cut ranges passes.
    MarkdownString engine;
    EXPECT_EQ(fuzz::checkRangeDictForLine(engine, u"***\n * x\n---\n", {1, 11}), "");
    const std::u16string cut = u"[t[r] [x\")5[t][r] [t][] ![a](p.png)";
    EXPECT_EQ(fuzz::checkRangeDictForLine(engine, cut, {5, 17}), "");
    const RangeDict record = engine.rangeDictForLine(cut, {5, 17});
    ASSERT_EQ(record.spanArray.size(), 2u);
    EXPECT_EQ(record.spanArray[1].range, (Range{18, 5}));
}

TEST(FuzzRegression, SeedNotesPassTheChecks) {
    std::vector<fs::path> seeds;
    for (const auto& entry :
         fs::recursive_directory_iterator(fs::path(QUILLET_TEST_DATA) / ".." / "fuzz" / "corpus"))
        if (entry.is_regular_file()) seeds.push_back(entry.path());
    std::sort(seeds.begin(), seeds.end());
    ASSERT_GE(seeds.size(), 12u);
    for (const auto& file : seeds) {
        // Exactly as both fuzz targets run it.
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const std::u16string text = fuzz::decodeLenientUtf8(data, bytes.size());
        EXPECT_EQ(fuzz::checkLineRecords(text, fuzz::choiceFromBytes(data, bytes.size())), "") << file;
        EXPECT_EQ(fuzz::checkConversion(text, MarkdownOptions::defaults()), "") << file;
        EXPECT_EQ(fuzz::checkConversion(text, fuzz::flippedOptions()), "") << file;
    }
}

} // namespace
} // namespace quillet
