#pragma once
// The Markdown commands of the editor's toolbar, applied to a text view's current line or
// selection. Each edit goes through the view's document with a cursor, inside one edit block:
// one undo step, restyled and reported as an edit like typing.

#include <QStringView>

class QPlainTextEdit;

namespace quillet {

// Performs "header", "list", "quote", "link", "bold" or "italic" and answers true; answers false
// for any other command (the text is left alone). The current line is the one holding the
// selection's start.
bool performMarkdownCommand(QPlainTextEdit& view, QStringView command);

} // namespace quillet
