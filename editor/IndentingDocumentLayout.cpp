#include "editor/IndentingDocumentLayout.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <climits>

namespace quillet {

namespace {

// A line never gets narrower than this, however deep its indent.
constexpr double kMinimumLineWidth = 40.0;

// How far the line's text is drawn above and below its natural box.
struct BaselineShift {
    double up = 0;
    double down = 0;
};

// Qt draws a baseline offset (code lines are raised) without making the line any taller, so
// raised text would be drawn over the line above unless the line makes room for it.
BaselineShift baselineShift(const QTextLayout& layout, const QTextLine& line, const QFont& baseFont) {
    BaselineShift shift;
    const int lineStart = line.textStart();
    const int lineEnd = lineStart + line.textLength();
    for (const QTextLayout::FormatRange& range : layout.formats()) {
        if (!range.format.hasProperty(QTextFormat::TextBaselineOffset)) continue;
        if (range.start >= lineEnd || range.start + range.length <= lineStart) continue;
        // Qt takes the offset as a share of the font's height.
        const double height = QFontMetricsF(range.format.font().resolve(baseFont)).height();
        const double offset = range.format.baselineOffset() / 100.0 * height;
        shift.up = std::max(shift.up, offset);
        shift.down = std::max(shift.down, -offset);
    }
    return shift;
}

} // namespace

IndentingDocumentLayout::IndentingDocumentLayout(QTextDocument* document)
    : QPlainTextDocumentLayout(document) {}

QRectF IndentingDocumentLayout::blockBoundingRect(const QTextBlock& block) const {
    if (block.isValid() && !hasStyledLayout(block))
        const_cast<IndentingDocumentLayout*>(this)->layoutStyledBlock(block);
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

void IndentingDocumentLayout::ensureStyledLayout(const QTextBlock& block) {
    if (block.isValid() && !hasStyledLayout(block)) layoutStyledBlock(block);
}

// This layout always sets tab stops; the base class lays out with the document's default
// option, which has none.
bool IndentingDocumentLayout::hasStyledLayout(const QTextBlock& block) {
    const QTextLayout* layout = block.layout();
    return layout->lineCount() > 0 && !layout->textOption().tabs().isEmpty();
}

void IndentingDocumentLayout::layoutStyledBlock(const QTextBlock& block) {
    QTextDocument* document = this->document();
    const ParagraphGeometry geometry = source_ ? source_->blockGeometry(block) : ParagraphGeometry{};

    QTextOption option = document->defaultTextOption();
    QList<QTextOption::Tab> tabs;
    for (double stop : geometry.tabStops)
        tabs.append(QTextOption::Tab(stop, QTextOption::LeftTab));
    if (tabs.isEmpty()) tabs.append(QTextOption::Tab(option.tabStopDistance(), QTextOption::LeftTab));
    option.setTabs(tabs);

    const double margin = document->documentMargin();
    const double wrap = source_ ? source_->wrapWidth() : 0.0;
    const double available = (wrap > 0 ? wrap : double(INT_MAX)) - 2 * margin;

    QTextLayout* layout = block.layout();
    layout->setTextOption(option);
    layout->beginLayout();
    double y = 0;
    bool first = true;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        const double indent = first ? geometry.firstLineHeadIndent : geometry.headIndent;
        first = false;
        line.setLeadingIncluded(true);
        line.setLineWidth(std::max(available - indent, kMinimumLineWidth));
        const double natural = line.height();
        double height = natural;
        if (geometry.maximumLineHeight > 0) height = std::min(height, geometry.maximumLineHeight);
        if (geometry.minimumLineHeight > 0) height = std::max(height, geometry.minimumLineHeight);
        const BaselineShift shift = baselineShift(*layout, line, document->defaultFont());
        if (shift.up > 0 || shift.down > 0) height = std::max(height, natural + shift.up + shift.down);
        // Extra height goes above the text, as the line's own leading would.
        line.setPosition(QPointF(margin + indent, y + std::max(0.0, height - natural - shift.down)));
        y += height;
    }
    layout->endLayout();
    const int previousLines = document->lineCount();
    const_cast<QTextBlock&>(block).setLineCount(block.isVisible() ? layout->lineCount() : 0);
    if (document->lineCount() != previousLines) emit documentSizeChanged(documentSize());
}

} // namespace quillet
