#pragma once
// The editor's fonts for the Markdown styling: every QFont the styling uses gets a handle, and
// the same font always gets the same handle, so the styling's identity comparisons of fonts
// (is this run already bold?) hold.

#include "engine/FontProvider.h"

#include <QFont>
#include <QHash>
#include <QString>
#include <vector>

namespace quillet {

class QtFontProvider final : public FontProvider {
public:
    QtFontProvider();

    // The handle of `font`, made on first use.
    Font handle(const QFont& font);
    // The font behind a handle; the application font for the null handle or an unknown one.
    const QFont& font(Font handle) const;

    double textWidth(std::u16string_view text, Font font, double tabInterval) const override;
    // Italic and bold members as fontconfig matches them; nothing when the match lacks the trait.
    std::optional<Font> fontInFamily(Font font, unsigned traits, int weight) override;
    // The system's fixed-pitch font.
    Font fixedPitchFont(double pointSize) override;
    double pointSize(Font font) const override;
    std::u16string fontName(Font font) const override;
    double descender(Font font) const override;

    // The user's fixed-pitch font at `pointSize`, as a QFont.
    static QFont fixedPitchQFont(double pointSize);

private:
    std::vector<QFont> fonts_; // handle id - 1 -> font
    QHash<QString, Font> handles_;
    QFont fallback_;
};

} // namespace quillet
