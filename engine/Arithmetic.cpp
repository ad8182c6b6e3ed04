#include "engine/Arithmetic.h"

#include "engine/RegexSearch.h"

#include <algorithm>
#include <cstdio>
#include <unicode/uchar.h>

namespace quillet::arithmetic {

namespace {

constexpr std::u16string_view kOperators = u"+-*/=()";
constexpr std::u16string_view kExpressionCharacters = u" 0123456789,.()++-=*/";
constexpr int kNestedDecimals = 6;   // "%f"
constexpr int kTopLevelDecimals = 2; // "%3.2f"

bool isOperator(char16_t c) {
    return kOperators.find(c) != std::u16string_view::npos;
}

// A value written back into a token list, as printf writes it with `decimals` decimals but with
// the locale's decimal separator, so that the formatter reads it back in any locale. Infinities
// and NaN come out as "inf" and "nan", which read as 0.
std::u16string written(double value, int decimals, char16_t separator) {
    const int size = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    std::string text(static_cast<std::size_t>(std::max(size, 0)) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    text.pop_back();
    std::u16string result(text.begin(), text.end());
    std::replace(result.begin(), result.end(), u'.', separator);
    return result;
}

// The operator at `offset` after blanks, moving past it; empty when there is none.
std::u16string getOperator(std::u16string_view text, std::size_t& offset) {
    while (offset < text.size() && (text[offset] == u' ' || text[offset] == u'\t'))
        ++offset;
    if (offset < text.size() && isOperator(text[offset])) return std::u16string(1, text[offset++]);
    return {};
}

std::optional<std::u16string> nextItem(std::u16string_view text, std::size_t& offset) {
    std::u16string item = getOperator(text, offset);
    if (!item.empty()) return item;
    if (offset >= text.size()) return std::nullopt;
    if (text.size() - offset == 1) return std::u16string(1, text[offset++]);
    thread_local const RegexSearch number(u"[\\+\\-]?[0-9\\.,]+(?=[\\+\\-\\*/=\\)\\s])");
    const RegexHit hit = number.find(text, {offset, text.size() - offset});
    if (!hit.found()) {
        offset = text.size(); // nothing more to read: taking the rest keeps the walk finite
        return std::u16string();
    }
    offset = hit.range.end();
    return std::u16string(text.substr(hit.range.location, hit.range.length));
}

// The value of the group whose "(" was just passed, leaving `index` past its ")". An unclosed
// group (a "=" or the end reached first) leaves `index` at the "=" and gives the value of the
// innermost group closed inside it, or 0. Groups are kept on a stack of their own, not on the
// call stack.
double groupValue(const Tokens& tokens, std::size_t& index, const DecimalNumbers& numbers) {
    struct Group {
        Tokens terms;
        double lastNested = 0;
    };
    std::vector<Group> open(1);
    while (index < tokens.size() && tokens[index] != u"=") {
        const std::u16string& token = tokens[index];
        if (token == u"(") {
            ++index;
            open.emplace_back();
        } else if (token == u")") {
            ++index;
            const double value = addStack(multiplyStack(open.back().terms, numbers), numbers);
            open.pop_back();
            if (open.empty()) return value;
            open.back().lastNested = value;
            open.back().terms.push_back(written(value, kNestedDecimals, numbers.decimalSeparator()));
        } else {
            open.back().terms.push_back(token);
            ++index;
        }
    }
    return open.back().lastNested;
}

bool isDigitOrSpace(char16_t c) {
    return u_charType(c) == U_DECIMAL_DIGIT_NUMBER || u_isUWhiteSpace(c);
}

// Whether "[\d\s]+=" matches at `position` within `range`.
bool numberThenEqualsAt(std::u16string_view text, Range range, std::size_t position) {
    std::size_t end = position;
    while (end < range.end() && isDigitOrSpace(text[end]))
        ++end;
    return end > position && end < range.end() && text[end] == u'=';
}

// Where the expression before the "=" at `equals` may start: after the last ", ", ". " or "=",
// and after the last character that cannot be part of an expression.
std::size_t expressionStart(std::u16string_view text, std::size_t equals) {
    const std::u16string_view before = text.substr(0, equals);
    std::size_t start = 0;
    for (std::u16string_view separator : {u", ", u". ", u"="}) {
        const std::size_t found = before.rfind(separator);
        if (found != std::u16string_view::npos) start = std::max(start, found + 1);
    }
    for (std::size_t index = equals; index-- > 1;) {
        if (kExpressionCharacters.find(text[index]) == std::u16string_view::npos) {
            start = std::max(start, index + 1);
            break;
        }
    }
    return start;
}

} // namespace

Tokens tokenize(std::u16string_view expression) {
    Tokens tokens;
    std::size_t offset = 0;
    while (offset < expression.size()) {
        std::optional<std::u16string> item = nextItem(expression, offset);
        if (!item) break;
        tokens.push_back(std::move(*item));
        if (tokens.back() == u"=") break;
    }
    return tokens;
}

double evaluate(const Tokens& tokens, const DecimalNumbers& numbers) {
    Tokens terms;
    std::size_t index = 0;
    while (index < tokens.size()) {
        const std::u16string& token = tokens[index];
        if (token == u"=") return addStack(multiplyStack(terms, numbers), numbers);
        ++index;
        if (token == u"(") {
            const double value = groupValue(tokens, index, numbers);
            terms.push_back(written(value, kTopLevelDecimals, numbers.decimalSeparator()));
        } else {
            terms.push_back(token);
        }
    }
    return 0;
}

Tokens multiplyStack(const Tokens& tokens, const DecimalNumbers& numbers) {
    Tokens result;
    for (std::size_t index = 0; index < tokens.size(); ++index) {
        const std::u16string& token = tokens[index];
        if (token == u"*" || token == u"/") {
            if (index + 1 == tokens.size()) continue; // no right operand: dropped
            const float left = result.empty() ? 0.0f : numbers.parse(result.back());
            const float right = numbers.parse(tokens[++index]);
            const float value = token == u"*" ? left * right : left / right;
            std::u16string text = written(value, kNestedDecimals, numbers.decimalSeparator());
            if (result.empty())
                result.push_back(std::move(text));
            else
                result.back() = std::move(text);
            continue;
        }
        result.push_back(token);
        if (token == u"=") break;
    }
    return result;
}

double addStack(const Tokens& tokens, const DecimalNumbers& numbers) {
    enum class Pending { none, add, subtract } pending = Pending::none;
    double sum = 0;
    for (const std::u16string& token : tokens) {
        if (token == u"=") break;
        if (token == u"+") {
            pending = Pending::add;
        } else if (token == u"-") {
            pending = Pending::subtract;
        } else {
            const double value = numbers.parse(token);
            sum = pending == Pending::none ? value : pending == Pending::add ? sum + value : sum - value;
        }
    }
    return sum;
}

Range expressionRange(std::u16string_view text, std::size_t equalsIndex) {
    if (equalsIndex >= text.size()) return {text.size(), 0};
    const std::size_t start = expressionStart(text, equalsIndex);
    if (start >= text.size()) return {start, 0};
    thread_local const RegexSearch expression(
        u"(^[\\+\\-\\(]*|\\s+[\\+\\-\\(]*)[0-9,\\.\\+\\-/\\*\\(\\)\\s]*=");
    const RegexHit hit = expression.find(text, {start, text.size() - start});
    if (!hit.found() || hit.range.length < 3) return {start, 0};
    // A bare, possibly signed, number before "=" is not an expression.
    for (std::size_t at = hit.range.location; at <= hit.range.location + 1; ++at)
        if (numberThenEqualsAt(text, hit.range, at)) return {start, 0};
    return hit.range;
}

std::optional<Calculation> calculate(std::u16string_view line, std::size_t lineStart, Range selection,
                                     const DecimalNumbers& numbers) {
    if (line.size() < 2 || selection.location < lineStart) return std::nullopt;
    const std::size_t prefixLength = std::min(selection.location - lineStart, line.size());
    std::u16string expression(line.substr(0, prefixLength));
    Range replaced = selection;
    if (!expression.empty() && expression.back() == u'=')
        replaced = {selection.location - 1, 1};
    else
        expression.push_back(u'=');
    const Range found = expressionRange(expression, expression.size() - 1);
    if (found.empty()) return std::nullopt;
    const double value = evaluate(tokenize(std::u16string_view(expression).substr(found.location)), numbers);
    return Calculation{replaced, u"= " + numbers.format(static_cast<float>(value)) + u" "};
}

} // namespace quillet::arithmetic
