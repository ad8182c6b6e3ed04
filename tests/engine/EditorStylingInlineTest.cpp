// Inline elements in the editor: fonts, greyed markers, strikethrough and links.

#include "EditorStylingTestSupport.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

std::u16string linkAt(const StyledNote& note, std::u16string_view needle, std::size_t offset = 0) {
    const TextAttributes attributes = note.at(needle, offset);
    return attributes.link ? *attributes.link : u"<none>";
}

} // namespace

TEST(EditorStylingInline, EmphasisAndStrongSetTheirFontsAndGreyTheirMarkers) {
    const StyledNote note(u"*a* b\n**c** d\n");
    const MarkdownString& engine = note.engine;
    EXPECT_EQ(note.at(u"a").font, engine.italicFont());
    EXPECT_EQ(note.at(u"a").foregroundColor, TextColor::text);
    EXPECT_EQ(note.at(u"*a*").font, engine.selectedFont()); // emphasis markers are not italic
    EXPECT_EQ(note.at(u"*a*").foregroundColor, TextColor::gray);
    EXPECT_EQ(note.at(u"*a*", 2).foregroundColor, TextColor::gray);
    EXPECT_EQ(note.at(u" b").font, engine.selectedFont());
    EXPECT_EQ(note.at(u" b").foregroundColor, TextColor::text);

    EXPECT_TRUE(note.allIn(note.find(u"**c**"), engine.boldFont())); // strong markers are bold
    EXPECT_EQ(note.at(u"**c**").foregroundColor, TextColor::gray);
    EXPECT_EQ(note.at(u"c").foregroundColor, TextColor::text);
    EXPECT_EQ(note.at(u" d").font, engine.selectedFont());
}

TEST(EditorStylingInline, NestedEmphasisGivesBoldItalic) {
    const StyledNote emInStrong(u"**a *b* c** x\n");
    const MarkdownString& engine = emInStrong.engine;
    EXPECT_EQ(emInStrong.at(u"b").font, engine.boldItalicFont());
    EXPECT_EQ(emInStrong.at(u"a").font, engine.boldFont());
    EXPECT_EQ(emInStrong.at(u"*b*").font, engine.boldFont());
    // The outer element's content colour covers the inner markers.
    EXPECT_EQ(emInStrong.at(u"*b*").foregroundColor, TextColor::text);
    EXPECT_EQ(emInStrong.at(u"**a").foregroundColor, TextColor::gray);

    const StyledNote strongInEm(u"*a **b** c* x\n");
    EXPECT_EQ(strongInEm.at(u"b").font, strongInEm.engine.boldItalicFont());
    EXPECT_TRUE(strongInEm.allIn(strongInEm.find(u"**b**"), strongInEm.engine.boldItalicFont()));
    EXPECT_EQ(strongInEm.at(u"a").font, strongInEm.engine.italicFont());
    EXPECT_EQ(strongInEm.at(u"*a").font, strongInEm.engine.selectedFont());
}

TEST(EditorStylingInline, CodeStrikethroughAndEscapedTags) {
    const StyledNote note(u"`co*de*` ~~gone~~ a \\<b> c\n");
    const MarkdownString& engine = note.engine;
    EXPECT_TRUE(note.allIn(note.find(u"co*de*"), engine.codeFont()));
    EXPECT_EQ(note.at(u"co").foregroundColor, TextColor::gray); // the content stays grey
    EXPECT_EQ(note.at(u"`co").font, engine.selectedFont());

    EXPECT_EQ(note.at(u"gone").strikethroughStyle, 1);
    EXPECT_EQ(note.at(u"gone").foregroundColor, TextColor::text);
    EXPECT_EQ(note.at(u"~~gone").strikethroughStyle, std::nullopt);
    EXPECT_EQ(note.at(u"~~gone").foregroundColor, TextColor::gray);

    EXPECT_EQ(note.at(u"<b>").foregroundColor, TextColor::gray);
    EXPECT_EQ(note.at(u"\\<b>").foregroundColor, TextColor::text);
}

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

TEST(EditorStylingInline, LinksCarryTheirUrlWhenItParses) {
    const StyledNote note(u"[t](http://a.com/x \"T\") [u](a<b) [v][ref] [w][] ![alt](p.png) z\n");
    EXPECT_EQ(note.at(u"[t]").foregroundColor, TextColor::gray);
    EXPECT_EQ(note.at(u"t]").foregroundColor, TextColor::text);
    EXPECT_EQ(linkAt(note, u"http://a.com/x"), u"http://a.com/x");
    EXPECT_EQ(linkAt(note, u"http://a.com/x", 13), u"http://a.com/x");
    EXPECT_EQ(linkAt(note, u"t]"), u"<none>"); // the link sits on the URL, not on the text
    EXPECT_EQ(note.at(u"http").foregroundColor, TextColor::gray);

    EXPECT_EQ(linkAt(note, u"a<b"), u"<none>"); // no URL: no link, colours all the same
    EXPECT_EQ(note.at(u"u]").foregroundColor, TextColor::text);
    EXPECT_EQ(note.at(u"(a<b").foregroundColor, TextColor::gray);

    EXPECT_EQ(linkAt(note, u"ref"), u"ref"); // a label link links its label
    EXPECT_EQ(note.at(u"v]").foregroundColor, TextColor::text);
    EXPECT_EQ(linkAt(note, u"w]"), u"w"); // an empty label: the text is the label
    EXPECT_EQ(note.at(u"w]").foregroundColor, TextColor::text);

    EXPECT_EQ(note.at(u"![").foregroundColor, TextColor::gray);
    EXPECT_EQ(note.at(u"alt").foregroundColor, TextColor::text);
    EXPECT_EQ(linkAt(note, u"p.png"), u"p.png");
    EXPECT_EQ(linkAt(note, u" z"), u"<none>");
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

TEST(EditorStylingInline, DefinitionLinesAreGreyAndMarkTheirLabel) {
    const StyledNote note(u"x\n[id]: http://x.com \"Title\"\n");
    EXPECT_EQ(note.at(u"[id]").foregroundColor, TextColor::gray);
    EXPECT_EQ(note.at(u"http").foregroundColor, TextColor::gray);
    EXPECT_EQ(note.at(u"http").font, note.engine.selectedFont());
    ASSERT_TRUE(note.at(u"id").mdBlockLinkLabel);
    EXPECT_EQ(*note.at(u"id").mdBlockLinkLabel, u"id");
    EXPECT_EQ(*note.at(u"id", 1).mdBlockLinkLabel, u"id");
    EXPECT_FALSE(note.at(u"[id]").mdBlockLinkLabel);
    EXPECT_FALSE(note.at(u"]:").mdBlockLinkLabel);
    EXPECT_FALSE(note.at(u"http").link);

    const LinkLabelRef label = note.engine.labelDictForLabel(u"id");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->urlString, u"http://x.com");
    EXPECT_EQ(label->options, u"Title");
}
