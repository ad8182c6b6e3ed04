// Editor styling: the editor font and what follows from it.

#include "engine/MarkdownString.h"

#include <algorithm>

namespace quillet {

namespace {

// Line height as a multiple of the point size (the maximum; the minimum is 0.2 less).
constexpr double kLineHeightFactor = 1.2;
// Tab stops every `tabWidth` characters up to this many characters.
constexpr long kTabStopCharacters = 64;

} // namespace

TextAttributes MarkdownString::initialDefaultAttributes() {
    TextAttributes attributes;
    attributes.paragraphStyle = std::make_shared<const ParagraphStyle>();
    return attributes;
}

void MarkdownString::setMarkdownFont(Font font, FontProvider& fonts) {
    fontProvider_ = &fonts;
    setFontWidth(fonts.textWidth(u"####", font, 0) * 0.25);
    selectedFont_ = font;
    const double pointSize = fonts.pointSize(font);
    codeFont_ = fonts.fixedPitchFont(pointSize - 2.0);
    boldFont_ = boldFont(font);
    italicFont_ = italicFont(font);
    boldItalicFont_ = boldItalicFont(font);

    defaultAttributes_.font = font;
    ParagraphStyle style = *defaultAttributes_.paragraphStyle;
    style.minimumLineHeight = pointSize * (kLineHeightFactor - 0.2);
    style.maximumLineHeight = pointSize * kLineHeightFactor;
    style.tabStops.clear();
    for (long i = 0; i < kTabStopCharacters; i += std::max(tabWidth, 1L))
        style.tabStops.push_back(static_cast<double>(i) * fontWidth);
    defaultAttributes_.paragraphStyle = std::make_shared<const ParagraphStyle>(std::move(style));
}

Font MarkdownString::italicFont(Font font) {
    if (!fontProvider_) return font;
    return fontProvider_->fontInFamily(font, kItalicTrait, 4).value_or(font);
}

Font MarkdownString::boldFont(Font font) {
    if (!fontProvider_) return font;
    return fontProvider_->fontInFamily(font, kBoldTrait, 0).value_or(font);
}

Font MarkdownString::boldItalicFont(Font font) {
    if (!fontProvider_) return font;
    const std::optional<Font> found = fontProvider_->fontInFamily(font, kItalicTrait, 8);
    if (!found || *found == font) return boldFont(font);
    return *found;
}

} // namespace quillet
