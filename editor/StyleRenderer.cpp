#include "editor/StyleRenderer.h"

#include "editor/QtFontProvider.h"

#include <QFontMetricsF>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace quillet {

namespace {

// The shares of the text colour in gray (white level 0.5) and dark gray (white level 1/3)
// against the base colour: black text on white gives exactly those levels.
constexpr double kGrayShare = 0.5;
constexpr double kDarkGrayShare = 2.0 / 3.0;

QColor mixed(const QColor& text, const QColor& base, double textShare) {
    const auto channel = [&](double t, double b) { return t * textShare + b * (1.0 - textShare); };
    return QColor::fromRgbF(static_cast<float>(channel(text.redF(), base.redF())),
                            static_cast<float>(channel(text.greenF(), base.greenF())),
                            static_cast<float>(channel(text.blueF(), base.blueF())));
}

// The code highlighter's colours; on a dark base the dark ones are lightened so that they stay
// readable (the same hues, at about the lightness of the orange).
QColor codeColor(TextColor color, bool darkBase) {
    switch (color) {
    case TextColor::orange:
        return QColor::fromRgbF(1.0f, 0.5f, 0.0f);
    case TextColor::purple:
        return darkBase ? QColor::fromRgbF(0.85f, 0.55f, 0.95f) : QColor::fromRgbF(0.5f, 0.0f, 0.5f);
    case TextColor::darkRed:
        return darkBase ? QColor::fromRgbF(1.0f, 0.45f, 0.45f) : QColor::fromRgbF(0.8f, 0.0f, 0.0f);
    case TextColor::blue:
        return darkBase ? QColor::fromRgbF(0.5f, 0.65f, 1.0f) : QColor::fromRgbF(0.0f, 0.0f, 1.0f);
    case TextColor::darkGreen:
        return darkBase ? QColor::fromRgbF(0.45f, 0.8f, 0.45f) : QColor::fromRgbF(0.0f, 0.5f, 0.0f);
    default:
        return {};
    }
}

} // namespace

StyleRenderer::StyleRenderer(const QtFontProvider& fonts) : fonts_(fonts) {}

void StyleRenderer::setPalette(const QPalette& palette) {
    palette_ = palette;
    cache_.clear();
}

QColor StyleRenderer::color(TextColor color) const {
    const QColor text = palette_.color(QPalette::Text);
    const QColor base = palette_.color(QPalette::Base);
    switch (color) {
    case TextColor::text:
        return text;
    case TextColor::gray:
        return mixed(text, base, kGrayShare);
    case TextColor::darkGray:
        return mixed(text, base, kDarkGrayShare);
    case TextColor::orange:
    case TextColor::purple:
    case TextColor::darkRed:
    case TextColor::blue:
    case TextColor::darkGreen:
        return codeColor(color, base.lightnessF() < 0.5);
    }
    return text;
}

QColor StyleRenderer::searchMarkColor() {
    return QColor::fromRgbF(1.0f, 0.5f, 0.0f);
}

QTextCharFormat StyleRenderer::charFormat(const TextAttributes& attributes) {
    QTextCharFormat format = cachedFormat(attributes).format;
    if (attributes.link) {
        const std::u16string& url = *attributes.link;
        format.setAnchorHref(QString::fromUtf16(url.data(), static_cast<qsizetype>(url.size())));
    }
    return format;
}

// Formats are shared by every run with the same look; a link's URL is set on a copy, so that
// the cache does not grow with the links of the text.
const StyleRenderer::CachedFormat& StyleRenderer::cachedFormat(const TextAttributes& attributes) {
    const double baselineOffset = attributes.baselineOffset.value_or(0.0);
    const bool struck = attributes.strikethroughStyle.value_or(0) != 0;
    const FormatKey key{attributes.font.id(),
                        attributes.foregroundColor ? static_cast<int>(*attributes.foregroundColor) : -1,
                        baselineOffset, struck, attributes.link != nullptr};
    const auto found = cache_.find(key);
    if (found != cache_.end()) return found->second;

    QTextCharFormat format;
    if (!attributes.font.isNull())
        format.setFont(fonts_.font(attributes.font), QTextCharFormat::FontPropertiesAll);
    if (attributes.foregroundColor) format.setForeground(color(*attributes.foregroundColor));
    if (baselineOffset != 0) {
        // Qt takes the offset as a share of the font's height.
        const double height = QFontMetricsF(fonts_.font(attributes.font)).height();
        if (height > 0) format.setBaselineOffset(baselineOffset * pixelsPerPoint_ / height * 100.0);
    }
    if (struck) format.setFontStrikeOut(true);
    if (attributes.link) {
        format.setAnchor(true);
        format.setForeground(palette_.color(QPalette::Link));
        format.setFontUnderline(true);
    }
    const bool drawsSomething = !attributes.font.isNull() || attributes.foregroundColor ||
                                baselineOffset != 0 || struck || attributes.link;
    return cache_.emplace(key, CachedFormat{format, drawsSomething}).first->second;
}

QList<QTextLayout::FormatRange> StyleRenderer::formats(const std::vector<AttributedText::AttributeRun>& runs,
                                                       const std::vector<Range>& marks,
                                                       std::size_t lineStart) {
    QList<QTextLayout::FormatRange> result;
    result.reserve(static_cast<qsizetype>(runs.size() + marks.size()));
    const CachedFormat* previous = nullptr;
    const std::u16string* previousLink = nullptr;
    for (const AttributedText::AttributeRun& run : runs) {
        const CachedFormat& cached = cachedFormat(run.attributes);
        const std::u16string* link = run.attributes.link.get();
        if (!cached.drawsSomething) {
            previous = nullptr;
            continue;
        }
        // Runs that differ only in what is not drawn (the block state) draw as one.
        if (&cached == previous &&
            (link == previousLink || (link && previousLink && *link == *previousLink))) {
            result.back().length += static_cast<int>(run.range.length);
            continue;
        }
        QTextCharFormat format = cached.format;
        if (link)
            format.setAnchorHref(QString::fromUtf16(link->data(), static_cast<qsizetype>(link->size())));
        result.append(
            {static_cast<int>(run.range.location - lineStart), static_cast<int>(run.range.length), format});
        previous = &cached;
        previousLink = link;
    }
    if (!marks.empty()) {
        QTextCharFormat marked;
        marked.setBackground(searchMarkColor());
        for (const Range& mark : marks) {
            const std::size_t start = std::max(mark.location, lineStart);
            if (mark.end() <= start) continue;
            result.append(
                {static_cast<int>(start - lineStart), static_cast<int>(mark.end() - start), marked});
        }
    }
    return result;
}

ParagraphGeometry StyleRenderer::geometry(const ParagraphStyle* style, double defaultTabInterval) const {
    ParagraphGeometry geometry;
    if (style) {
        geometry.headIndent = style->headIndent;
        geometry.firstLineHeadIndent = style->firstLineHeadIndent;
        geometry.minimumLineHeight = style->minimumLineHeight * pixelsPerPoint_;
        geometry.maximumLineHeight = style->maximumLineHeight * pixelsPerPoint_;
        for (double stop : style->tabStops)
            if (stop > 0) geometry.tabStops.append(stop);
    }
    if (geometry.tabStops.isEmpty() && defaultTabInterval > 0)
        for (int i = 1; i <= 16; ++i)
            geometry.tabStops.append(i * defaultTabInterval);
    return geometry;
}

} // namespace quillet
