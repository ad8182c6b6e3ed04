#include "bench/CorpusGenerator.h"

#include "bench/DocCorpus.h"
#include "engine/MarkdownString.h"

#include <gtest/gtest.h>
#include <set>
#include <string_view>
#include <unicode/ustring.h>

namespace quillet::bench {
namespace {

std::u16string toUtf16(std::string_view utf8) {
    std::u16string text(utf8.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(text.data()), static_cast<int32_t>(text.size()), &length,
                  utf8.data(), static_cast<int32_t>(utf8.size()), &status);
    EXPECT_FALSE(U_FAILURE(status));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// What the engine finds in a text: every line kind, marker kind and inline element kind.
struct Constructs {
    std::set<BlockType> lineTypes;
    std::set<BlockType> markerTypes;
    std::set<SpanType> spanTypes;
    std::set<LinkType> linkTypes;
    long deepestList = 0;
    long deepestQuote = 0;
    bool numberedFromOtherThanOne = false;

    void addSpans(const std::vector<SpanDict>& spans) {
        for (const auto& span : spans) {
            spanTypes.insert(span.type);
            if (span.type == SpanType::link || span.type == SpanType::image) linkTypes.insert(span.linkType);
            addSpans(span.spanArray);
        }
    }

    void addLine(const RangeDict& line) {
        lineTypes.insert(line.type);
        long listDepth = 0;
        for (const auto& marker : line.blockArray) {
            markerTypes.insert(marker.type);
            if (marker.type == BlockType::list || marker.type == BlockType::decimallist)
                listDepth += marker.depth;
            deepestQuote = std::max(deepestQuote, marker.quoteDepth);
            numberedFromOtherThanOne = numberedFromOtherThanOne || marker.decimalDigit.has_value();
        }
        deepestList = std::max(deepestList, listDepth);
        addSpans(line.spanArray);
    }
};

Constructs constructsIn(std::string_view utf8) {
    const std::u16string text = toUtf16(utf8);
    MarkdownString engine;
    Constructs found;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t stop = text.find(u'\n', start);
        if (stop == std::u16string::npos) stop = text.size();
        const std::u16string_view line(text.data() + start, stop - start);
        found.addLine(engine.rangeDictForLine(line, {0, line.size()}));
        start = stop + 1;
    }
    return found;
}

TEST(CorpusGenerator, SameSeedSameBytesOtherSeedOtherBytes) {
    EXPECT_EQ(CorpusGenerator(7).notes(20000), CorpusGenerator(7).notes(20000));
    EXPECT_EQ(CorpusGenerator(7).singleLine(5000), CorpusGenerator(7).singleLine(5000));
    EXPECT_NE(CorpusGenerator(7).notes(20000), CorpusGenerator(8).notes(20000));
}

TEST(CorpusGenerator, NotesAreWholeValidLinesOfAboutTheAskedSize) {
    const std::string notes = CorpusGenerator().notes(100000);
    EXPECT_GE(notes.size(), 100000u);
    EXPECT_LT(notes.size(), 100000u + 4096u);
    EXPECT_EQ(notes.back(), '\n');
    EXPECT_TRUE(isValidUtf8(notes));
}

TEST(CorpusGenerator, SingleLineHasTheExactLengthAndOneBreakAtTheEnd) {
    for (std::size_t bytes : {1000u, 1024u * 1024u}) {
        const std::string line = CorpusGenerator().singleLine(bytes);
        EXPECT_EQ(line.size(), bytes + 1);
        EXPECT_EQ(line.find('\n'), bytes);
        EXPECT_TRUE(isValidUtf8(line));
    }
}

TEST(CorpusGenerator, NotesHoldEveryConstructOfTheDialect) {
    const Constructs found = constructsIn(CorpusGenerator().notes(300000));
    for (BlockType type : {BlockType::none, BlockType::blankline, BlockType::linklabel, BlockType::header,
                           BlockType::hr, BlockType::codeblock, BlockType::codeparagraph,
                           BlockType::htmlBlock, BlockType::beginHtmlBlock, BlockType::endHtmlBlock})
        EXPECT_TRUE(found.lineTypes.count(type)) << "no line of kind '" << blockTypeName(type) << "'";
    for (BlockType type : {BlockType::list, BlockType::decimallist, BlockType::quote})
        EXPECT_TRUE(found.markerTypes.count(type)) << "no marker of kind '" << blockTypeName(type) << "'";
    for (SpanType type :
         {SpanType::em, SpanType::strong, SpanType::strikethrough, SpanType::superscript, SpanType::subscript,
          SpanType::code, SpanType::link, SpanType::image, SpanType::backslash, SpanType::header})
        EXPECT_TRUE(found.spanTypes.count(type))
            << "no inline element of kind '" << spanTypeName(type) << "'";
    EXPECT_TRUE(found.linkTypes.count(LinkType::external));
    EXPECT_TRUE(found.linkTypes.count(LinkType::local));
    EXPECT_GE(found.deepestList, 3);
    EXPECT_GE(found.deepestQuote, 2);
    EXPECT_TRUE(found.numberedFromOtherThanOne);
}

} // namespace
} // namespace quillet::bench
