#pragma once
// The names and first lines the note operations give new notes and copies.

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace quillet {

// "Note 2024.Mar.05_14.07.09": the month abbreviated in the locale's language.
QString newNoteName(const QDateTime& now, const QLocale& locale = QLocale());

// The first text of a new note: "# NAME #\n".
QString newNoteText(const QString& name);

// The text with its first line (line break included) replaced by "# NAME #\n"; an empty text
// stays empty.
QString textWithTitle(const QString& text, const QString& name);

} // namespace quillet
