#pragma once
// The application's colour scheme: the desktop's own, or Fusion in light or dark, whatever the
// desktop shows. The choice is kept in the user defaults and applied at once; the preview's web
// engine takes its scheme when it starts, so it follows a later change at the next launch.

#include <QPalette>
#include <QString>

namespace quillet {

namespace platform {
class UserDefaults;
}

enum class ColorScheme { desktop, light, dark };

// "desktop", "light" or "dark" under this key; anything else reads as the desktop's.
inline constexpr char kColorSchemeKey[] = "QuilletColorScheme";
ColorScheme storedColorScheme(const platform::UserDefaults& defaults);
void storeColorScheme(platform::UserDefaults& defaults, ColorScheme scheme);

// The palette of the dark scheme (and of --dark).
QPalette darkPalette();
// Whether a palette draws light text on a dark window.
bool isDarkPalette(const QPalette& palette);

class Appearance {
public:
    // The application's; made before any scheme is applied, so that it sees the desktop's look.
    static Appearance& shared();
    explicit Appearance(const QString& desktopStyle, const QPalette& desktopPalette);

    void apply(ColorScheme scheme);
    ColorScheme applied() const { return applied_; }
    bool isDark(ColorScheme scheme) const;

    // Tells the web engine, before it starts, whether pages should prefer a dark scheme.
    void matchWebEngineTheme();
    bool webEngineIsDark() const { return webEngineDark_; }

private:
    QString desktopStyle_;
    QPalette desktopPalette_;
    ColorScheme applied_ = ColorScheme::desktop;
    bool webEngineDark_ = false;
};

} // namespace quillet
