#pragma once
// The code highlighter's keyword tables. The values of style sheets are listed but no rule
// consults them; the script table keeps its "finaly", so "finally" stays uncoloured.

#include <array>
#include <string_view>

namespace quillet {

extern const std::array<std::u16string_view, 42> kPredefinedStylesForCSS;
extern const std::array<std::u16string_view, 16> kPredefinedValuesForCSS;
extern const std::array<std::u16string_view, 26> kPredefinedStylesForPython;
extern const std::array<std::u16string_view, 10> kPredefinedValuesForPython;

} // namespace quillet
