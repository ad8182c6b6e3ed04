#pragma once
// The arithmetic command's evaluator: a line that ends in a small expression ("price 3*4",
// "(1+2)*3=") gets "= RESULT " inserted after it. The expression is found before the caret,
// split into tokens (operators "+-*/=()" and number texts), reduced group by group, and
// evaluated in two passes over a token list, products and quotients first, then sums and
// differences. Operands are single-precision values read with the locale's number formatter;
// intermediate results are written back into the lists as text, which is why "(1/3)*3" gives
// 0.99: a top-level group's value keeps two decimals.
//
// Every input gives a result: unreadable numbers count as 0, an unclosed group as the value of
// its last inner group, a division by zero as 0; nothing recurses, so no nesting depth can
// exhaust the stack.

#include "engine/DecimalNumbers.h"
#include "engine/Range.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::arithmetic {

using Tokens = std::vector<std::u16string>;

// The tokens of `expression` up to and including its first "=" (or its end).
Tokens tokenize(std::u16string_view expression);

// The value of `tokens`, which should end in "=" (0 when no "=" is reached).
double evaluate(const Tokens& tokens, const DecimalNumbers& numbers);

// The list with every product and quotient computed, left to right, up to its "=".
Tokens multiplyStack(const Tokens& tokens, const DecimalNumbers& numbers);
// The sum of the list up to its "=": "+" and "-" set the operator for all following numbers.
double addStack(const Tokens& tokens, const DecimalNumbers& numbers);

// The expression in `text` that ends at the "=" at `equalsIndex`, including that "="; an empty
// range when the text before it holds no expression (a bare, possibly signed, number is none).
Range expressionRange(std::u16string_view text, std::size_t equalsIndex);

struct Calculation {
    Range replaced;           // in the text the line came from
    std::u16string insertion; // "= RESULT "
};

// What the command does to `line` (starting at `lineStart` in its text) with `selection`: the
// expression just before the selection, or none.
std::optional<Calculation> calculate(std::u16string_view line, std::size_t lineStart, Range selection,
                                     const DecimalNumbers& numbers);

} // namespace quillet::arithmetic
