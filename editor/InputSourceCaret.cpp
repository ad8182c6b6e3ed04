#include "editor/InputSourceCaret.h"

namespace quillet {

bool caretUsesSystemBlue(const QLocale& inputMethodLocale) {
    return inputMethodLocale.language() == QLocale::Japanese;
}

QColor systemBlue() {
    return QColor(0x00, 0x7A, 0xFF);
}

} // namespace quillet
