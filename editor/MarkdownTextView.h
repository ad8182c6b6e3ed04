#pragma once
// The editor's text view: a QPlainTextEdit whose document is laid out by IndentingDocumentLayout
// (hanging indents and line heights from the styling) and whose caret can be drawn in a colour
// of its own (the system blue while a Japanese input method is active).

#include "engine/Range.h"

#include <QBasicTimer>
#include <QColor>
#include <QPlainTextEdit>
#include <functional>
#include <utility>

class QMenu;

namespace quillet {

class IndentingDocumentLayout;

class MarkdownTextView final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit MarkdownTextView(QWidget* parent = nullptr);

    IndentingDocumentLayout& indentingLayout() const { return *layout_; }

    // The bounding rectangle of the characters of `range` (within the text), in viewport
    // coordinates; a caret-wide rectangle for an empty range.
    QRectF rectForRange(Range range) const;

    // The link the styling attached to a character (empty for none); Ctrl+click follows it.
    void setLinkLookup(std::function<QString(int position)> linkAt) { linkAt_ = std::move(linkAt); }

    // The caret is drawn in this colour (an invalid colour gives Qt's own caret).
    void setCaretColor(const QColor& color);
    QColor caretColor() const { return caretColor_; }

    // Decorations drawn over the text (the spelling underlines), given the exposed rectangle.
    void setOverlayPainter(std::function<void(QPainter&, const QRect&)> paint);
    // Adds entries to the context menu for the viewport position it was asked for at.
    void setContextMenuExtender(std::function<void(QMenu&, const QPoint&)> extend);
    // The blocks shown in the viewport, top down, each with the origin of its layout in viewport
    // coordinates; `visit` returns false to stop.
    void forEachShownBlock(const std::function<bool(const QTextBlock&, QPointF origin)>& visit) const;

signals:
    void paletteChanged();
    // Ctrl+click on a link the styling attached: its URL as written and the clicked character.
    void linkClicked(const QString& link, int index);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    // Only text is pasted or dropped; an empty clipboard (no data at all, or data without
    // text) pastes nothing rather than reaching Qt, which fails on it.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Ctrl+click follows a link (a plain click places the caret, as in any editor); the
    // pointer shows a hand over a link while Ctrl is held.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void restartBlink();
    bool ownsCaret() const { return caretColor_.isValid(); }

    // The link under a point of the viewport, and the character it is attached to.
    std::pair<QString, int> linkAt(const QPoint& point) const;

    IndentingDocumentLayout* layout_;
    std::function<QString(int)> linkAt_;
    QColor caretColor_;
    QBasicTimer blinkTimer_;
    bool caretShown_ = true;
    std::function<void(QPainter&, const QRect&)> overlayPainter_;
    std::function<void(QMenu&, const QPoint&)> contextMenuExtender_;
};

} // namespace quillet
