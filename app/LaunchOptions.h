#pragma once
// The command-line options of the application.
//   --open PATH        open that note at launch instead of the last opened one
//   --preview          show the preview pane at launch
//   --dark             a dark palette on the Fusion style, whatever the desktop's theme
//   --sync-folder DIR  show DIR as the synced library for this run
//   --screenshot PATH  once the window has settled, save a picture of it to PATH
//   --quit             with --screenshot: quit once the picture is saved
//   --report-startup   once the note is shown in the window and painted, print
//                      "quillet-startup rss-kb=N" and quit (for the start-up benchmark)
//   --new-note         create a new note in the library and open it (the launcher's "New Note")
//   FILE...            notes to open (the file manager's "Open With"): the first that opens
//                      is shown, in the library or else in its folder, opened beside it
//   --export-pdf OUT NOTE, --export-html OUT NOTE [--css NAME]
//                      write NOTE as PDF or as HTML (with the style sheet NAME) without a
//                      window, and quit

#include "app/ColorScheme.h" // the palette of --dark

#include <QString>
#include <QStringList>
#include <optional>

namespace quillet {

struct LaunchOptions {
    std::optional<QString> openPath;
    std::optional<QString> screenshotPath;
    bool quitAfterScreenshot = false;
    bool showPreview = false;
    bool dark = false;
    bool reportStartup = false;
    bool newNote = false;
    std::optional<QString> syncFolder; // --sync-folder
    QStringList files; // as given, relative paths included
    QString error; // set when the arguments were not understood
    // Headless export: one of the two outputs, the note, and the style sheet's name.
    std::optional<QString> exportPdfPath;
    std::optional<QString> exportHtmlPath;
    std::optional<QString> exportCss;
    QString exportNotePath;
    bool exports() const { return exportPdfPath || exportHtmlPath; }

    static LaunchOptions parse(const QStringList& arguments);
    // The notes the launch names: --open's, then the FILE arguments.
    QStringList notePaths() const;
};

} // namespace quillet
