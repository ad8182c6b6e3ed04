#include "editor/MarkdownTextView.h"

#include "editor/IndentingDocumentLayout.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace quillet {

namespace {
constexpr int kStandardCaretWidth = 1;
}

MarkdownTextView::MarkdownTextView(QWidget* parent) : QPlainTextEdit(parent) {
    auto* document = new QTextDocument(this);
    layout_ = new IndentingDocumentLayout(document);
    document->setDocumentLayout(layout_);
    setDocument(document);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &MarkdownTextView::restartBlink);
}

QRectF MarkdownTextView::rectForRange(Range range) const {
    QTextDocument* document = this->document();
    const QPointF offset = contentOffset();
    const int first = static_cast<int>(range.location);
    const int last = static_cast<int>(range.empty() ? range.location : range.end() - 1);
    const QTextBlock end = document->findBlock(last).next();
    QRectF bounds;
    for (QTextBlock block = document->findBlock(first); block.isValid() && block != end;
         block = block.next()) {
        layout_->ensureStyledLayout(block);
        const QPointF origin = blockBoundingGeometry(block).topLeft() + offset;
        const int from = std::max(first - block.position(), 0);
        const int to = std::min(static_cast<int>(range.end()) - block.position(), block.length() - 1);
        const QTextLayout* layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const int lineStart = line.textStart();
            const int lineEnd = lineStart + line.textLength();
            if (lineEnd < from || lineStart > to ||
                (lineEnd == from && from != to && i + 1 < layout->lineCount()))
                continue;
            const double x1 = line.cursorToX(std::max(from, lineStart));
            const double x2 = line.cursorToX(std::min(to, lineEnd));
            const QRectF piece(origin.x() + std::min(x1, x2), origin.y() + line.y(), std::abs(x2 - x1),
                               line.height());
            bounds = bounds.isNull() ? piece : bounds.united(piece);
        }
    }
    return bounds;
}

void MarkdownTextView::setCaretColor(const QColor& color) {
    caretColor_ = color;
    // Qt draws its own caret by inverting the background; a coloured caret replaces it.
    setCursorWidth(ownsCaret() ? 0 : kStandardCaretWidth);
    restartBlink();
    viewport()->update();
}

void MarkdownTextView::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) emit paletteChanged();
}

void MarkdownTextView::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    if (overlayPainter_) {
        QPainter overlay(viewport());
        overlayPainter_(overlay, event->rect());
    }
    if (!ownsCaret() || !caretShown_ || !hasFocus() || isReadOnly() || textCursor().hasSelection()) return;
    const QRect caret = cursorRect();
    QPainter painter(viewport());
    painter.fillRect(QRect(caret.center().x(), caret.top(), kStandardCaretWidth, caret.height()),
                     caretColor_);
}

void MarkdownTextView::setOverlayPainter(std::function<void(QPainter&, const QRect&)> paint) {
    overlayPainter_ = std::move(paint);
    viewport()->update();
}

void MarkdownTextView::setContextMenuExtender(std::function<void(QMenu&, const QPoint&)> extend) {
    contextMenuExtender_ = std::move(extend);
}

void MarkdownTextView::forEachShownBlock(const std::function<bool(const QTextBlock&, QPointF origin)>& visit) const {
    const double bottom = viewport()->height();
    QTextBlock block = firstVisibleBlock();
    QPointF origin = blockBoundingGeometry(block).translated(contentOffset()).topLeft();
    for (; block.isValid() && origin.y() <= bottom; block = block.next()) {
        const double height = blockBoundingRect(block).height();
        if (block.isVisible() && origin.y() + height >= 0 && !visit(block, origin)) return;
        origin.ry() += height;
    }
}

void MarkdownTextView::contextMenuEvent(QContextMenuEvent* event) {
    if (!contextMenuExtender_) {
        QPlainTextEdit::contextMenuEvent(event);
        return;
    }
    QMenu* menu = createStandardContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    contextMenuExtender_(*menu, event->pos());
    menu->popup(event->globalPos());
}

bool MarkdownTextView::canInsertFromMimeData(const QMimeData* source) const {
    return source && source->hasText() && !source->text().isEmpty();
}

void MarkdownTextView::insertFromMimeData(const QMimeData* source) {
    if (canInsertFromMimeData(source)) QPlainTextEdit::insertFromMimeData(source);
}

void MarkdownTextView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)) {
        if (const auto [link, index] = linkAt(at); !link.isEmpty()) {
            emit linkClicked(link, index);
            event->accept();
            return;
        }
    }
    QPlainTextEdit::mousePressEvent(event);
}

std::pair<QString, int> MarkdownTextView::linkAt(const QPoint& point) const {
    if (!linkAt_) return {};
    // The nearest caret position lies before or after the character under the point.
    const int caret = cursorForPosition(point).position();
    for (const int index : {caret, caret - 1}) {
        if (index < 0) continue;
        const QRectF box = rectForRange({static_cast<std::size_t>(index), 1});
        if (box.adjusted(-1, 0, 1, 0).contains(point))
            if (QString link = linkAt_(index); !link.isEmpty()) return {link, index};
    }
    return {};
}

void MarkdownTextView::mouseMoveEvent(QMouseEvent* event) {
    const bool overLink =
        (event->modifiers() & Qt::ControlModifier) && !linkAt(event->position().toPoint()).first.isEmpty();
    viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
    QPlainTextEdit::mouseMoveEvent(event);
}

void MarkdownTextView::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    restartBlink();
}

void MarkdownTextView::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    blinkTimer_.stop();
}

void MarkdownTextView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != blinkTimer_.timerId()) {
        QPlainTextEdit::timerEvent(event);
        return;
    }
    caretShown_ = !caretShown_;
    viewport()->update(cursorRect().adjusted(-2, 0, 2, 0));
}

void MarkdownTextView::restartBlink() {
    caretShown_ = true;
    blinkTimer_.stop();
    const int flashTime = QApplication::styleHints()->cursorFlashTime();
    if (ownsCaret() && hasFocus() && flashTime > 0) blinkTimer_.start(flashTime / 2, this);
    if (ownsCaret()) viewport()->update();
}

} // namespace quillet
