#include "engine/AttributedText.h"

#include <gtest/gtest.h>
#include <random>

using namespace quillet;

namespace {

TextAttributes colored(TextColor color) {
    TextAttributes attributes;
    attributes.foregroundColor = color;
    return attributes;
}

TextAttributes depth(long value) {
    TextAttributes attributes;
    attributes.mdIndentDepth = value;
    return attributes;
}

// The same text and attributes kept the plain way: one attribute set per character.
struct PlainModel {
    std::u16string text;
    std::vector<TextAttributes> attributes;

    void replace(Range range, std::u16string_view replacement) {
        TextAttributes inherited;
        if (!range.empty()) {
            inherited = attributes[range.location];
        } else if (range.location > 0) {
            inherited = attributes[range.location - 1];
        } else if (!attributes.empty()) {
            inherited = attributes[0];
        }
        text.replace(range.location, range.length, replacement);
        const auto at = attributes.begin() + static_cast<std::ptrdiff_t>(range.location);
        attributes.erase(at, at + static_cast<std::ptrdiff_t>(range.length));
        attributes.insert(attributes.begin() + static_cast<std::ptrdiff_t>(range.location),
                          replacement.size(), inherited);
    }
    void change(Range range, const TextAttributes& added, AttributeKeys removed) {
        for (std::size_t i = range.location; i < range.end(); ++i)
            attributes[i].apply(added, removed);
    }
};

std::vector<TextAttributes> perCharacter(const AttributedText& text) {
    std::vector<TextAttributes> result;
    for (const auto& run : text.attributeRuns())
        result.insert(result.end(), run.range.length, run.attributes);
    return result;
}

TextAttributes randomAttributes(std::mt19937& random) {
    TextAttributes attributes;
    switch (random() % 6) {
    case 0:
        attributes.foregroundColor = static_cast<TextColor>(random() % 3);
        break;
    case 1:
        attributes.font = Font(1 + random() % 3);
        break;
    case 2:
        attributes.mdIndentDepth = static_cast<long>(random() % 4);
        break;
    case 3:
        attributes.mdBlocks = std::make_shared<const BlockStack>(random() % 3, BlockType::list);
        break;
    case 4:
        attributes.link = std::make_shared<const std::u16string>(random() % 2 ? u"a" : u"b");
        break;
    default: {
        ParagraphStyle style;
        style.headIndent = static_cast<double>(random() % 3) * 10;
        attributes.paragraphStyle = std::make_shared<const ParagraphStyle>(style);
    }
    }
    return attributes;
}

std::u16string randomText(std::mt19937& random, std::size_t length) {
    static const std::u16string alphabet = u"abc \n\r\t#-\u2028";
    std::u16string text;
    for (std::size_t i = 0; i < length; ++i)
        text += alphabet[random() % alphabet.size()];
    return text;
}

Range randomRange(std::mt19937& random, std::size_t length, std::size_t maxLength) {
    const std::size_t location = random() % (length + 1);
    const std::size_t span = std::min<std::size_t>(random() % (maxLength + 1), length - location);
    return {location, span};
}

} // namespace

TEST(AttributedText, EditsShiftRunsAndNewTextInheritsItsNeighbour) {
    AttributedText text(u"abcdef");
    text.changeAttributes({2, 2}, colored(TextColor::gray));
    text.replaceCharacters({0, 0}, u"XY"); // at the start: takes the first character's attributes
    EXPECT_EQ(text.string(), u"XYabcdef");
    EXPECT_FALSE(text.attributesAt(0).foregroundColor);
    EXPECT_EQ(text.attributesAt(4).foregroundColor, TextColor::gray);
    EXPECT_EQ(text.attributesAt(5).foregroundColor, TextColor::gray);
    EXPECT_FALSE(text.attributesAt(6).foregroundColor);

    text.replaceCharacters({6, 0}, u"!"); // after the grey run: takes the grey of the character before
    EXPECT_EQ(text.string(), u"XYabcd!ef");
    EXPECT_EQ(text.attributesAt(6).foregroundColor, TextColor::gray);

    text.replaceCharacters({4, 2}, u"--"); // a replacement takes the first replaced character's
    EXPECT_EQ(text.attributesAt(4).foregroundColor, TextColor::gray);
    text.replaceCharacters({3, 5}, u""); // deleting joins the neighbours
    EXPECT_EQ(text.string(), u"XYaf");
    EXPECT_FALSE(text.attributesAt(3).foregroundColor);
    EXPECT_TRUE(text.isConsistent());
}

