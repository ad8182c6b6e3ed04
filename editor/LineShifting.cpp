#include "editor/LineShifting.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace quillet {

namespace {

// X11 keycodes (evdev codes + 8, also given by Wayland) of the "[" and "]" key positions.
constexpr quint32 kLeftBracketPosition = 34;
constexpr quint32 kRightBracketPosition = 35;
const QString kShiftWidth = QStringLiteral("    ");
constexpr int kShortestShiftedLine = 3;

int lengthWithBreak(const QTextBlock& block) {
    return static_cast<int>(block.text().size()) + (block.next().isValid() ? 1 : 0);
}

void shiftLine(QTextCursor& cursor, const QTextBlock& block, LineShift shift) {
    cursor.setPosition(block.position());
    if (shift == LineShift::In) {
        if (lengthWithBreak(block) >= kShortestShiftedLine) cursor.insertText(kShiftWidth);
        return;
    }
    const QString text = block.text();
    int blanks = 0;
    while (blanks < kShiftWidth.size() && blanks < text.size() && text[blanks] == QLatin1Char(' '))
        ++blanks;
    if (blanks == 0) return;
    cursor.setPosition(block.position() + blanks, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

} // namespace

std::optional<LineShift> lineShiftForKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::ControlModifier) return std::nullopt;
    if (event.nativeScanCode() != 0) {
        if (event.nativeScanCode() == kRightBracketPosition) return LineShift::In;
        if (event.nativeScanCode() == kLeftBracketPosition) return LineShift::Out;
        return std::nullopt;
    }
    if (event.key() == Qt::Key_BracketRight) return LineShift::In;
    if (event.key() == Qt::Key_BracketLeft) return LineShift::Out;
    return std::nullopt;
}

void shiftLines(QPlainTextEdit& view, LineShift shift) {
    QTextDocument* document = view.document();
    const QTextCursor selection = view.textCursor();
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    const QTextBlock first = document->findBlock(start);
    // A selection that ends at a line's start leaves that line alone.
    const QTextBlock last = document->findBlock(end > start ? end - 1 : start);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (QTextBlock block = last; block.isValid(); block = block.previous()) {
        shiftLine(cursor, block, shift);
        if (block == first) break;
    }
    cursor.endEditBlock();
    view.ensureCursorVisible();
}

} // namespace quillet
