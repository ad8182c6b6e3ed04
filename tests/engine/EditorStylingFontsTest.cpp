// The fonts, widths and default paragraph style the engine derives from the editor's font.

#include "EditorStylingTestSupport.h"

#include <map>

using namespace quillet;

namespace {

// A family that may lack members: fontInFamily answers from a table keyed by (traits, weight).
class SparseFamily final : public FontProvider {
public:
    std::map<std::pair<unsigned, int>, Font> members;

    double textWidth(std::u16string_view text, Font, double) const override { return 8.5 * text.size(); }
    std::optional<Font> fontInFamily(Font, unsigned traits, int weight) override {
        const auto found = members.find({traits, weight});
        return found == members.end() ? std::nullopt : std::optional<Font>(found->second);
    }
    Font fixedPitchFont(double pointSize) override {
        return Font(100 + static_cast<std::uint32_t>(pointSize));
    }
    double pointSize(Font) const override { return 12; }
    std::u16string fontName(Font) const override { return u"Sparse"; }
    double descender(Font) const override { return -3; }
};

} // namespace

TEST(EditorStylingFonts, SettingTheFontDerivesWidthsFontsAndTheDefaultParagraphStyle) {
    InMemoryFontProvider fonts(8.0);
    MarkdownString engine;
    const Font regular = fonts.font(u"Regular", 15);
    engine.setMarkdownFont(regular, fonts);
    EXPECT_DOUBLE_EQ(engine.fontWidth, 8.0);
    EXPECT_DOUBLE_EQ(engine.indentWidth, 24.0);
    EXPECT_DOUBLE_EQ(fonts.textWidth(u"a\tb", regular, 0), 40.0);    // tab to 32, then b
    EXPECT_DOUBLE_EQ(fonts.textWidth(u"abcd\t", regular, 32), 64.0); // on a stop: to the next
    EXPECT_EQ(engine.codeFont(), fonts.fixedPitchFont(13));
    EXPECT_EQ(engine.italicFont(), *fonts.fontInFamily(regular, kItalicTrait, 0));
    EXPECT_EQ(fonts.fontName(engine.boldItalicFont()), u"Regular Bold Italic");

    const ParagraphStyle& style = *engine.defaultAttributes().paragraphStyle;
    EXPECT_DOUBLE_EQ(style.minimumLineHeight, 15.0);
    EXPECT_DOUBLE_EQ(style.maximumLineHeight, 18.0);
    ASSERT_EQ(style.tabStops.size(), 16u);
    EXPECT_DOUBLE_EQ(style.tabStops[1], 32.0); // every four characters

    MarkdownOptions options = MarkdownOptions::defaults();
    options.indentWidthByChars = 5;
    engine.setMarkdownOptions(options);
    EXPECT_DOUBLE_EQ(engine.indentWidth, 40.0) << "a new indent step keeps the character width";
}

TEST(EditorStylingFonts, DerivationsFallBackWhenTheFamilyLacksAMember) {
    SparseFamily family;
    MarkdownString engine;
    const Font base(1), bold(2), italic(3), boldItalic(4);
    family.members = {{{kBoldTrait, 0}, bold}, {{kItalicTrait, 4}, italic}, {{kItalicTrait, 8}, boldItalic}};
    engine.setMarkdownFont(base, family);
    EXPECT_EQ(engine.italicFont(), italic);
    EXPECT_EQ(engine.boldItalicFont(), boldItalic);
    EXPECT_DOUBLE_EQ(engine.fontWidth, 8.5);
    EXPECT_EQ(engine.codeFont(), Font(110));

    family.members = {{{kBoldTrait, 0}, bold}};
    EXPECT_EQ(engine.italicFont(base), base);     // no italic: the font itself
    EXPECT_EQ(engine.boldItalicFont(base), bold); // no bold italic: the bold derivation
    family.members = {{{kBoldTrait, 0}, bold}, {{kItalicTrait, 8}, base}};
    EXPECT_EQ(engine.boldItalicFont(base), bold); // the "bold italic" found is the font itself
    family.members.clear();
    EXPECT_EQ(engine.boldFont(base), base);
    EXPECT_EQ(engine.boldItalicFont(base), base);
}
