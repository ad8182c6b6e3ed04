#pragma once
// The caret colour that follows the active input method: the system blue while a Japanese
// input method is active, the text colour otherwise.

#include <QColor>
#include <QLocale>

namespace quillet {

bool caretUsesSystemBlue(const QLocale& inputMethodLocale);
// The system blue of the caret.
QColor systemBlue();

} // namespace quillet
