// The records JSON beyond what tests/dialect/10-blocks.md shows: a definition met as a marker of a
// line, which carries its URL text, and a backslash's reference, which is never written.

#include "tools/RecordsJson.h"

#include <gtest/gtest.h>

using namespace quillet;
using quillet::convert::toJson;

TEST(RecordsJson, ADefinitionBlockCarriesItsUrlText) {
    BlockDict definition;
    definition.type = BlockType::linklabel;
    definition.strRange = {2, 12};
    definition.range = {3, 1};
    definition.label = u"a";
    definition.urlString = u"http://x";
    definition.urlRange = {7, 8};
    definition.options = u"T";
    EXPECT_EQ(toJson(definition),
              R"({"type":"linklabel","depth":0,"quoteDepth":0,"strRange":[2,12],"range":[3,1],)"
              R"("label":"a","urlString":"http://x","urlRange":[7,8],"options":"T"})");
}

TEST(RecordsJson, ABackslashWritesNoReference) {
    SpanDict escaped;
    escaped.type = SpanType::backslash;
    escaped.typeId = 256;
    escaped.range = Range{2, 1};
    escaped.strRange = Range::notFound();
    escaped.reference = u"never written";
    EXPECT_EQ(toJson(escaped),
              R"({"type":"backslash","typeId":256,"range":[2,1],"strRange":[9223372036854775807,0]})");
}