TEST(AttributedText, ChangeSetAndRemoveTouchOnlyTheirRangeAndKeys) {
    AttributedText text(u"0123456789");
    text.changeAttributes({0, 10}, depth(1));
    text.changeAttributes({3, 4}, colored(TextColor::darkGray));
    text.removeAttributes({5, 5}, kIndentDepthKey);
    Range effective;
    const TextAttributes middle = text.attributesAt(4, &effective);
    EXPECT_EQ(middle.foregroundColor, TextColor::darkGray);
    EXPECT_EQ(middle.mdIndentDepth, 1);
    EXPECT_EQ(effective, (Range{3, 2}));
    EXPECT_EQ(text.attributesAt(6).mdIndentDepth, std::nullopt);
    EXPECT_EQ(text.attributesAt(6).foregroundColor, TextColor::darkGray);

    text.setAttributes({2, 6}, colored(TextColor::gray));
    EXPECT_EQ(text.attributesAt(3), colored(TextColor::gray)); // everything else replaced
    EXPECT_EQ(text.attributesAt(1).mdIndentDepth, 1);

    // Equal values given as different objects make one run.
    TextAttributes first, second;
    first.mdBlocks = std::make_shared<const BlockStack>(BlockStack{BlockType::quote});
    second.mdBlocks = std::make_shared<const BlockStack>(BlockStack{BlockType::quote});
    AttributedText plain(u"abcd");
    plain.setAttributes({0, 2}, first);
    plain.setAttributes({2, 2}, second);
    ASSERT_EQ(plain.attributeRuns().size(), 1u);
    EXPECT_EQ(plain.attributeRuns()[0].range, (Range{0, 4}));
}

TEST(AttributedText, FontRunsAreMaximalAndCoverTheRange) {
    AttributedText text(u"aaaaabbbbbccccc");
    TextAttributes font1, font2;
    font1.font = Font(1);
    font2.font = Font(2);
    text.changeAttributes({0, 10}, font1);
    text.changeAttributes({3, 2}, colored(TextColor::gray)); // splits storage runs, not font runs
    text.changeAttributes({10, 5}, font2);
    const std::vector<FontRun> runs = text.fontRuns({2, 12});
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (FontRun{{2, 8}, Font(1)}));
    EXPECT_EQ(runs[1], (FontRun{{10, 4}, Font(2)}));
    EXPECT_EQ(AttributedText(u"xy").fontRuns({0, 2}), (std::vector<FontRun>{{{0, 2}, Font()}}));
}

TEST(AttributedText, LinesEndAfterEveryPlatformTerminator) {
    const std::u16string sample = u"a\r\nb\rc\u2028d\u0085e\u2029f\ng\vh\fi";
    AttributedText text(sample);
    EXPECT_EQ(text.lineRange(0), (Range{0, 3}));
    EXPECT_EQ(text.lineRange(2), (Range{0, 3})); // the LF of a CR LF
    EXPECT_EQ(text.lineRange(3), (Range{3, 2}));
    EXPECT_EQ(text.lineRange(5), (Range{5, 2}));
    EXPECT_EQ(text.lineRange(7), (Range{7, 2}));
    EXPECT_EQ(text.lineRange(9), (Range{9, 2}));
    EXPECT_EQ(text.lineRange(11), (Range{11, 2}));
    EXPECT_EQ(text.lineRange(13), (Range{13, 5})); // VT and FF end no line
    EXPECT_EQ(text.lineRange(18), (Range{13, 5}));
    EXPECT_EQ(AttributedText(u"ab\n").lineRange(3), (Range{3, 0}));
    EXPECT_EQ(AttributedText(u"").lineRange(0), (Range{0, 0}));
    for (std::size_t i = 0; i <= sample.size(); ++i)
        EXPECT_EQ(text.lineRange(i), lineRangeIn(sample, i)) << i;
}

