#include "app/ColorScheme.h"

#include "platform/UserDefaults.h"

#include <QApplication>
#include <QColor>
#include <QStyle>
#include <QStyleFactory>
#include <memory>

namespace quillet {

namespace {

const QString kFusion = QStringLiteral("Fusion");

QString schemeName(ColorScheme scheme) {
    switch (scheme) {
    case ColorScheme::light:
        return QStringLiteral("light");
    case ColorScheme::dark:
        return QStringLiteral("dark");
    default:
        return QStringLiteral("desktop");
    }
}

QPalette lightPalette() {
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(kFusion));
    return fusion->standardPalette();
}

} // namespace

ColorScheme storedColorScheme(const platform::UserDefaults& defaults) {
    const QString name = defaults.string(QString::fromLatin1(kColorSchemeKey)).value_or(QString());
    if (name == schemeName(ColorScheme::light)) return ColorScheme::light;
    if (name == schemeName(ColorScheme::dark)) return ColorScheme::dark;
    return ColorScheme::desktop;
}

void storeColorScheme(platform::UserDefaults& defaults, ColorScheme scheme) {
    defaults.setObject(QString::fromLatin1(kColorSchemeKey), schemeName(scheme));
}

QPalette darkPalette() {
    const QColor window(0x2b, 0x2d, 0x30);
    const QColor base(0x1f, 0x21, 0x24);
    const QColor text(0xe4, 0xe6, 0xea);
    const QColor accent(0x4c, 0x9a, 0xff);
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0x8a, 0x8f, 0x98));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, QColor(0xff, 0x6b, 0x6b));
    palette.setColor(QPalette::Link, accent);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Light, window.lighter(150));
    palette.setColor(QPalette::Midlight, window.lighter(125));
    palette.setColor(QPalette::Mid, window.darker(120));
    palette.setColor(QPalette::Dark, window.darker(150));
    palette.setColor(QPalette::Shadow, Qt::black);
    const QColor disabled(0x74, 0x78, 0x80);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabled);
    return palette;
}

bool isDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

Appearance& Appearance::shared() {
    static Appearance appearance(QApplication::style()->name(), QApplication::palette());
    return appearance;
}

Appearance::Appearance(const QString& desktopStyle, const QPalette& desktopPalette)
    : desktopStyle_(desktopStyle), desktopPalette_(desktopPalette) {}

void Appearance::apply(ColorScheme scheme) {
    applied_ = scheme;
    // Qt 6.4 cannot ask the desktop for its scheme: its palette, as the application started with
    // it, tells light from dark.
    if (scheme == ColorScheme::desktop) {
        QApplication::setStyle(desktopStyle_);
        QApplication::setPalette(desktopPalette_);
        return;
    }
    QApplication::setStyle(QStyleFactory::create(kFusion));
    QApplication::setPalette(scheme == ColorScheme::dark ? darkPalette() : lightPalette());
}

bool Appearance::isDark(ColorScheme scheme) const {
    if (scheme == ColorScheme::desktop) return isDarkPalette(desktopPalette_);
    return scheme == ColorScheme::dark;
}

// Pages ask for `prefers-color-scheme`; the web engine answers from Chromium's theme, which only
// this flag turns dark.
void Appearance::matchWebEngineTheme() {
    webEngineDark_ = isDarkPalette(QApplication::palette());
    if (!webEngineDark_) return;
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--force-dark-mode"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --force-dark-mode").trimmed());
}

} // namespace quillet
