// Inline elements in the editor. The plain cases (each element kind, links with and without a
// URL, definitions) are shown run by run in tests/dialect/50-styles.md; these are the rest.

#include "EditorStylingTestSupport.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

std::u16string linkAt(const StyledNote& note, std::u16string_view needle, std::size_t offset = 0) {
    const TextAttributes attributes = note.at(needle, offset);
    return attributes.link ? *attributes.link : u"<none>";
}

} // namespace

TEST(EditorStylingInline, HeadersAreBoldWithGreyMarkers) {
    const StyledNote note(u"# Title *x*\n> ## Inner\n");
    const MarkdownString& engine = note.engine;
    EXPECT_EQ(note.at(u"# T").foregroundColor, TextColor::gray);
    EXPECT_EQ(note.at(u"Title").font, engine.boldFont());
    EXPECT_EQ(note.at(u"Title").foregroundColor, TextColor::text);
    EXPECT_EQ(note.at(u"x").font, engine.boldItalicFont());
    // A header inside a quote: the header element of the line's inline elements.
    EXPECT_EQ(note.at(u"## I").foregroundColor, TextColor::gray);
    EXPECT_EQ(note.at(u"Inner").font, engine.boldFont());
    EXPECT_EQ(note.at(u"Inner").foregroundColor, TextColor::text);
    EXPECT_EQ(note.at(u"> ##").foregroundColor, TextColor::gray);
}

TEST(EditorStylingInline, LinksAndLabelsOfEarlierTextDoNotSurviveAnEdit) {
    StyledNote note(u"[t](http://a.com) x\n[id]: http://b.org\n");
    ASSERT_EQ(linkAt(note, u"http://a.com"), u"http://a.com");
    ASSERT_TRUE(note.at(u"id").mdBlockLinkLabel);

    note.edit(note.find(u"]("), u" (");
    EXPECT_EQ(linkAt(note, u"http://a.com"), u"<none>");
    note.edit(note.find(u"]:"), u"] ");
    EXPECT_FALSE(note.at(u"id").mdBlockLinkLabel);
    EXPECT_EQ(note.at(u"id").foregroundColor, TextColor::text);
}
