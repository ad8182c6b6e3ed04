#pragma once
// Numbers read and written the way the user's locale writes them: a decimal number formatter
// with its default settings (grouping separators, at most three fraction digits, rounding half
// to even). Used by the arithmetic command, whose operands are single-precision values.

#include <memory>
#include <string>
#include <string_view>
#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class NumberFormat;
U_NAMESPACE_END

namespace quillet {

class DecimalNumbers {
public:
    // `locale` is an ICU locale identifier such as "en_US" or "de_DE"; an unknown one falls back
    // to ICU's root locale.
    explicit DecimalNumbers(const std::string& locale);
    ~DecimalNumbers();
    DecimalNumbers(const DecimalNumbers&) = delete;
    DecimalNumbers& operator=(const DecimalNumbers&) = delete;

    // The value of `text` when the whole of it reads as a finite number, else 0.
    float parse(std::u16string_view text) const;
    std::u16string format(float value) const;
    // The locale's decimal separator, for the intermediate values the evaluation writes.
    char16_t decimalSeparator() const { return decimalSeparator_; }

private:
    std::unique_ptr<icu::NumberFormat> format_;
    char16_t decimalSeparator_ = u'.';
};

} // namespace quillet
