#pragma once
// PDF output shared by the menu commands and the command line: the web page as the preview shows
// it, and the atomic replacement of the chosen file.

#include <QString>
#include <functional>

class QWebEnginePage;

namespace quillet {

// A file beside `target` to write first; renamed over it once complete.
QString temporaryPathBeside(const QString& target);
// Moves the finished file over the target (removes it on failure); false when it could not.
bool replaceWithFinished(const QString& finished, const QString& target);

// Prints the page to `target` on the note page layout; `done` runs with the outcome on the main
// thread. The file is replaced only once the PDF is complete.
void printPageToPdf(QWebEnginePage& page, const QString& target, std::function<void(bool ok)> done);

} // namespace quillet
