#include "editor/QtFontProvider.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringView>
#include <cmath>

namespace quillet {

namespace {

QStringView view(std::u16string_view text) {
    return QStringView(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QtFontProvider::QtFontProvider() = default;

Font QtFontProvider::handle(const QFont& font) {
    const QString key = font.toString();
    const auto found = handles_.constFind(key);
    if (found != handles_.constEnd()) return *found;
    fonts_.push_back(font);
    const Font made(static_cast<std::uint32_t>(fonts_.size()));
    handles_.insert(key, made);
    return made;
}

const QFont& QtFontProvider::font(Font handle) const {
    if (handle.isNull() || handle.id() > fonts_.size()) return fallback_;
    return fonts_[handle.id() - 1];
}

double QtFontProvider::textWidth(std::u16string_view text, Font handle, double tabInterval) const {
    const QFontMetricsF metrics(font(handle));
    const double tab = tabInterval > 0 ? tabInterval : 4 * metrics.horizontalAdvance(QLatin1Char(' '));
    double width = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t tabAt = text.find(u'\t', start);
        const std::size_t end = tabAt == std::u16string_view::npos ? text.size() : tabAt;
        width += metrics.horizontalAdvance(view(text.substr(start, end - start)).toString());
        if (tabAt == std::u16string_view::npos) break;
        if (tab > 0) width = (std::floor(width / tab) + 1) * tab;
        start = tabAt + 1;
    }
    return width;
}

std::optional<Font> QtFontProvider::fontInFamily(Font handle, unsigned traits, int weight) {
    QFont derived = font(handle);
    const bool italic = (traits & kItalicTrait) != 0;
    const bool bold = (traits & kBoldTrait) != 0 || weight >= 8;
    derived.setItalic(italic);
    derived.setBold(bold);
    const QFontInfo matched(derived);
    if (italic && matched.style() == QFont::StyleNormal) return std::nullopt;
    if (bold && matched.weight() < QFont::DemiBold) return std::nullopt;
    return this->handle(derived);
}

// The desktop's fixed font, unless what it resolves to is not fixed pitch (some font sets
// answer "monospace" with a family whose widths vary): then the first fixed-pitch family found.
QFont QtFontProvider::fixedPitchQFont(double pointSize) {
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(fixed).fixedPitch()) {
        for (const char* family : {"DejaVu Sans Mono", "Noto Sans Mono", "Liberation Mono", "monospace"}) {
            QFont candidate(QString::fromLatin1(family));
            candidate.setStyleHint(QFont::TypeWriter);
            candidate.setFixedPitch(true);
            if (QFontInfo(candidate).fixedPitch()) {
                fixed = candidate;
                break;
            }
        }
    }
    if (pointSize > 0) fixed.setPointSizeF(pointSize);
    return fixed;
}

Font QtFontProvider::fixedPitchFont(double pointSize) {
    return handle(fixedPitchQFont(pointSize));
}

double QtFontProvider::pointSize(Font handle) const {
    return font(handle).pointSizeF();
}

std::u16string QtFontProvider::fontName(Font handle) const {
    const QString family = QFontInfo(font(handle)).family();
    return {reinterpret_cast<const char16_t*>(family.utf16()), static_cast<std::size_t>(family.size())};
}

double QtFontProvider::descender(Font handle) const {
    return -QFontMetricsF(font(handle)).descent();
}

} // namespace quillet
