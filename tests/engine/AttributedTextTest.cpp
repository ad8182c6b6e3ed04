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

// The same text and attributes kept the plain way: one attribute set per character, new text
// taking the attributes of the first replaced character, or else of the one before.
struct PlainModel {
    std::u16string text;
    std::vector<TextAttributes> attributes;

    void replace(Range range, std::u16string_view replacement) {
        TextAttributes inherited;
        if (!range.empty())
            inherited = attributes[range.location];
        else if (range.location > 0)
            inherited = attributes[range.location - 1];
        else if (!attributes.empty())
            inherited = attributes[0];
        text.replace(range.location, range.length, replacement);
        const auto at = attributes.begin() + static_cast<std::ptrdiff_t>(range.location);
        attributes.insert(attributes.erase(at, at + static_cast<std::ptrdiff_t>(range.length)),
                          replacement.size(), inherited);
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
    const unsigned kind = random() % 6, value = random() % 3;
    if (kind == 0) attributes.foregroundColor = static_cast<TextColor>(value);
    if (kind == 1) attributes.font = Font(1 + value);
    if (kind == 2) attributes.mdIndentDepth = static_cast<long>(value);
    if (kind == 3) attributes.mdBlocks = std::make_shared<const BlockStack>(value, BlockType::list);
    if (kind == 4) attributes.link = std::make_shared<const std::u16string>(value ? u"a" : u"b");
    if (kind == 5) {
        ParagraphStyle style;
        style.headIndent = value * 10.0;
        attributes.paragraphStyle = std::make_shared<const ParagraphStyle>(style);
    }
    return attributes;
}

std::u16string randomText(std::mt19937& random, std::size_t length) {
    static const std::u16string alphabet = u"abc \n\r\t#-\u2028\u2029\u0085\v";
    std::u16string text;
    for (std::size_t i = 0; i < length; ++i)
        text += alphabet[random() % alphabet.size()];
    return text;
}

Range randomRange(std::mt19937& random, std::size_t length, std::size_t maxLength) {
    const std::size_t location = random() % (length + 1);
    return {location, std::min<std::size_t>(random() % (maxLength + 1), length - location)};
}

} // namespace

TEST(AttributedText, RandomEditsAgreeWithAPlainModel) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 30; ++round) {
        PlainModel model;
        AttributedText text;
        for (int step = 0; step < 150; ++step) {
            const std::size_t length = model.text.size();
            const unsigned kind = random() % 4;
            if (kind < 2) {
                // Large insertions split chunks; long texts shrink again.
                const Range range = randomRange(random, length, length > 6000 ? 4000 : 40);
                const std::u16string inserted =
                    randomText(random, random() % 8 == 0 ? random() % 4000 : random() % 30);
                model.replace(range, inserted);
                text.replaceCharacters(range, inserted);
            } else {
                const Range range = randomRange(random, length, 3000);
                const TextAttributes attributes = randomAttributes(random);
                const AttributeKeys removed =
                    random() % 3 == 0 ? static_cast<AttributeKeys>(1u << (random() % 11)) & ~attributes.keys()
                                      : 0;
                for (std::size_t i = range.location; i < range.end(); ++i) {
                    if (kind == 2)
                        model.attributes[i].apply(attributes, removed);
                    else
                        model.attributes[i] = attributes;
                }
                if (kind == 2)
                    text.changeAttributes(range, attributes, removed);
                else
                    text.setAttributes(range, attributes);
            }
            ASSERT_TRUE(text.isConsistent() && text.string() == model.text &&
                        perCharacter(text) == model.attributes)
                << "round " << round << " step " << step;
        }
        for (int probe = 0; probe < 50; ++probe) {
            const std::size_t at = random() % (model.text.size() + 1);
            EXPECT_EQ(text.lineRange(at), lineRangeIn(model.text, at));
        }
    }
}

TEST(AttributedText, RunsAreMaximalForEqualValuesAndFonts) {
    // Equal values given as different objects make one run.
    TextAttributes first, second;
    first.mdBlocks = std::make_shared<const BlockStack>(BlockStack{BlockType::quote});
    second.mdBlocks = std::make_shared<const BlockStack>(BlockStack{BlockType::quote});
    AttributedText plain(u"abcd");
    plain.setAttributes({0, 2}, first);
    plain.setAttributes({2, 2}, second);
    ASSERT_EQ(plain.attributeRuns().size(), 1u);

    AttributedText text(u"aaaaabbbbbccccc");
    TextAttributes font1, font2;
    font1.font = Font(1);
    font2.font = Font(2);
    text.changeAttributes({0, 10}, font1);
    text.changeAttributes({3, 2}, colored(TextColor::gray)); // splits storage runs, not font runs
    text.changeAttributes({10, 5}, font2);
    EXPECT_EQ(text.fontRuns({2, 12}), (std::vector<FontRun>{{{2, 8}, Font(1)}, {{10, 4}, Font(2)}}));
}

// The random edits compare every line range with lineRangeIn; these pin lineRangeIn itself.
TEST(AttributedText, LinesEndAfterEveryPlatformTerminator) {
    const AttributedText text(u"a\r\nb\rc\u2028d\u0085e\u2029f\ng\vh\fi");
    EXPECT_EQ(text.lineRange(2), (Range{0, 3}));   // the LF of a CR LF
    EXPECT_EQ(text.lineRange(13), (Range{13, 5})); // VT and FF end no line
    EXPECT_EQ(lineRangeIn(u"a\r\nb\rc\u2028d\u0085e\u2029f\ng\vh\fi", 13), (Range{13, 5}));
    EXPECT_EQ(AttributedText(u"ab\n").lineRange(3), (Range{3, 0}));
}

TEST(AttributedText, LargeTextsStayChunkedAndShareAttributeSets) {
    std::u16string big;
    for (int line = 0; line < 20000; ++line)
        big += u"- an item of a list\n";
    AttributedText text(big);
    EXPECT_GT(text.chunkCount(), 100u);
    TextAttributes depth;
    depth.mdIndentDepth = 1;
    for (std::size_t at = 0; at < big.size(); at += 20) {
        text.changeAttributes({at, 2}, colored(TextColor::gray));
        text.changeAttributes({at, 20}, depth);
    }
    EXPECT_LE(text.attributeSetCount(), 4u);
    EXPECT_EQ(text.attributeRuns().size(), 40000u);
    // A line cut by a chunk boundary still reads as one piece.
    std::u16string scratch;
    for (std::size_t at = 0; at + 40 < text.length(); at += 997)
        EXPECT_EQ(text.characters({at, 40}, scratch), big.substr(at, 40)) << at;
}
