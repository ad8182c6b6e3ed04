#pragma once
// Fonts as the editor styling sees them: opaque handles handed out by a FontProvider, which
// measures text and derives related fonts. Two handles are the same font exactly when they are
// equal; the styling relies on that identity when it asks whether a run is already bold.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

class Font {
public:
    constexpr Font() = default;
    constexpr explicit Font(std::uint32_t id) : id_(id) {}

    constexpr std::uint32_t id() const { return id_; }
    // The null font stands for "no font attribute".
    constexpr bool isNull() const { return id_ == 0; }
    friend constexpr bool operator==(Font, Font) = default;

private:
    std::uint32_t id_ = 0;
};

// Traits asked of a font family when a styled variant is derived.
enum FontTrait : unsigned {
    kItalicTrait = 1u << 0,
    kBoldTrait = 1u << 1,
};

class FontProvider {
public:
    virtual ~FontProvider() = default;

    // Width of `text` set in `font`; a tab advances to the next multiple of `tabInterval`
    // (measured from the start of the text).
    virtual double textWidth(std::u16string_view text, Font font, double tabInterval) const = 0;
    // The member of `font`'s family with `traits` (FontTrait bits) and `weight` (0 to 15, 5 being
    // regular) at `font`'s size, or nothing when the family has no such member.
    virtual std::optional<Font> fontInFamily(Font font, unsigned traits, int weight) = 0;
    // The user's fixed-pitch font at `pointSize`.
    virtual Font fixedPitchFont(double pointSize) = 0;

    virtual double pointSize(Font font) const = 0;
    virtual std::u16string fontName(Font font) const = 0;
    // Distance from the baseline to the lowest descent, negative below the baseline.
    virtual double descender(Font font) const = 0;
};

} // namespace quillet
