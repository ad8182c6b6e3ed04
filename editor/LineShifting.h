#pragma once
// Shifting the selected lines in and out with Ctrl+] and Ctrl+[. The keys are recognised by
// their position on a PC keyboard, not by the character they type, so that layouts without
// brackets on those keys (or with them elsewhere) shift with the same fingers.

#include <optional>

class QKeyEvent;
class QPlainTextEdit;

namespace quillet {

enum class LineShift { In, Out };

// The shift a key press asks for: Ctrl (and no other modifier) with the key right of "P" on a
// PC keyboard and the one after it. Where the platform gives no scan code, the bracket keys.
std::optional<LineShift> lineShiftForKey(const QKeyEvent& event);

// Every line of the selection, from the last to the first: In puts four blanks before each line
// of at least three characters (its line break included); Out removes the blanks among the first
// four characters, up to the first other one. One undo step for the whole shift.
void shiftLines(QPlainTextEdit& view, LineShift shift);

} // namespace quillet
