#include "app/LaunchOptions.h"

#include <QCommandLineParser>

namespace quillet {

namespace {

LaunchOptions parseExport(const QCommandLineParser& parser, const QCommandLineOption& pdf,
                          const QCommandLineOption& html, const QCommandLineOption& css) {
    LaunchOptions options;
    const QStringList notes = parser.positionalArguments();
    if (parser.isSet(pdf) == parser.isSet(html))
        options.error = QStringLiteral("Give one of --export-pdf and --export-html.");
    else if (notes.size() != 1)
        options.error = QStringLiteral("Give exactly one note to export.");
    if (!options.error.isEmpty()) return options;
    options.exportPdfPath = parser.isSet(pdf) ? std::optional(parser.value(pdf)) : std::nullopt;
    options.exportHtmlPath = parser.isSet(html) ? std::optional(parser.value(html)) : std::nullopt;
    if (parser.isSet(css)) options.exportCss = parser.value(css);
    options.exportNotePath = notes.first();
    return options;
}

} // namespace

LaunchOptions LaunchOptions::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption open(QStringLiteral("open"), QStringLiteral("Open the note at PATH."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window to PATH."),
                                        QStringLiteral("PATH"));
    const QCommandLineOption quit(QStringLiteral("quit"), QStringLiteral("Quit after the screenshot."));
    const QCommandLineOption preview(QStringLiteral("preview"), QStringLiteral("Show the preview pane."));
    const QCommandLineOption dark(QStringLiteral("dark"), QStringLiteral("Use a dark palette."));
    const QCommandLineOption reportStartup(
        QStringLiteral("report-startup"),
        QStringLiteral("Once the note is shown, print the resident memory and quit."));
    parser.addOptions({open, screenshot, quit, preview, dark, reportStartup});
    // The desktop file's "New Note" action.
    const QCommandLineOption newNote(QStringLiteral("new-note"),
                                     QStringLiteral("Create a new note and open it."));
    parser.addOption(newNote);
    const QCommandLineOption syncFolder(QStringLiteral("sync-folder"),
                                        QStringLiteral("Show DIR as the synced library."), QStringLiteral("DIR"));
    parser.addOption(syncFolder);
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Notes to open."),
                                 QStringLiteral("[FILE\u2026]"));
    // Headless export of one note, in a process of its own.
    const QCommandLineOption exportPdf(QStringLiteral("export-pdf"),
                                       QStringLiteral("Write NOTE as PDF to OUT and quit."), QStringLiteral("OUT"));
    const QCommandLineOption exportHtml(QStringLiteral("export-html"),
                                        QStringLiteral("Write NOTE as HTML to OUT and quit."), QStringLiteral("OUT"));
    const QCommandLineOption css(QStringLiteral("css"), QStringLiteral("Export with the style sheet NAME."),
                                 QStringLiteral("NAME"));
    parser.addOptions({exportPdf, exportHtml, css});
    // Qt's own options (-style, -platform, ...) are taken by QApplication before this parse.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);

    LaunchOptions options;
    if (!parser.parse(arguments)) {
        options.error = parser.errorText();
        return options;
    }
    if (parser.isSet(exportPdf) || parser.isSet(exportHtml)) return parseExport(parser, exportPdf, exportHtml, css);
    options.files = parser.positionalArguments();
    if (parser.isSet(open)) options.openPath = parser.value(open);
    if (parser.isSet(screenshot)) options.screenshotPath = parser.value(screenshot);
    options.quitAfterScreenshot = parser.isSet(quit);
    options.showPreview = parser.isSet(preview);
    options.dark = parser.isSet(dark);
    options.reportStartup = parser.isSet(reportStartup);
    options.newNote = parser.isSet(newNote);
    if (parser.isSet(syncFolder)) options.syncFolder = parser.value(syncFolder);
    return options;
}

QStringList LaunchOptions::notePaths() const {
    QStringList paths;
    if (openPath) paths << *openPath;
    return paths + files;
}

} // namespace quillet
