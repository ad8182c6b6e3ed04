#pragma once
// The plain-text layout of the editor, extended with what the styling asks of a line: the
// hanging indents (head indent and first-line head indent), minimum and maximum line heights
// and tab stops. QPlainTextDocumentLayout lays out blocks lazily, one at a time, which keeps
// typing in a large note cheap; this subclass lays out each block itself before the base class
// measures it, and lays it out again when the base class did so without the indents.

#include "editor/StyleRenderer.h"

#include <QPlainTextDocumentLayout>

namespace quillet {

// Where the layout learns each block's paragraph geometry.
class BlockStyleSource {
public:
    virtual ~BlockStyleSource() = default;
    virtual ParagraphGeometry blockGeometry(const QTextBlock& block) = 0;
    // The width lines wrap at (0: no wrapping).
    virtual double wrapWidth() const = 0;
};

class IndentingDocumentLayout final : public QPlainTextDocumentLayout {
    Q_OBJECT

public:
    explicit IndentingDocumentLayout(QTextDocument* document);

    void setStyleSource(BlockStyleSource* source) { source_ = source; }

    QRectF blockBoundingRect(const QTextBlock& block) const override;

    // Lays out the block now unless this layout already did.
    void ensureStyledLayout(const QTextBlock& block);
    // Whether the block's lines come from this layout (not yet from the base class alone).
    static bool hasStyledLayout(const QTextBlock& block);

private:
    void layoutStyledBlock(const QTextBlock& block);

    BlockStyleSource* source_ = nullptr;
};

} // namespace quillet
