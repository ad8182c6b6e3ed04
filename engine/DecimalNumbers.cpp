#include "engine/DecimalNumbers.h"

#include <cmath>
#include <unicode/decimfmt.h>
#include <unicode/numfmt.h>

namespace quillet {

DecimalNumbers::DecimalNumbers(const std::string& locale) {
    UErrorCode status = U_ZERO_ERROR;
    format_.reset(icu::NumberFormat::createInstance(icu::Locale(locale.c_str()), UNUM_DECIMAL, status));
    if (U_FAILURE(status) || !format_) {
        status = U_ZERO_ERROR;
        format_.reset(icu::NumberFormat::createInstance(icu::Locale::getRoot(), UNUM_DECIMAL, status));
    }
    if (!format_) return;
    // Some locales' patterns (the POSIX one) allow more fraction digits: the design's three.
    format_->setMaximumFractionDigits(3);
    format_->setRoundingMode(icu::NumberFormat::kRoundHalfEven);
    if (const auto* decimal = dynamic_cast<const icu::DecimalFormat*>(format_.get())) {
        const icu::UnicodeString& separator = decimal->getDecimalFormatSymbols()->getConstSymbol(
            icu::DecimalFormatSymbols::kDecimalSeparatorSymbol);
        if (separator.length() == 1) decimalSeparator_ = separator.charAt(0);
    }
}

DecimalNumbers::~DecimalNumbers() = default;

float DecimalNumbers::parse(std::u16string_view text) const {
    if (!format_ || text.empty()) return 0;
    const icu::UnicodeString source(false, text.data(), static_cast<int32_t>(text.size()));
    icu::Formattable result;
    icu::ParsePosition position(0);
    format_->parse(source, result, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != source.length()) return 0;
    UErrorCode status = U_ZERO_ERROR;
    const double value = result.getDouble(status);
    if (U_FAILURE(status) || !std::isfinite(value)) return 0;
    return static_cast<float>(value);
}

std::u16string DecimalNumbers::format(float value) const {
    if (!format_) return {};
    icu::UnicodeString text;
    format_->format(static_cast<double>(value), text);
    return std::u16string(text.getBuffer(), static_cast<std::size_t>(text.length()));
}

} // namespace quillet
