#pragma once
// The two texts the save loop alternates between: long, of different lengths and contents, so
// that a note cut short or mixed from both is never mistaken for one of them.

#include <QString>

namespace quillet::testing {

inline QString saveLoopText(int which) {
    const QString line = which == 0 ? QStringLiteral("Alpha line with some words, numbers 0123456789.\n")
                                    : QStringLiteral("Beta: a different line, längere Zeile — ünïcödé ✓.\n");
    return line.repeated(which == 0 ? 6000 : 9000);
}

} // namespace quillet::testing
