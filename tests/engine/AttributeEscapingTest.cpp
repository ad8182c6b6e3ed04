// Attribute values reach the HTML escaped, wherever they came from: a note's link, an image's
// file name (with HtmlGeneratorTest's pictures), the document's language.

#include "HtmlTestSupport.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

std::u16string withAttribute(std::u16string_view value) {
    auto link = RQXMLElement::elementWithName(u"a", u"t");
    link->addAttribute(u"href", value);
    return link->XMLString();
}

TEST(AttributeEscapingTest, QuotesAndAngleBracketsCannotLeaveTheValue) {
    EXPECT_EQ(withAttribute(u"x\" onclick=\"y"), u"<a href=\"x&quot; onclick=&quot;y\">t</a>");
    EXPECT_EQ(withAttribute(u"<b>'s"), u"<a href=\"&lt;b&gt;'s\">t</a>");
    EXPECT_EQ(withAttribute(u"\"\""), u"<a href=\"&quot;&quot;\">t</a>");
    EXPECT_EQ(withAttribute(u""), u"<a href=\"\">t</a>");
}

TEST(AttributeEscapingTest, BareAmpersandsAreEscapedAndCharacterReferencesKept) {
    EXPECT_EQ(withAttribute(u"?a=1&b=2"), u"<a href=\"?a=1&amp;b=2\">t</a>");
    EXPECT_EQ(withAttribute(u"a&amp;b &#34; &#x22; &quot;"),
              u"<a href=\"a&amp;b &#34; &#x22; &quot;\">t</a>");
    // Not references: no name, no digits, no closing semicolon, a trailing '&'.
    EXPECT_EQ(withAttribute(u"&; &#; &#x; &#xg; &amp &1; &"),
              u"<a href=\"&amp;; &amp;#; &amp;#x; &amp;#xg; &amp;amp &amp;1; &amp;\">t</a>");
}

TEST(AttributeEscapingTest, EveryWriterEscapesAndTheRawAttributeTextStaysAsWritten) {
    auto image = RQXMLElement::elementWithName(u"img");
    image->setAttributesWithDictionary({{u"src", u"a\".png"}, {u"alt", u"<x>"}});
    image->setAttributesWithString(u"width=3 title='q'");
    const std::u16string expected = u"<img src=\"a&quot;.png\" alt=\"&lt;x&gt;\" width=3 title='q'>";
    EXPECT_EQ(image->XMLString(), expected);

    struct Pieces {
        std::u16string text;
        void operator+=(std::u16string_view piece) { text += piece; }
        void operator+=(char16_t unit) { text += unit; }
    } pieces;
    image->writeXMLString(pieces);
    EXPECT_EQ(pieces.text, expected);

    const std::u16string document =
        MarkdownString::htmlDocumentFromBody(nullptr, u"t", u"en\" onload=\"x")->XMLString();
    EXPECT_NE(document.find(u"lang=\"en&quot; onload=&quot;x\""), std::u16string::npos);
    EXPECT_EQ(document.find(u"onload=\"x"), std::u16string::npos);
}

TEST(AttributeEscapingTest, LinksAndImagesOfANoteAreEscaped) {
    MarkdownString engine;
    const auto fragment = [&](std::u16string_view note) { return testing::bodyHtml(engine, note); };
    EXPECT_EQ(fragment(u"[q](http://e.x/?a=1&b=2)"), u"<p><a href=\"http://e.x/?a=1&amp;b=2\">q</a></p>");
    EXPECT_EQ(fragment(u"![a <b> c](p.png)"), u"<p><img src=\"p.png\" alt=\"a &lt;b&gt; c\"></p>");
    EXPECT_EQ(fragment(u"![Fish &amp; chips](p.png)"),
              u"<p><img src=\"p.png\" alt=\"Fish &amp; chips\"></p>");
}

} // namespace
} // namespace quillet
