#pragma once
// The arithmetic command on the editor: the expression just before the caret (or the selection)
// is evaluated and "= RESULT " inserted, replacing the selection or an "=" typed before the
// caret, as one undo step. Numbers read and write in `locale`.

#include <QLocale>

class QPlainTextEdit;

namespace quillet {

class TextStore;

// `text` holds the view's characters. Returns whether a result was inserted; a read-only view
// or a line without an expression is left alone.
bool insertArithmeticResult(QPlainTextEdit& view, const TextStore& text, const QLocale& locale = QLocale());

} // namespace quillet
