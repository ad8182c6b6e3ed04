#include "tools/Conversion.h"

#include "engine/MarkdownString.h"
#include "engine/RQXMLElement.h"
#include "tools/Utf8.h"

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

// The document and the fragment written from the note's whole tree, without streaming.
struct WholeTreeOutput {
    std::u16string document;
    std::u16string fragment;
};

WholeTreeOutput wholeTreeOutput(std::u16string_view note, const ConversionSettings& settings) {
    MarkdownString engine;
    engine.setMarkdownOptions(settings.options);
    engine.registerLinkDefinitions(note);
    const RQXMLElementRef body = engine.bodyElementFromString(note, std::nullopt);
    WholeTreeOutput output;
    output.document = MarkdownString::htmlStringFromBody(body, settings.title, settings.lang, u"");
    for (const RQXMLChild& child : body->children())
        child.appendXMLString(output.fragment);
    return output;
}

} // namespace

TEST(Conversion, LineRecordsFollowThePlatformLines) {
    // CR LF, LINE SEPARATOR, NEL, a lone CR and PARAGRAPH SEPARATOR end lines; VT does not, and
    // the FF that ends the text is dropped as the final newline character. Only one terminator
    // character is dropped before classifying: a CR LF line keeps its CR and is no blank line.
    std::vector<Range> ranges;
    for (const RangeDict& record : lineRecords(u"a\r\nb\u2028c\u0085\rd\u2029\ve\f"))
        ranges.push_back(record.lineRange);
    EXPECT_EQ(ranges, (std::vector<Range>{{0, 2}, {3, 1}, {5, 1}, {7, 0}, {8, 1}, {10, 2}}));
    const auto records = lineRecords(u"\r\n\n---\r\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].type, BlockType::none);
    EXPECT_EQ(records[1].type, BlockType::blankline);
    EXPECT_EQ(records[2].type, BlockType::hr);
    EXPECT_EQ(records[2].lineRange, (Range{3, 4}));
    EXPECT_TRUE(lineRecords(u"").empty());
}

TEST(Conversion, WritesTheSameBytesAsTheDocumentTextEncodedWhole) {
    // Every kind of element and attribute, characters of every length, a pair split by markup
    // and a lone surrogate: the document written straight to UTF-8 is the UTF-16 one encoded.
    std::u16string note = u"# Caf\u00E9 \u65E5\u672C\U0001F600\n\n"
                          u"- a *b* **c** ~~d~~ `x < y` [t](http://e.x/?a=1&b=2 \"T\")\n"
                          u"> q ![alt \u00E9](pic.png) [r][l]\n"
                          u"    code & <tag>\n"
                          u"<div>\n</div>\n"
                          u"[l]: http://l.x \"title\"\n"
                          u"1. one\n"
                          u"end ";
    note += char16_t(0xD83D);
    note += u"*x*";
    note += char16_t(0xDE00);
    note += u" ";
    note += char16_t(0xDC00);
    note += u"\n";
    ConversionSettings settings;
    settings.title = u"\U0001F600 & T\u00EDtulo";
    settings.lang = u"ja";
    const WholeTreeOutput whole = wholeTreeOutput(note, settings);
    EXPECT_EQ(documentFromMarkdown(note, settings), encodeUtf8(whole.document));
    EXPECT_EQ(fragmentFromMarkdown(note, settings), encodeUtf8(whole.fragment));
    EXPECT_NE(whole.document.find(u"<title>\U0001F600 & T\u00EDtulo</title>"), std::u16string::npos);
    EXPECT_NE(whole.document.find(u"<meta content=\"ja\" http-equiv=\"content-language\">"),
              std::u16string::npos);
    EXPECT_NE(whole.fragment.find(u"<a href=\"http://e.x/?a=1"), std::u16string::npos);
}

TEST(Conversion, ALongNoteIsWrittenAsTheDocumentOfItsWholeTree) {
    // Enough blocks for the body to be handed over many times while it is built, and a title
    // that holds the text the document is cut at.
    std::u16string note;
    for (int i = 0; i < 2000; ++i)
        note += u"# H\n\npara *em* [l]\n\n- a\n\t- b\n> q\n\n```\ncode <x>\n```\n<div>\n</div>\n";
    note += u"[l]: http://l.x\n";
    ConversionSettings settings;
    settings.title = u"<quillet-body-children/> and \u00E9";

    const WholeTreeOutput whole = wholeTreeOutput(note, settings);
    const std::string document = documentFromMarkdown(note, settings);
    EXPECT_TRUE(document == encodeUtf8(whole.document)) << "the streamed document differs from the whole";
    EXPECT_TRUE(fragmentFromMarkdown(note, settings) == encodeUtf8(whole.fragment));

    // The same bytes in the pieces handed to a sink, the HTML in many of them; and each output
    // kind through the one entry point.
    std::size_t pieces = 0;
    std::string joined;
    convertMarkdown(note, settings, [&](std::string_view bytes) {
        ++pieces;
        joined += bytes;
    });
    EXPECT_TRUE(joined == document);
    EXPECT_GT(pieces, 2u);
    settings.output = OutputKind::fragment;
    EXPECT_TRUE(convertMarkdown(note, settings) == encodeUtf8(whole.fragment));
    settings.output = OutputKind::records;
    EXPECT_TRUE(convertMarkdown(note, settings) == recordsFromMarkdown(note, settings));
}
