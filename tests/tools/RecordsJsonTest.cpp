#include "tools/RecordsJson.h"

#include <gtest/gtest.h>

using namespace quillet;
using quillet::convert::toJson;

TEST(RecordsJson, PlainBlankAndRuleLines) {
    RangeDict plain;
    plain.lineRange = {7, 2};
    EXPECT_EQ(toJson(plain), R"({"lineRange":[7,2]})");

    RangeDict blank;
    blank.lineRange = {9, 0};
    blank.type = BlockType::blankline;
    EXPECT_EQ(toJson(blank), R"({"lineRange":[9,0],"type":"blankline"})");

    RangeDict rule;
    rule.lineRange = {0, 3};
    rule.type = BlockType::hr;
    rule.strRange = Range{0, 3};
    EXPECT_EQ(toJson(rule), R"({"lineRange":[0,3],"type":"hr","strRange":[0,3]})");
}

TEST(RecordsJson, LinkDefinitionLineKeysInOrder) {
    RangeDict definition;
    definition.lineRange = {10, 30};
    definition.type = BlockType::linklabel;
    definition.strRange = Range{0, 30};
    definition.range = Range{1, 2};
    definition.label = u"id";
    definition.urlRange = Range{5, 12};
    definition.options = u"The \"Title\"";
    EXPECT_EQ(toJson(definition),
              R"({"lineRange":[10,30],"type":"linklabel","strRange":[0,30],"range":[1,2],)"
              R"("label":"id","urlRange":[5,12],"options":"The \"Title\""})");
}

TEST(RecordsJson, MarkerLineWithBlocksAndSpans) {
    BlockDict list;
    list.type = BlockType::decimallist;
    list.depth = 1;
    list.strRange = {3, 4};
    list.range = {0, 7};
    list.decimalDigit = u"3";
    BlockDict quote;
    quote.type = BlockType::quote;
    quote.quoteDepth = 2;
    quote.strRange = {6, 1};
    quote.range = {3, 4};

    SpanDict inner;
    inner.type = SpanType::em;
    inner.typeId = 1;
    inner.range = Range{4, 3};
    inner.strRange = {5, 1};
    SpanDict outer;
    outer.type = SpanType::strong;
    outer.typeId = 2;
    outer.range = Range{2, 7};
    outer.strRange = {4, 3};
    outer.spanArray = {inner};

    RangeDict line;
    line.lineRange = {0, 7};
    line.strRange = Range{6, 1};
    line.depth = 1;
    line.blockArray = {list, quote};
    line.spanArray = {outer};
    EXPECT_EQ(
        toJson(line),
        R"({"lineRange":[0,7],"strRange":[6,1],"depth":1,"blockArray":[)"
        R"({"type":"decimallist","depth":1,"quoteDepth":0,"strRange":[3,4],"range":[0,7],"decimalDigit":"3"},)"
        R"({"type":"quote","depth":0,"quoteDepth":2,"strRange":[6,1],"range":[3,4]}],"spanArray":[)"
        R"({"type":"strong","typeId":2,"range":[2,7],"strRange":[4,3],"spanArray":[)"
        R"({"type":"em","typeId":1,"range":[4,3],"strRange":[5,1]}]}]})");
}

TEST(RecordsJson, HeaderLineAndNestedHeaderBlock) {
    RangeDict header;
    header.lineRange = {0, 8};
    header.type = BlockType::header;
    header.strRange = Range{2, 6};
    header.depth = 1;
    header.headerDepth = 2;
    EXPECT_EQ(toJson(header),
              R"({"lineRange":[0,8],"type":"header","strRange":[2,6],"depth":1,"headerDepth":2})");

    BlockDict block;
    block.type = BlockType::header;
    block.depth = 1;
    block.headerDepth = 1;
    block.strRange = {4, 5};
    block.range = {2, 7};
    SpanDict nested = SpanDict::fromHeaderBlock(block);
    SpanDict code;
    code.type = SpanType::code;
    code.typeId = 8;
    code.range = Range{4, 3};
    code.strRange = {5, 1};
    nested.spanArray = {code};
    EXPECT_EQ(toJson(nested),
              R"({"type":"header","depth":1,"quoteDepth":0,"headerDepth":1,"strRange":[4,5],)"
              R"("range":[2,7],"spanArray":[{"type":"code","typeId":8,"range":[4,3],"strRange":[5,1]}]})");
}

TEST(RecordsJson, LinkKeysOnlyForLinksAndImages) {
    SpanDict external;
    external.type = SpanType::link;
    external.typeId = 16;
    external.range = Range{0, 20};
    external.strRange = {1, 1};
    external.linkType = LinkType::external;
    external.refRange = {1, 1};
    external.urlRange = {4, 9};
    external.reference = u"page.html";
    external.optionRange = Range::notFound();
    EXPECT_EQ(toJson(external),
              R"({"type":"link","typeId":16,"range":[0,20],"strRange":[1,1],"linkType":"external",)"
              R"("refRange":[1,1],"urlRange":[4,9],"reference":"page.html",)"
              R"("optionRange":[9223372036854775807,0]})");

    SpanDict local = external;
    local.type = SpanType::image;
    local.typeId = 64;
    local.linkType = LinkType::local;
    local.reference = u"r\u00E9f";
    local.optionRange.reset();
    EXPECT_EQ(toJson(local),
              R"({"type":"image","typeId":64,"range":[0,20],"strRange":[1,1],"linkType":"local",)"
              R"("refRange":[1,1],"urlRange":[4,9],"reference":"r)"
              "\xC3\xA9"
              R"(f"})");

    SpanDict escaped;
    escaped.type = SpanType::backslash;
    escaped.typeId = 256;
    escaped.range = Range{2, 1};
    escaped.strRange = Range::notFound();
    escaped.reference = u"never written";
    EXPECT_EQ(toJson(escaped),
              R"({"type":"backslash","typeId":256,"range":[2,1],"strRange":[9223372036854775807,0]})");
}

TEST(RecordsJson, DefinitionBlockInsideAMarkerLine) {
    BlockDict definition;
    definition.type = BlockType::linklabel;
    definition.strRange = {2, 12};
    definition.range = {3, 1};
    definition.label = u"a";
    definition.urlString = u"http://x";
    definition.urlRange = {7, 8};
    EXPECT_EQ(toJson(definition),
              R"({"type":"linklabel","depth":0,"quoteDepth":0,"strRange":[2,12],"range":[3,1],)"
              R"("label":"a","urlString":"http://x","urlRange":[7,8]})");
    definition.options = u"T";
    EXPECT_EQ(toJson(definition),
              R"({"type":"linklabel","depth":0,"quoteDepth":0,"strRange":[2,12],"range":[3,1],)"
              R"("label":"a","urlString":"http://x","urlRange":[7,8],"options":"T"})");
}
