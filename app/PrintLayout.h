#pragma once
// The note laid out for paper when the preview is hidden: the editor's styling of the text, in
// the editor font's family at 10 points, with 50-point side insets. Main thread (the styling
// runs in a hidden editor).

#include "engine/MarkdownOptions.h"

#include <QFont>
#include <QPageLayout>
#include <QString>

class QPrinter;

namespace quillet {

// The paper both print paths use: the printer's default size, 50-point sides, 36-point top and
// bottom.
QPageLayout notePageLayout();

// Prints the text on `printer` (a PDF file or a device); false when the printer cannot be drawn
// on. Returns the number of pages printed through `pages`.
bool printTextLayout(QPrinter& printer, const QString& text, const QFont& editorFont, const MarkdownOptions& options,
                     int* pages = nullptr);

} // namespace quillet
