#include "engine/Arithmetic.h"

#include <chrono>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::arithmetic;

namespace {

// What the command inserts with the caret at the end of `line` (nothing: "").
std::u16string resultAtEnd(std::u16string_view line, const DecimalNumbers& numbers) {
    const auto calculation = calculate(line, 0, {line.size(), 0}, numbers);
    return calculation ? calculation->insertion : u"";
}

} // namespace

TEST(Arithmetic, ExamplesGiveTheirResults) {
    const DecimalNumbers english("en_US");
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"1+2*3", u"= 7 "},       {u"(1+2)*3", u"= 9 "},
        {u"10/4", u"= 2.5 "},      {u"1/3", u"= 0.333 "},
        {u"(1/3)*3", u"= 0.99 "},  {u"-5", u""},
        {u"0-5", u"= -5 "},        {u"5--3", u"= 2 "},
        {u"1+2 3", u"= 6 "},       {u"price 3*4", u"= 12 "},
        {u"x = 2+3", u"= 5 "},     {u"1. 2+3", u"= 5 "},
        {u"(1+2", u"= 0 "},        {u"1,234.5+1", u"= 1,235.5 "},
        {u"((2+3)*2)-1", u"= 9 "},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(resultAtEnd(line, english), expected) << std::string(line.begin(), line.end());
}

TEST(Arithmetic, ReplacesTheEqualsSignOrTheSelection) {
    const DecimalNumbers english("en_US");
    const std::u16string text = u"note\n2+3=\nrest";
    const auto afterEquals = calculate(std::u16string_view(text).substr(5, 5), 5, {9, 0}, english);
    ASSERT_TRUE(afterEquals);
    EXPECT_EQ(afterEquals->replaced, (Range{8, 1}));
    EXPECT_EQ(afterEquals->insertion, u"= 5 ");
    const auto overSelection = calculate(u"2*3 old", 0, {4, 3}, english);
    ASSERT_TRUE(overSelection);
    EXPECT_EQ(overSelection->replaced, (Range{4, 3}));
    EXPECT_EQ(overSelection->insertion, u"= 6 ");
}

TEST(Arithmetic, LocaleDecidesHowNumbersReadAndWrite) {
    const DecimalNumbers german("de_DE");
    EXPECT_EQ(resultAtEnd(u"1,5*3", german), u"= 4,5 ");
    EXPECT_EQ(resultAtEnd(u"10/4", german), u"= 2,5 ");
    EXPECT_EQ(resultAtEnd(u"(1/3)*3", german), u"= 0,99 ");
    EXPECT_EQ(resultAtEnd(u"1.000+1", german), u"= 1.001 ");
    EXPECT_FLOAT_EQ(german.parse(u"2,25"), 2.25f);
    EXPECT_EQ(DecimalNumbers("C").format(1.0f / 3.0f), u"0.333");  // the POSIX locale too
    EXPECT_EQ(german.format(0.0625f), u"0,062");                   // half to even
    EXPECT_FLOAT_EQ(DecimalNumbers("en_US").parse(u"2,25"), 0.0f); // misplaced grouping: unreadable
}

TEST(Arithmetic, OpenCasesHaveDefinedResults) {
    const DecimalNumbers english("en_US");
    // A division by zero writes a value that reads back as 0.
    EXPECT_EQ(resultAtEnd(u"5/0", english), u"= 0 ");
    EXPECT_EQ(resultAtEnd(u"1+0/0", english), u"= 1 ");
    // A product too large for single precision reads back as 0; a sum that overflows stays infinite.
    EXPECT_EQ(resultAtEnd(u"99999999999999999999*99999999999999999999", english), u"= 0 ");
    const std::u16string big = u"300000000000000000000000000000000000000";
    EXPECT_EQ(resultAtEnd(big + u"+" + big, english), u"= ∞ ");
    // No left operand: 0; an operator at the end: dropped; unbalanced closing: read as 0.
    EXPECT_EQ(multiplyStack({u"*", u"4", u"+", u"1", u"="}, english),
              (Tokens{u"0.000000", u"+", u"1", u"="}));
    EXPECT_EQ(resultAtEnd(u"2*", english), u"= 2 ");
    EXPECT_EQ(resultAtEnd(u"2+3)*2", english), u"= 5 ");
    EXPECT_DOUBLE_EQ(evaluate({u"1", u"+", u"2"}, english), 0.0); // no "=": no result
    // Nothing to evaluate: an empty line, the caret at the line's start, a line of text.
    EXPECT_FALSE(calculate(u"", 0, {0, 0}, english));
    EXPECT_FALSE(calculate(u"2+3\n", 0, {0, 0}, english));
    EXPECT_FALSE(calculate(u"words", 0, {5, 0}, english));
    EXPECT_FALSE(calculate(u"=", 0, {1, 0}, english));
}

TEST(Arithmetic, HugeInputsFinishWithoutRecursion) {
    const DecimalNumbers english("en_US");
    const std::size_t depth = 50000;
    std::u16string nested(depth, u'(');
    nested += u"1+1";
    nested.append(depth, u')');
    EXPECT_EQ(resultAtEnd(nested, english), u"= 2 ");
    std::u16string unclosed(depth, u'(');
    EXPECT_EQ(resultAtEnd(unclosed + u"7", english), u"= 0 ");
    std::u16string sum = u"0";
    for (int i = 0; i < 20000; ++i)
        sum += u"+1";
    EXPECT_EQ(resultAtEnd(sum, english), u"= 20,000 ");
}
