#include "tools/JsonText.h"

#include <gtest/gtest.h>

using namespace quillet::convert;

namespace {

std::string json(std::u16string_view text) {
    std::string out;
    appendJsonString(out, text);
    return out;
}

} // namespace

TEST(JsonText, EscapesEveryControlCharacterQuoteAndBackslash) {
    const char* const shortForms[] = {"\\b", "\\t", "\\n", nullptr, "\\f", "\\r"}; // U+0008..U+000D
    for (char16_t c = 0; c < 0x20; ++c) {
        char expected[16];
        const bool hasShortForm = c >= 0x08 && c <= 0x0D && shortForms[c - 0x08];
        std::snprintf(expected, sizeof expected, "\"\\u%04X\"", unsigned(c));
        EXPECT_EQ(json(std::u16string(1, c)),
                  hasShortForm ? "\"" + std::string(shortForms[c - 0x08]) + "\"" : expected)
            << "U+" << std::hex << unsigned(c);
    }
    // DEL and the C1 controls, NEL among them, are escaped too; the no-break space after them is not.
    EXPECT_EQ(json(u"\u007F\u0085\u009F\u00A0"), "\"\\u007F\\u0085\\u009F\xC2\xA0\"");
    EXPECT_EQ(json(u"say \"hi\" \\ / <b>&"), R"("say \"hi\" \\ / <b>&")");
}

TEST(JsonText, WritesNonAsciiAsUtf8AndKeepsSurrogatePairs) {
    EXPECT_EQ(json(u"\u00E9\u2028\U0001F600"), "\"\xC3\xA9\xE2\x80\xA8\xF0\x9F\x98\x80\"");
    // A lone surrogate cannot be UTF-8; its escape keeps the code unit and the output valid.
    const std::u16string lone{u'a', char16_t(0xD800), u'b', char16_t(0xDFFF)};
    EXPECT_EQ(json(lone), "\"a\\uD800b\\uDFFF\"");
}

TEST(JsonText, ObjectWriterKeepsKeyOrderWithoutBlanks) {
    std::string out;
    JsonObjectWriter object(out);
    object.range("lineRange", {4, 0});
    object.text("type", u"blank\nline");
    object.integer("depth", -2);
    object.range("urlRange", quillet::Range::notFound());
    object.rawKey("list");
    out += "[]";
    object.close();
    EXPECT_EQ(
        out,
        R"({"lineRange":[4,0],"type":"blank\nline","depth":-2,"urlRange":[9223372036854775807,0],"list":[]})");
    std::string empty;
    JsonObjectWriter(empty).close();
    EXPECT_EQ(empty, "{}");
}
