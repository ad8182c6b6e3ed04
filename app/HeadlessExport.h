#pragma once
// `quillet --export-pdf OUT NOTE` and `quillet --export-html OUT NOTE [--css NAME]`: the note as
// the menu's export gives it, without a window. The HTML is the File > Export document; the PDF
// is that document printed by a web page that is in no window, so it looks like the preview.
// Runs in a process of its own (before the single-instance handoff), on the offscreen platform.

#include <QString>
#include <QStringList>
#include <optional>

namespace quillet {

struct LaunchOptions;

// Whether the arguments ask for a headless export (read before the application starts, so
// that it can start on the offscreen platform).
bool asksForHeadlessExport(int argc, char** argv);

// The style sheet `name` (none: "markdown.css") in the notes' "CSS" folder, else among the
// bundled ones; empty with `error` set when there is none of that name.
QString styleSheetTextNamed(const std::optional<QString>& name, QString* error);

// Runs the export and returns the process's exit status (0: written), telling failures on
// standard error. Needs a running QApplication.
int runHeadlessExport(const LaunchOptions& options);

} // namespace quillet
