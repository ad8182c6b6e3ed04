#pragma once
// Turns the styling's attribute runs into what a block's text layout draws: character formats
// (fonts, the palette's text, gray and dark gray, strike-through, baseline offsets, links) and
// the search marks' orange background, and the paragraph geometry of a line (indents, line
// heights, tab stops) in device pixels.

#include "engine/AttributedText.h"
#include "engine/Range.h"

#include <QColor>
#include <QList>
#include <QPalette>
#include <QTextCharFormat>
#include <QTextLayout>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace quillet {

class QtFontProvider;

// How one line is laid out: all in pixels.
struct ParagraphGeometry {
    double headIndent = 0;
    double firstLineHeadIndent = 0;
    double minimumLineHeight = 0; // 0: no minimum
    double maximumLineHeight = 0; // 0: no maximum
    QList<double> tabStops;
};

class StyleRenderer {
public:
    explicit StyleRenderer(const QtFontProvider& fonts);

    // Colours follow the palette, so dark themes work; a new palette drops the cached formats.
    void setPalette(const QPalette& palette);
    // Points to pixels: the styling's line heights and baseline offsets are in points.
    void setPixelsPerPoint(double factor) { pixelsPerPoint_ = factor; }
    double pixelsPerPoint() const { return pixelsPerPoint_; }

    QColor color(TextColor color) const;
    static QColor searchMarkColor();

    // The formats of one line of text: `runs` are the attribute runs over it, `marks` the search
    // marks that meet it; both with absolute positions, `lineStart` the line's first position.
    QList<QTextLayout::FormatRange> formats(const std::vector<AttributedText::AttributeRun>& runs,
                                            const std::vector<Range>& marks, std::size_t lineStart);
    // The character format of one set of attributes (invalid when it draws nothing special).
    QTextCharFormat charFormat(const TextAttributes& attributes);

    ParagraphGeometry geometry(const ParagraphStyle* style, double defaultTabInterval) const;

private:
    using FormatKey =
        std::tuple<std::uint32_t, int, double, bool, bool>; // font, colour, offset, strike, link

    const QtFontProvider& fonts_;
    QPalette palette_;
    double pixelsPerPoint_ = 1.0;
    struct CachedFormat {
        QTextCharFormat format;
        bool drawsSomething = false;
    };
    const CachedFormat& cachedFormat(const TextAttributes& attributes);

    std::map<FormatKey, CachedFormat> cache_;
};

} // namespace quillet
