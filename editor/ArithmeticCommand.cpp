#include "editor/ArithmeticCommand.h"

#include "engine/Arithmetic.h"
#include "engine/TextStore.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

namespace quillet {

bool insertArithmeticResult(QPlainTextEdit& view, const TextStore& text, const QLocale& locale) {
    if (view.isReadOnly()) return false;
    const QTextCursor cursor = view.textCursor();
    const Range selection = Range::fromBounds(static_cast<std::size_t>(cursor.selectionStart()),
                                              static_cast<std::size_t>(cursor.selectionEnd()));
    // The lines that hold the selection, line breaks included.
    const Range first = text.lineRange(std::min(selection.location, text.length()));
    const Range last =
        selection.empty() ? first : text.lineRange(std::min(selection.end() - 1, text.length()));
    const Range lines = Range::fromBounds(first.location, std::max(first.end(), last.end()));
    std::u16string scratch;
    const DecimalNumbers numbers(locale.name().toStdString());
    const auto calculation =
        arithmetic::calculate(text.characters(lines, scratch), lines.location, selection, numbers);
    if (!calculation) return false;

    QTextCursor edit(view.document());
    edit.setPosition(static_cast<int>(calculation->replaced.location));
    edit.setPosition(static_cast<int>(calculation->replaced.end()), QTextCursor::KeepAnchor);
    edit.insertText(QString::fromStdU16String(calculation->insertion));
    view.setTextCursor(edit);
    return true;
}

} // namespace quillet
