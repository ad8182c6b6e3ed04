// The editor font: chosen from the user defaults at start, stored again when it changes.

#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/MarkdownViewController.h"
#include "platform/UserDefaults.h"

#include <QGuiApplication>

namespace quillet {

namespace {

constexpr double kFallbackFontSize = 15.0;
const QString kFallbackFontName = QStringLiteral("Helvetica");

QFont fontNamed(const QString& family, double pointSize) {
    QFont font = family.isEmpty() ? QGuiApplication::font() : QFont(family);
    font.setPointSizeF(pointSize > 0 ? pointSize : kFallbackFontSize);
    return font;
}

} // namespace

QFont ViewController::defaultEditorFont() const {
    using namespace platform::defaults_keys;
    if (const auto name = d->defaults.string(QString::fromLatin1(kDefaultFontName));
        name && !name->isEmpty()) {
        return fontNamed(
            *name, d->defaults.number(QString::fromLatin1(kDefaultFontSize)).value_or(kFallbackFontSize));
    }
    const auto systemFont = d->defaults.string(QString::fromLatin1(kSystemFont));
    return fontNamed(systemFont && !systemFont->isEmpty() ? *systemFont : kFallbackFontName,
                     kFallbackFontSize);
}

QFont ViewController::selectedFont() const {
    return d->selectedFont;
}

void ViewController::setFont(const QFont& font) {
    using namespace platform::defaults_keys;
    d->selectedFont = font;
    d->markdownViewController->setSelectedFont(font);
    d->defaults.setObject(QString::fromLatin1(kDefaultFontName), font.family());
    d->defaults.setObject(QString::fromLatin1(kDefaultFontSize), font.pointSizeF());
}

} // namespace quillet