TEST(AttributedText, LargeTextsStayChunkedAndShareAttributeSets) {
    std::u16string big;
    for (int line = 0; line < 20000; ++line)
        big += u"- an item of a list\n";
    AttributedText text(big);
    EXPECT_GT(text.chunkCount(), 100u);
    for (std::size_t at = 0; at < big.size(); at += 20) {
        text.changeAttributes({at, 2}, colored(TextColor::gray));
        text.changeAttributes({at, 20}, depth(1));
    }
    EXPECT_LE(text.attributeSetCount(), 4u);
    EXPECT_EQ(text.attributeRuns().size(), 40000u);
    text.replaceCharacters({big.size() / 2, 0}, u"x");
    EXPECT_EQ(text.length(), big.size() + 1);
    EXPECT_TRUE(text.isConsistent());

    // A line cut by a chunk boundary still reads as one piece.
    std::u16string scratch;
    for (std::size_t at = 0; at + 40 < text.length(); at += 997) {
        const std::u16string expected = text.string().substr(at, 40);
        EXPECT_EQ(text.characters({at, 40}, scratch), expected) << at;
    }
}

TEST(AttributedText, RandomEditsAgreeWithAPlainModel) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 30; ++round) {
        PlainModel model;
        AttributedText text;
        for (int step = 0; step < 150; ++step) {
            const std::size_t length = model.text.size();
            switch (random() % 4) {
            case 0:
            case 1: {
                // Large insertions split chunks; long texts shrink again.
                const Range range = randomRange(random, length, length > 6000 ? 4000 : 40);
                const std::u16string inserted =
                    randomText(random, random() % 8 == 0 ? random() % 4000 : random() % 30);
                model.replace(range, inserted);
                text.replaceCharacters(range, inserted);
                break;
            }
            case 2: {
                const Range range = randomRange(random, length, 3000);
                const TextAttributes added = randomAttributes(random);
                const AttributeKeys removed =
                    random() % 3 == 0 ? static_cast<AttributeKeys>(1u << (random() % 11)) : 0;
                model.change(range, added, removed & ~added.keys());
                text.changeAttributes(range, added, removed & ~added.keys());
                break;
            }
            default: {
                const Range range = randomRange(random, length, 3000);
                const TextAttributes attributes = randomAttributes(random);
                for (std::size_t i = range.location; i < range.end(); ++i)
                    model.attributes[i] = attributes;
                text.setAttributes(range, attributes);
            }
            }
            ASSERT_TRUE(text.isConsistent()) << "round " << round << " step " << step;
            ASSERT_EQ(text.string(), model.text) << "round " << round << " step " << step;
            ASSERT_TRUE(perCharacter(text) == model.attributes) << "round " << round << " step " << step;
        }
        for (int probe = 0; probe < 50; ++probe) {
            const std::size_t at = random() % (model.text.size() + 1);
            EXPECT_EQ(text.lineRange(at), lineRangeIn(model.text, at));
        }
    }
}

TEST(InMemoryFontProvider, MeasuresFixedWidthsAndDerivesStyles) {
    InMemoryFontProvider fonts(7.0);
    const Font regular = fonts.font(u"Regular", 15);
    EXPECT_EQ(fonts.font(u"Regular", 15), regular); // interned
    EXPECT_NE(fonts.font(u"Regular", 12), regular);
    EXPECT_DOUBLE_EQ(fonts.textWidth(u"####", regular, 0), 28.0);
    EXPECT_DOUBLE_EQ(fonts.textWidth(u"a\tb", regular, 0), 35.0);    // tab to 28, then b
    EXPECT_DOUBLE_EQ(fonts.textWidth(u"abcd\t", regular, 28), 56.0); // on a stop: to the next
    EXPECT_DOUBLE_EQ(fonts.textWidth(u"\t\t", regular, 10), 20.0);

    const Font bold = *fonts.fontInFamily(regular, kBoldTrait, 0);
    const Font italic = *fonts.fontInFamily(regular, kItalicTrait, 4);
    const Font boldItalic = *fonts.fontInFamily(regular, kItalicTrait, 8);
    EXPECT_EQ(fonts.fontName(bold), u"Regular Bold");
    EXPECT_EQ(fonts.fontName(italic), u"Regular Italic");
    EXPECT_EQ(fonts.fontName(boldItalic), u"Regular Bold Italic");
    EXPECT_EQ(*fonts.fontInFamily(bold, kItalicTrait, 8), boldItalic);
    EXPECT_DOUBLE_EQ(fonts.pointSize(boldItalic), 15.0);

    const Font mono = fonts.fixedPitchFont(13);
    EXPECT_EQ(fonts.fontName(mono), u"Mono");
    EXPECT_DOUBLE_EQ(fonts.descender(mono), -3.25);
    EXPECT_FALSE(fonts.fontInFamily(Font(), kBoldTrait, 0));
}
